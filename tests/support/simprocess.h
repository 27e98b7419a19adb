#pragma once
#include <QDeadlineTimer>
#include <QProcess>
#include <QString>
#include <QStringList>

#ifndef COLLECTOR_SIM_PATH
#error "simprocess.h needs COLLECTOR_SIM_PATH, the built collector-sim, defined by CMake"
#endif

// collector-sim as a child process. It serves a simulated collector on a
// pseudo-terminal and prints that terminal's path as its first line. The
// process is stopped however the test ends, so no simulator outlives it.
class SimProcess
{
public:
    explicit SimProcess(const QStringList &arguments)
    {
        // Only stdout carries the path; a warning on stderr must not be read as one.
        process_.setProcessChannelMode(QProcess::SeparateChannels);
        process_.start(QStringLiteral(COLLECTOR_SIM_PATH), arguments);
    }

    ~SimProcess() { stop(); }

    SimProcess(const SimProcess &) = delete;
    SimProcess &operator=(const SimProcess &) = delete;

    // The terminal to open; empty when the simulator never started, died or
    // stayed silent. Slow sanitizer builds need the long deadline.
    QString path()
    {
        const QDeadlineTimer deadline(20000);
        while (!process_.canReadLine() && !deadline.hasExpired() && process_.state() != QProcess::NotRunning)
            process_.waitForReadyRead(500);
        return QString::fromLocal8Bit(process_.readLine()).trimmed();
    }

    // SIGTERM first so the simulator can release its terminal; killed if it
    // ignores that.
    void stop()
    {
        if (process_.state() == QProcess::NotRunning)
            return;
        process_.terminate();
        if (!process_.waitForFinished(10000))
            process_.kill();
        process_.waitForFinished(10000);
    }

    QProcess &process() { return process_; }

private:
    QProcess process_;
};

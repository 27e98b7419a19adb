#pragma once
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <optional>

#ifndef INCUBATOR_CLI_PATH
#error "clirun.h needs INCUBATOR_CLI_PATH, the built incubator-cli, defined by CMake"
#endif

// What one run of the built incubator-cli left behind.
struct CliRun
{
    int exitCode = -1;  // also when it crashed, hung or never started
    QString out;
    QString err;
};

// Runs "incubator-cli --port PORT ARGUMENTS..." in WORKDIR, or in a fresh
// empty folder so that nothing the tool writes lands in the build tree.
// The deadline is long for sanitizer builds; a hung tool is killed rather
// than left behind.
inline CliRun runCli(const QString &port, const QStringList &arguments, const QString &workDir = {})
{
    std::optional<QTemporaryDir> scratch;
    if (workDir.isEmpty())
        scratch.emplace();
    QProcess p;
    p.setWorkingDirectory(scratch ? scratch->path() : workDir);
    p.start(QStringLiteral(INCUBATOR_CLI_PATH), QStringList{QStringLiteral("--port"), port} + arguments);
    CliRun run;
    const bool finished = p.waitForFinished(120000);
    if (!finished) {
        p.kill();
        p.waitForFinished();
    } else if (p.exitStatus() == QProcess::NormalExit) {
        run.exitCode = p.exitCode();
    }
    run.out = QString::fromUtf8(p.readAllStandardOutput());
    run.err = QString::fromUtf8(p.readAllStandardError());
    // Says why in a failing check's message.
    if (!finished)
        run.err += QStringLiteral("\nincubator-cli did not finish: ") + p.errorString();
    return run;
}

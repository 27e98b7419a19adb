#pragma once
#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

// Lets bytes out no faster than a serial line would carry them. A rate of 0
// passes everything straight through.
class OutputPacer : public QObject
{
    Q_OBJECT
public:
    static constexpr int lineRate = 46080;  // bytes per second at 460800 bps, 8N1

    explicit OutputPacer(QObject *parent = nullptr);

    void setRate(int bytesPerSecond);
    int rate() const { return rate_; }
    void push(const QByteArray &bytes);
    void clear();
    qsizetype pending() const { return queue_.size(); }

signals:
    void released(const QByteArray &bytes);

private:
    void tick();

    int rate_ = 0;
    QByteArray queue_;
    QTimer timer_;
    QElapsedTimer clock_;
    double credit_ = 0;
};

#pragma once
#include "outputpacer.h"

#include <QByteArray>
#include <QObject>
#include <QSocketNotifier>
#include <QString>
#include <memory>

class Collector;

// Serves a collector on a pseudo-terminal, so that a program opens the slave
// side as its serial port. The endpoint keeps a slave descriptor of its own
// open: the master then never sees end-of-file or EIO while the program closes
// and reopens the port.
class PtyEndpoint : public QObject
{
    Q_OBJECT
public:
    explicit PtyEndpoint(Collector &collector, QObject *parent = nullptr);
    ~PtyEndpoint() override;

    bool open();                            // false with errorText() on failure
    QString slavePath() const { return slavePath_; }
    QString errorText() const { return error_; }
    void setPacing(int bytesPerSecond) { pacer_.setRate(bytesPerSecond); }

private:
    void readMaster();
    void queue(const QByteArray &bytes);
    void writeMaster();
    bool fail(const QString &what);

    Collector &collector_;
    int master_ = -1;
    int slave_ = -1;
    QString slavePath_;
    QString error_;
    QByteArray pending_;
    OutputPacer pacer_;
    std::unique_ptr<QSocketNotifier> readNotifier_;
    std::unique_ptr<QSocketNotifier> writeNotifier_;
};

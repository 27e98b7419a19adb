#pragma once
#include "lineprotocol.h"
#include "serialport.h"
#include "timings.h"

#include <QFile>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

class FileStreamSink;
class OperatorUi;

// Collector command codes.
namespace cmd {
constexpr quint8 Auto = 1, Bridge = 2, Search = 3, Poll = 4, GetTime = 7, Reset = 8, GsmText = 9,
                 OpenCurrent = 10, CreateFile = 11, OpenFile = 13, CloseFile = 14, WriteBlock = 15,
                 ReadFile = 16, Seek = 17, ListDir = 19, DeleteFile = 20, Card = 21,
                 TempControlOff = 22, TempControlOn = 23;
}

// The one link to the collector in a process: the port and its state, the
// pump that reads it, the line protocol, the reply flags and the watchdogs.
// Everything runs on the thread that owns it; a wait processes events, so the
// reply to a request is received by pump ticks inside the wait that expects it.
class Link : public QObject
{
    Q_OBJECT
public:
    enum State { Closed = 0, Open = 1, CloseRequested = 5 };
    static constexpr qint32 baudRate = 460800;
    static constexpr qint64 readChunk = 4096;

    Link(PortFactory factory, OperatorUi &ui, LinkTimings timings = {}, QObject *parent = nullptr);
    ~Link() override;

    const LinkTimings &timings() const { return timings_; }
    OperatorUi &ui() { return ui_; }

    // comPort / comFriendly
    void setPort(const QString &path, const QString &friendlyName);
    QString portPath() const { return comPort_; }
    QString portName() const { return comFriendly_; }
    void setMeasurementLogPath(const QString &path) { logPath_ = path; }

    // The pump: one tick every 10 ms on this thread; ticks never queue up.
    void startPump();
    void stopPump();
    bool pumpRunning() const { return pump_.isActive(); }
    void tick();

    State state() const { return state_; }
    bool isOpen() const { return port_ && port_->isOpen(); }
    void requestReopen();            // state 5 without waiting (port dialog)
    void reopenLink();               // state 5 and wait until open again
    void setOpenSuspended(bool suspended) { openSuspended_ = suspended; }  // port dialog showing
    void setPortHeld(bool held) { portHeld_ = held; }
    bool portHeld() const { return portHeld_; }
    SerialPort *port() { return port_.get(); }   // for exchanges that hold the port

    // Ends every wait; set when the program is closing.
    void setClosing();
    bool closing() const;

    // Send operations. Writes are not checked: a request sent into a closed
    // port ends in its time-out.
    void sendDataBytes(QByteArrayView bytes);
    void sendBusBytes(QByteArrayView bytes);
    void sendPacedBytes(QByteArrayView bytes);
    void sendBusWord(quint16 word);
    void sendCommand(quint8 code);
    void sendArgument(QByteArrayView argument);   // the bytes, then their crc16 low byte first
    bool flushPort();

    // Request discipline.
    void beginExchange();
    bool awaitReply();
    // beginExchange, the optional argument, the command, flush, awaitReply.
    bool request(quint8 code, std::optional<QByteArray> argument = std::nullopt);
    bool cardClick();

    // Processes events until `done` holds or the program closes; false when closing.
    bool waitUntil(const std::function<bool()> &done);
    void waitWhileGsmTalks();

    // Reply and transfer state shared with the file transfer.
    bool ackFlag() const { return ack_; }
    bool nakFlag() const { return nak_; }
    void clearReplyFlags() { ack_ = nak_ = false; }
    void setFileComplete() { fileComplete_ = true; }
    bool receivingFile() const { return receivingFile_; }
    void setFileSink(FileStreamSink *sink) { sink_ = sink; }
    int &readRetries() { return readRetries_; }

    // Timers other parts restart.
    void restartReplyTimer();
    bool replyTimerRunning() const { return replyTimer_.isActive(); }
    void restartSilenceWatchdog();
    void restartCabinetWatchdog();

    // GSM activity panel `gw`.
    bool gsmTalking() const { return gsmTalking_; }
    void hideGsmPanel();             // gwClick

    QString deviceTime() const { return deviceTime_; }
    void clearDeviceTime() { deviceTime_.clear(); }

    // Measurement frames.
    const LineProtocol &protocol() const { return protocol_; }
    void setRecordingFrames(bool on) { recordFrames_ = on; }   // `wr`
    void setFrameDisplayPaused(bool paused) { framesPaused_ = paused; }

    // Bytes as they came from the port, for tests and the fuzzer.
    void processChunk(const char *data, qsizetype size);

Q_SIGNALS:
    void stateChanged(int state);
    void portOpened();                         // startDir, measurement average reset
    void exchangeStateChanged();               // file buttons depend on it
    void gsmTalkingChanged(bool talking);      // show or hide `gw`
    void dirLine(const QString &entry);        // text after "%DIR:"; empty: the list is empty
    void zevLine(const QByteArray &line);      // the whole "%ZEV: " line
    void boxLine(const QByteArray &text);      // the line from its blank on: " n,v"
    void cabinetReportsLost();                 // gtxr expired
    void timeReported(const QString &text);    // a "%TIME:" line with a time
    void noTimeReported();                     // "%NOTIME"
    void cardCaption(const QString &caption);  // "%CARD:"
    void ruleCaption(const QString &caption);  // "%RULE:"
    void terminalLine(const QString &line);    // anything no token claims
    void frameReceived(int slot);

private:
    class Dispatch;
    friend class Dispatch;

    void openPort();
    void readPort();
    void closePort();
    void setState(State s);
    bool dispatchLine(const QByteArray &line);
    void onGsmMarker(bool talking);
    void onFrame(int slot);
    void write(const QByteArray &encoded);

    PortFactory factory_;
    OperatorUi &ui_;
    LinkTimings timings_;
    std::unique_ptr<SerialPort> port_;
    QString comPort_;
    QString comFriendly_;
    QString logPath_ = QStringLiteral("incubator.bin");
    QFile measurementLog_;
    State state_ = Closed;
    bool portHeld_ = false;
    bool openSuspended_ = false;
    bool closing_ = false;
    bool inTick_ = false;

    LineProtocol protocol_;
    std::unique_ptr<Dispatch> dispatch_;
    FileStreamSink *sink_ = nullptr;
    bool receivingFile_ = false;
    bool ack_ = false;
    bool nak_ = false;
    bool fileComplete_ = false;
    int readRetries_ = 0;
    bool gsmTalking_ = false;
    bool recordFrames_ = false;
    bool framesPaused_ = false;
    QString deviceTime_;

    QTimer pump_;
    QTimer replyTimer_;        // TO
    QTimer silenceTimer_;      // comTO
    QTimer gsmTimer_;          // gt
    QTimer cabinetTimer_;      // gtxr
    char readBuffer_[readChunk];
};

#pragma once
#include "busdevice.h"
#include "collectorconfig.h"
#include "wiredecoder.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

// The statistics collector as the program sees it: it decodes what the
// program writes, checks each argument's checksum, runs the commands, answers
// with plain text lines and sends its unsolicited reports. One instance may
// serve several opens of a port in turn; it keeps its state in between.
class Collector : public QObject
{
    Q_OBJECT
public:
    enum class Mode { Auto, Bridge };
    // What a command expects in the argument buffer. Checked: an argument and
    // its crc16, low byte first; None: nothing. Anything else gets "%N"
    // without the handler running. Ignored: the buffer is not looked at.
    enum class Argument { None, Checked, Ignored };
    // None: carried out, nothing to answer; Ignored: neither carried out nor answered.
    enum class Reply { None, Ack, Nak, Ignored };
    enum class Checksum { NotApplicable, Good, Bad, Missing };

    struct Request
    {
        quint8 code = 0;
        QByteArray argument;              // without its checksum
        bool afterCollectorWord = false;  // bus word 320 came right before the command
    };
    using Handler = std::function<Reply(const Request &)>;

    // What the collector made of the program's bytes, for tests.
    struct LogEntry
    {
        enum class Kind { Command, Bus, Mode };
        Kind kind;
        int value;                // command code, bus value, or the new Mode
        QByteArray received;      // a command's whole argument buffer, checksum included
        Checksum checksum = Checksum::NotApplicable;
        Reply reply = Reply::None;  // for a command: what came of it
    };

    // Lines end with CR LF; the program takes either character as the end.
    static constexpr char lineEnd[] = "\r\n";
    static constexpr int maxArgument = 4096;  // longer runs of data bytes are refused
    static constexpr quint16 collectorWord = 320;
    static constexpr qsizetype maxLogEntries = 10000;  // the oldest go first

    explicit Collector(const CollectorConfig &config = {}, QObject *parent = nullptr);
    ~Collector() override;

    void receive(QByteArrayView wireBytes);

    // Commands. Registering a code replaces its handler.
    void setCommandHandler(quint8 code, Argument argument, Handler handler);
    void removeCommandHandler(quint8 code);

    // State.
    const CollectorConfig &config() const { return config_; }
    void setConfig(const CollectorConfig &config);  // restarts the timers
    Mode mode() const { return mode_; }
    int selectedDevice() const { return selectedDevice_; }  // last bus address 1..63; 0: none
    void setMode(Mode mode);
    void setCardPresent(bool present) { config_.cardPresent = present; }
    void setTaskPresent(bool present) { config_.taskPresent = present; }
    std::optional<QDateTime> clock() const;
    void setClock(const QDateTime &localTime);
    void clearClock() { config_.clockOffsetMs.reset(); }
    quint8 cabinetState(int number) const { return config_.cabinets.value(number, 0); }
    bool hasCabinet(int number) const { return config_.cabinets.contains(number); }
    void setCabinetState(int number, quint8 state);  // 1..63; adds the cabinet
    void removeCabinet(int number) { config_.cabinets.remove(number); }
    QByteArrayList gsmTexts() const { return gsmTexts_; }  // latest texts passed to the GSM module

    // Output. Nothing leaves while silent; while the GSM module has the
    // collector's attention, answers wait until the talk is over.
    void sendLine(QByteArrayView line);    // adds CR LF; a line that data follows ends with one byte: use sendBytes
    void sendBytes(QByteArrayView bytes);
    void sendReportCycle();
    void sendClockLine();
    void sendCardAndTaskLines();
    void beginGsmTalk();  // byte 3
    void endGsmTalk();    // byte 4, then what waited
    bool gsmTalking() const { return gsmTalking_; }
    // While the card streams a file nothing else goes out: reports are
    // skipped and the GSM module is not called.
    void setStreaming(bool streaming) { streaming_ = streaming; }

    // The boot kernel. While one is set the collector runs it instead of its
    // program: bytes from the port reach it as they are (it returns how many
    // it took; the rest go to the program, for a kernel that has just left)
    // and the program sends nothing. Setting or clearing it restarts the
    // collector: partial input is dropped and the mode is automatic.
    using BootKernelInput = std::function<qsizetype(QByteArrayView bytes)>;
    void setBootKernel(BootKernelInput input);
    bool inBootKernel() const { return bool(bootKernel_); }
    void sendFromBootKernel(QByteArrayView bytes);  // plain bytes; faults still apply

    // Bus devices, reached in bridge mode.
    void addBusDevice(std::shared_ptr<BusDevice> device);
    void removeBusDevice(const BusDevice *device);

    // Faults.
    void setSilent(bool silent) { silent_ = silent; }
    bool isSilent() const { return silent_; }
    void setRefused(quint8 code, bool refused);
    // Sees every piece of output last and may change or drop bytes.
    void setOutgoingFilter(std::function<QByteArray(const QByteArray &)> filter) { filter_ = std::move(filter); }
    void setDisconnected(bool disconnected);  // the cable is out: ports fail
    bool isDisconnected() const { return disconnected_; }

    // One port at a time may hold the collector, as one program holds a device.
    bool claim(const void *port);
    void release(const void *port);

    const QList<LogEntry> &log() const { return log_; }
    void clearLog() { log_.clear(); }

signals:
    void transmit(const QByteArray &bytes);
    void modeChanged(Collector::Mode mode);
    void gsmTextReceived(const QByteArray &text);
    void disconnectedChanged(bool disconnected);

private:
    struct Command
    {
        Argument argument;
        Handler handler;
    };

    void installCommands();
    void onBus(quint16 value);
    void onCommand(quint8 code);
    void out(const QByteArray &bytes);
    void emitNow(const QByteArray &bytes);
    void restartTimers();
    void appendLog(LogEntry entry);
    Reply gsmText(const Request &request);
    Reply temporaryControl(const Request &request, bool on);
    Reply switchMode(const Request &request, Mode mode);

    CollectorConfig config_;
    WireDecoder decoder_;
    QByteArray argument_;
    bool argumentOverflow_ = false;
    bool afterCollectorWord_ = false;
    Mode mode_ = Mode::Auto;
    int selectedDevice_ = 0;
    QHash<quint8, Command> commands_;
    std::vector<std::shared_ptr<BusDevice>> devices_;
    QByteArrayList gsmTexts_;

    bool silent_ = false;
    bool disconnected_ = false;
    QSet<quint8> refused_;
    std::function<QByteArray(const QByteArray &)> filter_;
    const void *holder_ = nullptr;
    BootKernelInput bootKernel_;

    bool gsmTalking_ = false;
    bool streaming_ = false;
    QByteArray deferred_;
    QTimer reportTimer_;
    QTimer statusTimer_;
    QTimer clockTimer_;
    QTimer gsmTimer_;
    QTimer gsmEndTimer_;

    QList<LogEntry> log_;
    quint64 logged_ = 0;  // entries ever appended
};

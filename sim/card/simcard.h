#pragma once
#include "sim/collector.h"
#include "sim/outputpacer.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <functional>
#include <optional>

// The collector's SD card: a folder of files served by name. It answers the
// card commands (open, open current, seek, read as a checked stream, close,
// list, delete, create and write blocks) and can spoil a stream on request.
// Names are the card's bytes (code page 1251) and match without regard to case.
class SimCard : public QObject
{
    Q_OBJECT
public:
    struct File
    {
        QByteArray name;
        QByteArray data;
    };

    // Something that goes wrong with one stream; offsets count the bytes after
    // the "%D:" line, checksum pairs included.
    struct StreamFault
    {
        enum class Kind {
            FlipByte,       // one byte changed
            DropBytes,      // `count` bytes never arrive
            EmbeddedReply,  // CR '%' reply CR breaks in and the stream ends there
            SilenceFrom,    // nothing from the offset on
            Disconnect,     // the cable comes out at the offset for `disconnectMs`
        };
        Kind kind = Kind::FlipByte;
        qint64 offset = 0;
        int count = 1;
        char reply = 'N';
        int disconnectMs = 100;
    };

    static constexpr int maxBlock = 256;   // data bytes in one write command

    // Registers the card commands on the collector, which owns the card.
    explicit SimCard(Collector &collector);

    // Content.
    void setFile(const QByteArray &name, const QByteArray &data);   // replaces a file of that name
    bool removeFile(const QByteArray &name);
    std::optional<QByteArray> file(const QByteArray &name) const;
    QList<File> files() const;
    void clear() { files_.clear(); }
    // Takes every plain file of a folder; the folder itself is never written.
    bool loadFolder(const QString &folder, QString *error);
    // Fills the card when a program first touches it.
    void setContentProvider(std::function<void(SimCard &)> provider) { provider_ = std::move(provider); }

    // Streams.
    void setStreamRate(int bytesPerSecond) { pacer_.setRate(bytesPerSecond); }  // 0: all at once
    void setAckAfterStream(bool on) { ackAfterStream_ = on; }  // CR "%A" CR after the last pair
    void queueStreamFault(const StreamFault &fault) { faults_.append(fault); }  // for the next stream
    void setPersistentStreamFault(std::optional<StreamFault> fault) { persistentFault_ = fault; }  // every stream
    void clearStreamFaults();
    void refuseOnce(quint8 command) { refuseOnce_.insert(command); }
    int streamsStarted() const { return streams_; }
    bool streamRunning() const { return pacer_.pending() > 0; }

    // The data with a crc16 pair after data byte 16383, 32767, ... and after
    // the last one (a pair falling at both places once).
    static QByteArray encodeStream(QByteArrayView data);

Q_SIGNALS:
    void streamStarted(qint64 length);

private:
    using Reply = Collector::Reply;
    using Request = Collector::Request;

    void install(quint8 code, Collector::Argument argument, Reply (SimCard::*handler)(const Request &));
    bool touch();
    qsizetype indexOf(const QByteArray &name) const;

    Reply openFile(const Request &r);
    Reply openCurrent(const Request &r);
    Reply seek(const Request &r);
    Reply readFile(const Request &r);
    Reply closeFile(const Request &r);
    Reply listDir(const Request &r);
    Reply deleteFile(const Request &r);
    Reply createFile(const Request &r);
    Reply writeBlock(const Request &r);
    Reply reset(const Request &r);

    void startStream(const QByteArray &data);
    void onReleased(const QByteArray &bytes);

    Collector &collector_;
    QList<File> files_;
    std::function<void(SimCard &)> provider_;

    QByteArray readName_;    // the file open for reading, empty if none
    qint64 position_ = 0;
    QByteArray writeName_;   // the file open for writing, empty if none

    OutputPacer pacer_;
    bool ackAfterStream_ = false;
    QList<StreamFault> faults_;
    std::optional<StreamFault> persistentFault_;
    QSet<quint8> refuseOnce_;
    std::function<void()> whenDrained_;
    int streams_ = 0;
};

// The collector-sim tool's card: the files of `folder`, streamed at the line
// rate when `paced`, otherwise no faster than a pseudo-terminal carries them.
bool serveCardFolder(Collector &collector, const QString &folder, bool paced, QString *error);

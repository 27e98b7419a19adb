#pragma once
#include "filestreamsink.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QPointer>
#include <QObject>
#include <QString>
#include <functional>

class Link;
class OperatorUi;

// The binary stream that follows a "%D:" line: the announced number of data
// bytes, with the crc16 of all data so far (low byte first) inserted after
// data byte 16383, 32767, ... and after the last one. The four bytes CR '%' x CR
// anywhere in it are the collector breaking in: 'N' refuses, 'A' acknowledges.
// It never touches a port: feeding it byte by byte or in one chunk gives the
// same data, checkpoints and outcome.
class FileStreamReceiver
{
public:
    static constexpr quint32 blockSize = 16384;

    enum class State { Idle, Data, PairLow, PairHigh, Complete, Failed };
    enum class Failure { None, BadLength, BadChecksum, Refused, EarlyAcknowledge, DataRejected, Stopped };

    // Receives the data bytes as they pass; returning false (the bytes could
    // not be kept) fails the stream.
    std::function<bool(QByteArrayView)> onData;
    // Every checksum byte as it arrives: the stream is alive.
    std::function<void()> onCheckpointByte;

    void begin(quint32 length);
    void fail(Failure failure);   // from outside: the stream cannot be used
    void reset();                 // back to idle, callbacks kept

    // Takes bytes until the stream completes or fails; returns how many it took.
    qsizetype feed(const char *data, qsizetype size);

    State state() const { return state_; }
    bool streaming() const { return state_ == State::Data || state_ == State::PairLow || state_ == State::PairHigh; }
    bool complete() const { return state_ == State::Complete; }
    bool failed() const { return state_ == State::Failed; }
    Failure failure() const { return failure_; }
    quint32 length() const { return length_; }
    quint32 received() const { return received_; }   // data bytes so far
    quint32 verified() const { return verified_; }   // data bytes confirmed by a checksum pair

private:
    bool checkpointAt(quint32 count) const;
    bool flush(const char *run, qsizetype size);

    State state_ = State::Idle;
    Failure failure_ = Failure::None;
    quint32 length_ = 0;
    quint32 received_ = 0;
    quint32 verified_ = 0;
    quint16 crc_ = 0xFFFF;
    quint32 tail_ = 0;   // the last four bytes, oldest in the high byte
};

// Reads card files into the cache folder: opens a file on the collector,
// positions it and receives its stream, repeating a broken attempt from the
// last verified point. It is the link's file stream sink for as long as it lives.
class FileTransfer : public QObject, public FileStreamSink
{
    Q_OBJECT
public:
    static constexpr int silentRepeats = 4;

    FileTransfer(Link &link, OperatorUi &ui, QObject *parent = nullptr);
    ~FileTransfer() override;

    void setCacheFolder(const QString &folder) { cacheFolder_ = folder; }
    QString cacheFolder() const { return cacheFolder_; }

    // Reads a card file into the cache. False when the name or the cache file
    // cannot be used (with a message), when the operator declined to repeat
    // a failed attempt, or when the program is closing.
    bool readDeviceFile(const QString &name, quint32 startOffset = 0);
    // "Стоп": the running attempt fails and its repeat starts from the beginning.
    void stop();

    bool reading() const { return reading_; }
    // Binary mode as the file buttons see it.
    bool receiving() const;
    quint32 verifiedOffset() const { return verifiedOffset_; }
    quint32 startOffset() const { return startOffset_; }
    quint32 announcedLength() const { return announcedLength_; }

    // Why a card file name cannot name a file of the cache folder; empty when it can.
    static QString nameProblem(const QString &name);
    // The cache file for a card name: an existing file whose name differs only
    // in case is the same file, as on the collector's card.
    QString cachePath(const QString &name) const;

    // FileStreamSink
    void streamAnnounced(QByteArrayView lengthText) override;
    qsizetype consume(const char *data, qsizetype size) override;
    bool streaming() const override;

Q_SIGNALS:
    void receivingChanged(bool receiving);
    void checkpointPassed(quint32 verifiedOffset);

private:
    enum class StreamRole { None, Expected, Active, Stray };

    bool attempt(const QByteArray &encodedName);
    bool askRetry();
    bool writeData(QByteArrayView bytes);
    void showProgress();
    void endStream();
    void refuse(const QString &text);

    Link &link_;
    QPointer<QObject> linkAlive_;   // the link, while it lives
    OperatorUi &ui_;
    QString cacheFolder_ = QStringLiteral("cache");
    FileStreamReceiver receiver_;
    QFile cacheFile_;
    QString currentFileName_;
    StreamRole role_ = StreamRole::None;
    bool reading_ = false;
    bool stopped_ = false;
    bool writeFailed_ = false;
    quint32 startOffset_ = 0;
    quint32 verifiedOffset_ = 0;
    quint32 announcedLength_ = 0;
    int lastPercent_ = -1;
};

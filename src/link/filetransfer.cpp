#include "filetransfer.h"

#include "cp1251.h"
#include "link.h"
#include "operatorui.h"
#include "tokens.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QScopedValueRollback>
#include <QThread>
#include <QtEndian>
#include <array>
#include <limits>

namespace {

// crc16 one byte at a time, as the stream is checked while it arrives.
constexpr std::array<quint16, 256> crcTable = [] {
    std::array<quint16, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        quint16 crc = quint16(i);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? quint16((crc >> 1) ^ 0xA001) : quint16(crc >> 1);
        table[i] = crc;
    }
    return table;
}();

inline quint16 crcUpdate(quint16 crc, quint8 byte)
{
    return quint16((crc >> 8) ^ crcTable[(crc ^ byte) & 0xFF]);
}

constexpr quint32 markerMask = 0xFFFF00FFu;
constexpr quint32 markerPattern = 0x0D25000Du;   // CR '%' x CR

const QString errorCaption = QStringLiteral("Ошибка");

}  // namespace

// ---- the stream

void FileStreamReceiver::reset()
{
    state_ = State::Idle;
    failure_ = Failure::None;
    length_ = received_ = verified_ = 0;
    crc_ = 0xFFFF;
    tail_ = 0;
}

void FileStreamReceiver::begin(quint32 length)
{
    reset();
    length_ = length;
    state_ = checkpointAt(0) ? State::PairLow : State::Data;
}

void FileStreamReceiver::fail(Failure failure)
{
    state_ = State::Failed;
    failure_ = failure;
}

bool FileStreamReceiver::checkpointAt(quint32 count) const
{
    return count == length_ || count % blockSize == blockSize - 1;
}

bool FileStreamReceiver::flush(const char *run, qsizetype size)
{
    return size <= 0 || !onData || onData(QByteArrayView(run, size));
}

qsizetype FileStreamReceiver::feed(const char *data, qsizetype size)
{
    if (!streaming())
        return 0;
    qsizetype runStart = -1;   // first data byte not yet handed on
    auto flushRun = [&](qsizetype end) {
        const bool kept = runStart < 0 || flush(data + runStart, end - runStart);
        runStart = -1;
        if (!kept)
            fail(Failure::DataRejected);
        return kept;
    };

    for (qsizetype i = 0; i < size; ++i) {
        const auto byte = quint8(data[i]);
        tail_ = (tail_ << 8) | byte;
        if ((tail_ & markerMask) == markerPattern) {
            const char x = char((tail_ >> 8) & 0xFF);
            // Any other x is the data's own business: the checksums decide.
            if (x == 'N' || x == 'A') {
                if (flushRun(i))
                    fail(x == 'N' ? Failure::Refused : Failure::EarlyAcknowledge);
                return i + 1;
            }
        }
        switch (state_) {
        case State::Data:
            if (runStart < 0)
                runStart = i;
            crc_ = crcUpdate(crc_, byte);
            ++received_;
            if (checkpointAt(received_)) {
                if (!flushRun(i + 1))
                    return i + 1;
                state_ = State::PairLow;
            }
            break;
        case State::PairLow:
        case State::PairHigh: {
            if (onCheckpointByte)
                onCheckpointByte();
            const bool low = state_ == State::PairLow;
            if (byte != quint8(low ? crc_ : crc_ >> 8)) {
                fail(Failure::BadChecksum);
                return i + 1;
            }
            if (low) {
                state_ = State::PairHigh;
                break;
            }
            verified_ = received_;
            if (received_ == length_) {
                state_ = State::Complete;
                return i + 1;
            }
            state_ = State::Data;
            break;
        }
        default:
            return i;
        }
    }
    flushRun(size);
    return size;
}

// ---- the transfer

FileTransfer::FileTransfer(Link &link, OperatorUi &ui, QObject *parent)
    : QObject(parent), link_(link), ui_(ui)
{
    linkAlive_ = &link_;
    receiver_.onData = [this](QByteArrayView bytes) { return writeData(bytes); };
    receiver_.onCheckpointByte = [this] {
        // While data streams no line can arrive: the checkpoints keep the
        // reply time-out and the watchdogs quiet.
        link_.restartSilenceWatchdog();
        link_.restartReplyTimer();
        link_.restartCabinetWatchdog();
    };
    link_.setFileSink(this);
}

FileTransfer::~FileTransfer()
{
    // The link may already be gone when windows close after it.
    if (linkAlive_)
        link_.setFileSink(nullptr);
}

bool FileTransfer::receiving() const
{
    return link_.receivingFile() && streaming();
}

QString FileTransfer::nameProblem(const QString &name)
{
    QString shown = name;
    bool bad = name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..");
    for (QChar &c : shown) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u == 0x7F) {
            c = QLatin1Char('?');
            bad = true;
        } else if (u == '/' || u == '\\' || u == ':') {
            bad = true;
        }
    }
    bool encodable = false;
    cp1251::encode(name, &encodable);
    if (!bad && encodable)
        return {};
    if (name.isEmpty())
        return QStringLiteral("Файл без имени нельзя сохранить в папке кэша.");
    return QStringLiteral("Недопустимое имя файла: \"%1\".\rФайл не считан.").arg(shown);
}

QString FileTransfer::cachePath(const QString &name) const
{
    const QDir dir(cacheFolder_);
    const QString exact = dir.filePath(name);
    if (QFileInfo::exists(exact))
        return exact;
    const QStringList names = dir.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString &existing : names)
        if (existing.compare(name, Qt::CaseInsensitive) == 0)
            return dir.filePath(existing);
    return exact;
}

void FileTransfer::refuse(const QString &text)
{
    ui_.message(text, errorCaption, OperatorUi::Icon::Warning);
}

bool FileTransfer::readDeviceFile(const QString &name, quint32 startOffset)
{
    if (reading_)
        return false;
    const QScopedValueRollback<bool> guard(reading_, true);
    currentFileName_ = name;
    link_.beginExchange();
    startOffset_ = startOffset;

    if (const QString problem = nameProblem(name); !problem.isEmpty()) {
        refuse(problem);
        return false;
    }
    const QByteArray encodedName = cp1251::encode(name);

    if (cacheFile_.isOpen())
        cacheFile_.close();
    cacheFile_.setFileName(cachePath(name));
    if (!cacheFile_.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        refuse(QStringLiteral("Невозможно создать файл %1.\r%2")
                   .arg(QDir::toNativeSeparators(cacheFile_.fileName()), cacheFile_.errorString()));
        return false;
    }
    verifiedOffset_ = 0;
    writeFailed_ = false;

    for (;;) {
        const bool done = attempt(encodedName);
        if (writeFailed_) {
            const QString why = cacheFile_.errorString();
            cacheFile_.close();
            refuse(QStringLiteral("Ошибка записи в файл %1.\r%2")
                       .arg(QDir::toNativeSeparators(cacheFile_.fileName()), why));
            return false;
        }
        if (done) {
            cacheFile_.close();
            link_.restartCabinetWatchdog();
            return true;
        }
        if (!askRetry()) {
            // What stays in the cache is only what a checksum confirmed.
            cacheFile_.resize(verifiedOffset_);
            cacheFile_.close();
            return false;
        }
    }
}

bool FileTransfer::attempt(const QByteArray &encodedName)
{
    stopped_ = false;
    // A repeat goes on from the verified point; whatever came after it goes.
    if (!cacheFile_.resize(startOffset_) || !cacheFile_.seek(startOffset_)) {
        writeFailed_ = true;
        return false;
    }

    // A stray reply from between attempts must not answer this one.
    link_.clearReplyFlags();
    link_.sendCommand(cmd::Reset);
    link_.flushPort();
    link_.sendArgument(encodedName);
    link_.sendCommand(cmd::OpenFile);
    link_.flushPort();
    if (!link_.awaitReply() || stopped_)
        return false;

    QByteArray offset(4, '\0');
    qToLittleEndian<quint32>(startOffset_, offset.data());
    link_.sendArgument(offset);
    link_.sendCommand(cmd::Seek);
    link_.flushPort();
    if (!link_.awaitReply() || stopped_)
        return false;

    receiver_.reset();
    role_ = StreamRole::Expected;
    link_.sendArgument(QByteArray(4, '\0'));
    link_.sendCommand(cmd::ReadFile);
    link_.flushPort();
    const bool replied = link_.awaitReply();
    const bool received = role_ == StreamRole::Active && receiver_.complete();
    role_ = StreamRole::None;
    if (!replied || !received || stopped_ || writeFailed_)
        return false;
    if (!cacheFile_.flush()) {
        writeFailed_ = true;
        return false;
    }

    link_.sendCommand(cmd::CloseFile);
    link_.flushPort();
    return link_.awaitReply() && !stopped_;
}

bool FileTransfer::askRetry()
{
    int &retries = link_.readRetries();
    if (retries != 0)
        link_.reopenLink();
    for (int round = 0; round < 9 && !link_.closing(); ++round) {
        QCoreApplication::processEvents();
        QThread::msleep(1);
    }
    if (link_.closing())
        return false;
    startOffset_ = verifiedOffset_;
    if (retries < silentRepeats) {
        ++retries;
        return true;
    }
    retries = 0;
    const QString question = QStringLiteral("Ошибка во время приема файла.\rПозиция: %1\rДлинна файла: %2 байт\r\r"
                                            "Повторить считывание?")
                                 .arg(verifiedOffset_)
                                 .arg(announcedLength_);
    return ui_.ask(question, QStringLiteral("Ошибка. Повторить считывание?"), OperatorUi::Icon::Warning);
}

void FileTransfer::stop()
{
    // Set around each reset: a checkpoint handled in between must not win.
    verifiedOffset_ = 0;
    link_.sendCommand(cmd::Reset);
    link_.flushPort();
    verifiedOffset_ = 0;
    link_.sendCommand(cmd::Reset);
    link_.flushPort();
    verifiedOffset_ = 0;
    if (!reading_)
        return;
    stopped_ = true;
    if (role_ == StreamRole::Active && receiver_.streaming()) {
        receiver_.fail(FileStreamReceiver::Failure::Stopped);
        endStream();
    }
}

// ---- binary mode

void FileTransfer::streamAnnounced(QByteArrayView lengthText)
{
    const bool mine = role_ == StreamRole::Expected;
    role_ = mine ? StreamRole::Active : StreamRole::Stray;
    const std::optional<qint64> length = parseDecimal(lengthText);
    const qint64 room = qint64(std::numeric_limits<quint32>::max()) - (mine ? startOffset_ : 0);
    if (length && *length >= 0 && *length <= room) {
        receiver_.begin(quint32(*length));
    } else {
        receiver_.reset();
        receiver_.fail(FileStreamReceiver::Failure::BadLength);
    }
    if (!mine)
        return;
    announcedLength_ = receiver_.length();
    lastPercent_ = -1;
    Q_EMIT receivingChanged(true);
    if (receiver_.failed())
        endStream();
    else
        showProgress();
}

qsizetype FileTransfer::consume(const char *data, qsizetype size)
{
    if (!receiver_.streaming())
        return role_ == StreamRole::Active && receiver_.failed() ? size : 0;
    const quint32 verifiedBefore = receiver_.verified();
    qsizetype used = receiver_.feed(data, size);
    if (role_ != StreamRole::Active)
        return used;
    if (receiver_.verified() != verifiedBefore && !stopped_) {
        verifiedOffset_ = startOffset_ + receiver_.verified();
        Q_EMIT checkpointPassed(verifiedOffset_);
    }
    if (receiver_.streaming()) {
        showProgress();
        return used;
    }
    endStream();
    // The rest of a broken stream is data, not text.
    return receiver_.failed() ? size : used;
}

bool FileTransfer::streaming() const
{
    return receiver_.streaming() || (role_ == StreamRole::Active && receiver_.failed());
}

bool FileTransfer::writeData(QByteArrayView bytes)
{
    if (role_ != StreamRole::Active)
        return true;   // a stream nobody asked for is checked and dropped
    if (cacheFile_.write(bytes.data(), bytes.size()) == bytes.size())
        return true;
    writeFailed_ = true;
    return false;
}

void FileTransfer::showProgress()
{
    const qint64 maximum = qint64(startOffset_) + announcedLength_;
    const qint64 value = qint64(startOffset_) + receiver_.received();
    const int percent = maximum > 0 ? int(value * 100 / maximum) : 0;
    if (percent == lastPercent_)
        return;
    lastPercent_ = percent;
    ui_.setProgress(percent, QStringLiteral("Прием файла %1...").arg(currentFileName_));
}

void FileTransfer::endStream()
{
    ui_.setProgress(0, QString());
    lastPercent_ = -1;
    link_.setFileComplete();
    Q_EMIT receivingChanged(false);
}

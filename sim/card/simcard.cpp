#include "simcard.h"

#include "link/cp1251.h"
#include "sim/commandcodes.h"

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QTimer>
#include <QtEndian>
#include <utility>

namespace {

constexpr qint64 checkpointSpacing = 16384;
constexpr int ptyStreamRate = 200000;   // bytes/s a pseudo-terminal reader keeps up with

quint16 crcStep(quint16 crc, quint8 byte)
{
    crc ^= byte;
    for (int bit = 0; bit < 8; ++bit)
        crc = (crc & 1) ? quint16((crc >> 1) ^ 0xA001) : quint16(crc >> 1);
    return crc;
}

bool isTaskFile(const QByteArray &name)
{
    return name.toUpper() == "RULE.BIN";
}

}  // namespace

SimCard::SimCard(Collector &collector) : QObject(&collector), collector_(collector)
{
    namespace c = collectorcmd;
    using Argument = Collector::Argument;
    install(c::openFile, Argument::Checked, &SimCard::openFile);
    install(c::openCurrent, Argument::Checked, &SimCard::openCurrent);
    install(c::seek, Argument::Checked, &SimCard::seek);
    install(c::readFile, Argument::Checked, &SimCard::readFile);
    install(c::closeFile, Argument::None, &SimCard::closeFile);
    install(c::listDir, Argument::None, &SimCard::listDir);
    install(c::deleteFile, Argument::Checked, &SimCard::deleteFile);
    install(c::createFile, Argument::Checked, &SimCard::createFile);
    install(c::writeBlock, Argument::Checked, &SimCard::writeBlock);
    // A reset ends a stream in progress; it concerns the card only then.
    collector_.setCommandHandler(c::reset, Argument::Ignored, [this](const Request &r) { return this->reset(r); });
    connect(&pacer_, &OutputPacer::released, this, &SimCard::onReleased);
}

void SimCard::install(quint8 code, Collector::Argument argument, Reply (SimCard::*handler)(const Request &))
{
    collector_.setCommandHandler(code, argument, [this, code, handler](const Request &r) {
        if (refuseOnce_.remove(code) || !touch())
            return Reply::Nak;
        return (this->*handler)(r);
    });
}

bool SimCard::touch()
{
    if (provider_)
        std::exchange(provider_, {})(*this);
    return collector_.config().cardPresent;
}

// ---- content

qsizetype SimCard::indexOf(const QByteArray &name) const
{
    const QByteArray wanted = name.toUpper();
    for (qsizetype i = 0; i < files_.size(); ++i)
        if (files_[i].name.toUpper() == wanted)
            return i;
    return -1;
}

void SimCard::setFile(const QByteArray &name, const QByteArray &data)
{
    const qsizetype i = indexOf(name);
    if (i >= 0)
        files_[i] = {name, data};
    else
        files_.append({name, data});
}

bool SimCard::removeFile(const QByteArray &name)
{
    const qsizetype i = indexOf(name);
    if (i < 0)
        return false;
    files_.removeAt(i);
    return true;
}

std::optional<QByteArray> SimCard::file(const QByteArray &name) const
{
    const qsizetype i = indexOf(name);
    if (i < 0)
        return std::nullopt;
    return files_[i].data;
}

QList<SimCard::File> SimCard::files() const
{
    return files_;
}

bool SimCard::loadFolder(const QString &folder, QString *error)
{
    const QDir dir(folder);
    if (!dir.exists()) {
        if (error)
            *error = QStringLiteral("no folder %1").arg(folder);
        return false;
    }
    for (const QFileInfo &info : dir.entryInfoList(QDir::Files, QDir::Name)) {
        bool encodable = false;
        const QByteArray name = cp1251::encode(info.fileName(), &encodable);
        QFile f(info.filePath());
        if (!encodable || !f.open(QIODevice::ReadOnly)) {
            if (error)
                *error = QStringLiteral("cannot serve %1").arg(info.filePath());
            return false;
        }
        setFile(name, f.readAll());
    }
    return true;
}

void SimCard::clearStreamFaults()
{
    faults_.clear();
    persistentFault_.reset();
}

// ---- commands

SimCard::Reply SimCard::openFile(const Request &r)
{
    if (indexOf(r.argument) < 0)
        return Reply::Nak;
    readName_ = r.argument;
    position_ = 0;
    return Reply::Ack;
}

SimCard::Reply SimCard::openCurrent(const Request &r)
{
    if (r.argument != "current")
        return Reply::Nak;
    // The file being written today: the newest day file.
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    QByteArray newest;
    for (const File &f : std::as_const(files_))
        if (!isTaskFile(f.name)
            && (newest.isEmpty() || collator.compare(QString::fromLatin1(f.name), QString::fromLatin1(newest)) > 0))
            newest = f.name;
    if (newest.isEmpty())
        return Reply::Nak;
    readName_ = newest;
    position_ = 0;
    return Reply::Ack;
}

SimCard::Reply SimCard::seek(const Request &r)
{
    const auto data = readName_.isEmpty() ? std::nullopt : file(readName_);
    if (r.argument.size() != 4 || !data)
        return Reply::Nak;
    const qint64 offset = qFromLittleEndian<quint32>(r.argument.constData());
    if (offset > data->size())
        return Reply::Nak;
    position_ = offset;
    return Reply::Ack;
}

SimCard::Reply SimCard::readFile(const Request &r)
{
    const auto data = readName_.isEmpty() ? std::nullopt : file(readName_);
    if (r.argument.size() != 4 || !data)
        return Reply::Nak;
    const QByteArray rest = data->mid(position_);
    position_ = data->size();
    startStream(rest);
    return Reply::None;   // the stream is the answer
}

SimCard::Reply SimCard::closeFile(const Request &)
{
    readName_.clear();
    writeName_.clear();
    return Reply::Ack;
}

SimCard::Reply SimCard::listDir(const Request &)
{
    QByteArray lines = QByteArray("%DIR:") + Collector::lineEnd;
    for (const File &f : std::as_const(files_))
        lines += "%DIR:" + f.name + ',' + QByteArray::number(f.data.size()) + Collector::lineEnd;
    collector_.sendBytes(lines);
    return Reply::None;
}

SimCard::Reply SimCard::deleteFile(const Request &r)
{
    const qsizetype i = indexOf(r.argument);
    if (i < 0)
        return Reply::Nak;
    const QByteArray name = files_[i].name.toUpper();
    if (readName_.toUpper() == name)
        readName_.clear();
    if (writeName_.toUpper() == name)
        writeName_.clear();
    files_.removeAt(i);
    return Reply::Ack;
}

SimCard::Reply SimCard::createFile(const Request &r)
{
    const QByteArray &name = r.argument;
    if (name.isEmpty() || name.size() > 255 || name.contains('/') || name.contains('\\'))
        return Reply::Nak;
    const qsizetype i = indexOf(name);
    if (i >= 0) {
        files_[i].data.clear();   // the entry keeps its name
        writeName_ = files_[i].name;
    } else {
        // The card's short names are upper case.
        writeName_ = name.toUpper();
        files_.append({writeName_, {}});
    }
    return Reply::Ack;
}

SimCard::Reply SimCard::writeBlock(const Request &r)
{
    const qsizetype i = writeName_.isEmpty() ? -1 : indexOf(writeName_);
    if (i < 0 || r.argument.size() > maxBlock)
        return Reply::Nak;
    files_[i].data += r.argument;
    return Reply::Ack;
}

SimCard::Reply SimCard::reset(const Request &)
{
    pacer_.clear();
    whenDrained_ = {};
    collector_.setStreaming(false);
    return Reply::None;
}

// ---- streams

QByteArray SimCard::encodeStream(QByteArrayView data)
{
    const qint64 length = data.size();
    QByteArray out;
    out.reserve(length + 2 * (length / checkpointSpacing + 2));
    quint16 crc = 0xFFFF;
    auto pair = [&] {
        out.append(char(crc & 0xFF));
        out.append(char(crc >> 8));
    };
    if (length == 0)
        pair();
    for (qint64 i = 0; i < length; ++i) {
        const auto byte = quint8(data[i]);
        crc = crcStep(crc, byte);
        out.append(char(byte));
        const qint64 count = i + 1;
        if (count == length || count % checkpointSpacing == checkpointSpacing - 1)
            pair();
    }
    return out;
}

void SimCard::startStream(const QByteArray &data)
{
    ++streams_;
    QByteArray body = encodeStream(data);
    if (ackAfterStream_)
        body += "\r%A\r";
    std::optional<StreamFault> fault = persistentFault_;
    if (!faults_.isEmpty())
        fault = faults_.takeFirst();

    std::function<void()> action;
    if (fault) {
        const qsizetype at = qBound<qsizetype>(0, fault->offset, body.size());
        switch (fault->kind) {
        case StreamFault::Kind::FlipByte:
            if (at < body.size())
                body[at] = char(body[at] ^ 0x5A);
            break;
        case StreamFault::Kind::DropBytes:
            body.remove(at, qMax(0, fault->count));
            break;
        case StreamFault::Kind::EmbeddedReply:
            body.truncate(at);
            body += QByteArray("\r%") + fault->reply + '\r';
            break;
        case StreamFault::Kind::SilenceFrom:
            body.truncate(at);
            break;
        case StreamFault::Kind::Disconnect: {
            body.truncate(at);
            const int ms = fault->disconnectMs;
            Collector *collector = &collector_;
            action = [collector, ms] {
                collector->setDisconnected(true);
                QTimer::singleShot(ms, collector, [collector] { collector->setDisconnected(false); });
            };
            break;
        }
        }
    }

    emit streamStarted(data.size());
    // One terminator only: the byte after it is already data.
    const QByteArray header = "%D:" + QByteArray::number(data.size()) + '\r';
    whenDrained_ = std::move(action);
    collector_.setStreaming(true);
    pacer_.push(header + body);
}

void SimCard::onReleased(const QByteArray &bytes)
{
    collector_.sendBytes(bytes);
    if (pacer_.pending() > 0)
        return;
    collector_.setStreaming(false);
    if (whenDrained_)
        std::exchange(whenDrained_, {})();
}

bool serveCardFolder(Collector &collector, const QString &folder, bool paced, QString *error)
{
    // The card belongs to the collector from here on, even when the folder
    // cannot be read (the tool then ends).
    auto *card = new SimCard(collector);
    if (!card->loadFolder(folder, error))
        return false;
    card->setStreamRate(paced ? OutputPacer::lineRate : ptyStreamRate);
    return true;
}

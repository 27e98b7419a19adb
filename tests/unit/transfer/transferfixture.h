#pragma once
#include "link/filetransfer.h"
#include "link/link.h"
#include "link/operatorui.h"
#include "sim/card/simcard.h"
#include "sim/collector.h"
#include "sim/simulatedport.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtEndian>
#include <memory>

// Remembers every progress step as well.
class RecordingOperator : public ScriptedOperator
{
public:
    QStringList progressTexts;
    int yesAnswers = 0;   // questions answered Yes before `answer` applies

    void setProgress(int percent, const QString &text) override
    {
        ScriptedOperator::setProgress(percent, text);
        if (progressTexts.isEmpty() || progressTexts.last() != text)
            progressTexts << text;
    }
    bool ask(const QString &question, const QString &caption, Icon icon) override
    {
        const bool fixed = ScriptedOperator::ask(question, caption, icon);
        if (yesAnswers > 0) {
            --yesAnswers;
            return true;
        }
        return fixed;
    }
};

inline LinkTimings fastTimings()
{
    LinkTimings t;
    t.pumpMs = 1;
    t.replyMs = 250;
    t.silenceMs = 5000;
    t.gsmPanelMs = 250;
    return t;
}

inline QByteArray randomBytes(qsizetype size, quint32 seed)
{
    QByteArray data(size, Qt::Uninitialized);
    QRandomGenerator rng(seed);
    for (char &c : data)
        c = char(rng.bounded(256));
    return data;
}

// A link to an in-process collector with a card, and a transfer into a
// temporary cache folder.
struct TransferFixture
{
    QTemporaryDir dir;
    RecordingOperator ui;
    Collector collector{CollectorConfig::quiet()};
    SimCard *card = new SimCard(collector);
    int opens = 0;
    int pacing = 0;
    std::unique_ptr<Link> link;
    std::unique_ptr<FileTransfer> transfer;

    explicit TransferFixture(LinkTimings timings = fastTimings())
    {
        QDir(dir.path()).mkdir(QStringLiteral("cache"));
        link = std::make_unique<Link>(
            [this](const QString &) {
                ++opens;
                auto port = std::make_unique<SimulatedPort>(&collector);
                port->setPacing(pacing);
                return port;
            },
            ui, timings);
        link->setMeasurementLogPath(QString());
        link->setPort(QStringLiteral("sim:test"), QStringLiteral("sim"));
        link->startPump();
        transfer = std::make_unique<FileTransfer>(*link, ui);
        transfer->setCacheFolder(cachePath());
    }
    ~TransferFixture()
    {
        transfer.reset();
        link->setClosing();
    }

    bool waitOpen()
    {
        return link->waitUntil([this] { return link->state() == Link::Open; });
    }
    QString cachePath() const { return dir.filePath(QStringLiteral("cache")); }
    QByteArray cached(const QString &name) const
    {
        QFile f(QDir(cachePath()).filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    // The offsets the program asked the collector to seek to, in order.
    QList<quint32> seeks() const { return arguments(17); }
    int commands(int code) const { return int(arguments(code).size()); }
    QList<quint32> arguments(int code) const
    {
        QList<quint32> out;
        for (const Collector::LogEntry &e : collector.log())
            if (e.kind == Collector::LogEntry::Kind::Command && e.value == code)
                out << (e.received.size() >= 4 ? qFromLittleEndian<quint32>(e.received.constData()) : 0u);
        return out;
    }
};

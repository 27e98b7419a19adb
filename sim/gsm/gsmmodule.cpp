#include "gsmmodule.h"

#include "link/cp1251.h"
#include "link/crc16.h"
#include "moduletext.h"
#include "sim/collector.h"

namespace {

constexpr qsizetype keptTexts = 200;
const QByteArray separator("\x85");

QByteArray zevLine(const QByteArray &tokens)
{
    return "%ZEV: " + separator + tokens;
}

}  // namespace

GsmModule *GsmModule::install(Collector &collector, QByteArrayView settings)
{
    auto *module = new GsmModule(collector);
    if (!module->setSettings(settings)) {
        delete module;
        return nullptr;
    }
    return module;
}

GsmModule *GsmModule::installWithOptions(Collector &collector, const std::optional<QString> &settings,
                                         const QStringList &faults, QString *error)
{
    bool encoded = true;
    const QByteArray text = settings ? cp1251::encode(*settings, &encoded) : demonstrationSettings();
    GsmModule *module = encoded ? install(collector, text) : nullptr;
    if (!module) {
        *error = QStringLiteral("the GSM settings must be code page 1251 text without control characters");
        return nullptr;
    }
    for (const QString &name : faults) {
        if (!module->addFault(name)) {
            *error = QStringLiteral("unknown GSM module fault '%1'").arg(name);
            delete module;
            return nullptr;
        }
    }
    return module;
}

QByteArray GsmModule::demonstrationSettings()
{
    return cp1251::encode(QStringLiteral(
        "aon:0 p12v:1 pp:1 tbad:50 tnorm:100 maxt:3 pass:1234 ton:99 tstart:9 tstop:99 tint:24 "
        "tempmin:5 tempmax:45 cash:*100# cashmin:100 cashtime:24 "
        "in1:4 in1dop:0 in1f:0 in1per:0 in1con:1 in1z:0 in1time:0 "
        "out1:5 out1off:0 out1u:0 out1p:0 out1l:0 out1time:60 "
        "usrph_1:+79001234567 usron_1:0 usral_1:3 usrtst_1:2 usrc_1:1 usre_1:0 usri_1:1 "
        "sms:Инкубаторий: тревога!|Проверьте шкафы"));
}

GsmModule::GsmModule(Collector &collector) : QObject(&collector), collector_(&collector)
{
    answerTimer_.setSingleShot(true);
    answerTimer_.setInterval(defaultAnswerMs);
    talkTimer_.setSingleShot(true);
    talkTimer_.setInterval(defaultTalkMs);
    connect(&answerTimer_, &QTimer::timeout, this, &GsmModule::talk);
    connect(&talkTimer_, &QTimer::timeout, this, [this] {
        if (collector_)
            collector_->endGsmTalk();
        if (!queue_.isEmpty())
            answerTimer_.start();
    });
    connect(&collector, &Collector::gsmTextReceived, this, &GsmModule::receive);
}

void GsmModule::setFaults(const Faults &faults)
{
    faults_ = faults;
    naksLeft_ = faults.naksFirst;
}

bool GsmModule::addFault(const QString &name)
{
    Faults f = faults_;
    if (name == QLatin1String("wrong-checksum"))
        f.wrongChecksum = true;
    else if (name == QLatin1String("silent"))
        f.silent = true;
    else if (name == QLatin1String("nak-first"))
        f.naksFirst += 1;
    else
        return false;
    setFaults(f);
    return true;
}

void GsmModule::setTalkTimes(int answerMs, int talkMs)
{
    answerTimer_.setInterval(qMax(0, answerMs));
    talkTimer_.setInterval(qMax(0, talkMs));
}

void GsmModule::receive(const QByteArray &text)
{
    if (received_.size() >= keptTexts)
        received_.removeFirst();
    received_ << text;
    if (queue_.size() >= maxQueued)
        return;
    queue_ << text;
    // The collector acknowledges the text first and talks to the module after.
    if (!answerTimer_.isActive() && !talkTimer_.isActive())
        answerTimer_.start();
}

void GsmModule::talk()
{
    if (!collector_ || queue_.isEmpty())
        return;
    collector_->beginGsmTalk();
    // Lines sent while the collector talks wait until byte 4 has gone out.
    answer(queue_.takeFirst());
    talkTimer_.start();
}

void GsmModule::answer(const QByteArray &text)
{
    const ModuleText message = readModuleText(text);
    if (faults_.silent)
        return;
    switch (message.kind) {
    case ModuleText::Kind::Other:
        return;
    case ModuleText::Kind::ReadRequest:
    case ModuleText::Kind::Close:
        collector_->sendLine(report());
        return;
    case ModuleText::Kind::SettingsMessage:
        if (naksLeft_ > 0) {
            --naksLeft_;
            collector_->sendLine(zevLine("#N"));
        } else if (message.intact && ModuleSettings::carriable(message.items)) {
            settings_.apply(message.items);
            collector_->sendLine(zevLine("#A"));
        } else {
            collector_->sendLine(zevLine("#N"));
        }
        return;
    }
}

QByteArray GsmModule::report() const
{
    const QByteArray text = settings_.text();
    const quint16 checksum = quint16(crc16(text) + (faults_.wrongChecksum ? 1 : 0));
    return zevLine("#S " + text + separator + "#C" + QByteArray::number(checksum));
}

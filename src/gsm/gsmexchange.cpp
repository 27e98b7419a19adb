#include "gsmexchange.h"

#include "gsm/gsmlink.h"
#include "gsm/gsmpage.h"
#include "gsm/gsmreply.h"
#include "gsm/settingstext.h"
#include "link/cp1251.h"
#include "link/crc16.h"
#include "link/operatorui.h"

namespace {

const QString errorCaption = QStringLiteral("Ошибка");
const QString writeFailedLog = QStringLiteral("Ошибка во время записи настроек!");
const QString writeFailedText = QStringLiteral("Ошибка во время записи настроек. Проверьте подключение устройства!");
const QString badCharactersText = QStringLiteral("Настройки содержат символы, которые нельзя передать в систему ZEV-GSM.");
const QString readFailedText = QStringLiteral("Ошибка во время общения с устройством!");

// A write clears the flag again on every way out, early returns included.
struct WriteGuard
{
    bool &flag;
    explicit WriteGuard(bool &f) : flag(f) { flag = true; }
    ~WriteGuard() { flag = false; }
};

// Bytes that would break the message apart on the way: line ends and other
// control bytes frame the messages, 0x85 separates the module's reply tokens.
bool sendable(const QByteArray &bytes)
{
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F || b == 0x85)
            return false;
    }
    return true;
}

}  // namespace

// The busy cursor of one write: shown once, taken back exactly once, before
// any message or on the way out.
class GsmExchange::BusyCursor
{
public:
    explicit BusyCursor(OperatorUi &ui) : ui_(ui) { ui_.setBusy(true); }
    ~BusyCursor() { release(); }
    void release()
    {
        if (on_)
            ui_.setBusy(false);
        on_ = false;
    }

private:
    OperatorUi &ui_;
    bool on_ = true;
};

GsmExchange::GsmExchange(GsmLink &link, OperatorUi &ui, GsmTimings timings)
    : link_(link), ui_(ui), timings_(timings)
{
}

void GsmExchange::setPage(GsmPage *page)
{
    page_ = page;
}

bool GsmExchange::closing() const
{
    return link_.closing();
}

bool GsmExchange::settingsValid() const
{
    return !GsmSettingsRaw.isEmpty() && GsmCrcReceived == GsmCrcLocal;
}

void GsmExchange::onZevLine(const QByteArray &line)
{
    for (const GsmReplyToken &token : parseZevLine(line)) {
        switch (token.kind) {
        case GsmReplyToken::Kind::Confirmed:
            GsmConfirmed = true;
            break;
        case GsmReplyToken::Kind::Resend:
            GsmResendRequested = true;
            break;
        case GsmReplyToken::Kind::Settings:
            GsmSettingsRaw = token.settings;
            GsmCrcLocal = crc16(GsmSettingsRaw);
            break;
        case GsmReplyToken::Kind::Checksum:
            GsmCrcReceived = token.checksum;
            if (settingsValid()) {
                GsmSettings = cp1251::decode(GsmSettingsRaw);
                if (page_)
                    page_->click(QStringLiteral("goonline"));
                SettingsShown = true;
                if (page_)
                    page_->setValue(QStringLiteral("gsmSetup"), GsmSettings);
            }
            break;
        }
    }
}

bool GsmExchange::SendGsmText(const QByteArray &text)
{
    if (!page_ || !page_->loaded() || link_.closing())
        return false;
    return link_.sendGsmText('\r' + text + '\r');
}

QByteArray GsmExchange::settingsMessage(const QByteArray &items)
{
    return "\r*C" + QByteArray::number(crc16(items)) + "\r*S" + items + '\r';
}

QByteArray GsmExchange::closingText()
{
    return QByteArrayLiteral("\r\r*R\r\r");
}

void GsmExchange::requestSettings(bool showService)
{
    // A read in the middle of a write would interleave its messages.
    if (writing_)
        return;
    SettingsShown = false;
    if (page_)
        page_->click(QStringLiteral("gooffline"));
    if (page_ && page_->loaded() && showService)
        page_->click(QStringLiteral("kivo"));
    SendGsmText(QByteArrayLiteral("*s"));
}

bool GsmExchange::writeFromPage()
{
    if (writing_)
        return false;
    WriteGuard guard(writing_);
    BusyCursor busy(ui_);
    QString newText = QStringLiteral(" ");
    if (page_) {
        page_->click(QStringLiteral("blur"));
        newText = page_->value(QStringLiteral("gsmSetup")) + u' ' + page_->value(QStringLiteral("gsmSMS"));
    }
    return write(newText, busy);
}

bool GsmExchange::writeText(const QString &newText)
{
    if (writing_)
        return false;
    WriteGuard guard(writing_);
    BusyCursor busy(ui_);
    return write(newText, busy);
}

bool GsmExchange::write(const QString &newText, BusyCursor &busy)
{
    const gsmtext::Changes changes = gsmtext::changes(GsmSettings, newText);
    bool itemsOk = false, smsOk = false;
    const QByteArray items = cp1251::encode(changes.items, &itemsOk);
    const QByteArray sms = cp1251::encode(QStringLiteral(" ") + changes.sms, &smsOk);
    if (!itemsOk || !smsOk || !sendable(items) || !sendable(sms)) {
        busy.release();
        ui_.message(badCharactersText, errorCaption, OperatorUi::Icon::Error);
        return false;
    }

    if (!sendConfirmed(settingsMessage(items), true))
        return failWrite(busy);
    if (!changes.sms.isEmpty()) {
        link_.wait(timings_.pauseMs);
        if (!sendConfirmed(settingsMessage(sms), false))
            return failWrite(busy);
    }
    link_.wait(timings_.pauseMs);
    if (link_.closing())
        return false;
    SendGsmText(closingText());
    busy.release();
    ui_.message(QStringLiteral("Настройки записаны"), QStringLiteral("Подтверждение"), OperatorUi::Icon::Information);
    return true;
}

bool GsmExchange::sendConfirmed(const QByteArray &text, bool repeatOnResend)
{
    GsmConfirmed = false;
    GsmResendRequested = false;
    SendGsmText(text);
    for (int pass = timings_.passes; pass > 0 && !GsmConfirmed; --pass) {
        link_.wait(timings_.passMs);
        if (link_.closing())
            return false;
        // A confirmation that came in during this pass needs no repetition.
        if (GsmConfirmed)
            break;
        if ((repeatOnResend && GsmResendRequested) || pass % timings_.repeatEvery == 0) {
            GsmResendRequested = false;
            SendGsmText(text);
        }
    }
    return GsmConfirmed;
}

bool GsmExchange::failWrite(BusyCursor &busy)
{
    busy.release();
    // The program is closing: nothing more is sent and nobody reads a message.
    if (link_.closing())
        return false;
    SendGsmText(closingText());
    ui_.flashLog(writeFailedLog);
    ui_.message(writeFailedText, errorCaption, OperatorUi::Icon::Error);
    return false;
}

bool GsmExchange::readSettings()
{
    if (writing_)
        return false;
    requestSettings(false);
    for (int pass = 0; pass < timings_.readPasses && !SettingsShown && !link_.closing(); ++pass)
        link_.wait(timings_.passMs);
    if (SettingsShown)
        return true;
    if (!link_.closing())
        ui_.message(readFailedText, errorCaption, OperatorUi::Icon::Warning);
    return false;
}

bool GsmExchange::writeChanges(const QString &text)
{
    return readSettings() && writeText(text);
}

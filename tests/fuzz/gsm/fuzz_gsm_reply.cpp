// Feeds arbitrary module replies and settings texts to the GSM exchange.
// Whatever comes in, settings are shown only with their own checksum, and
// comparing a text with itself finds nothing to send.
#include <cstdint>
#include <cstdlib>

#include "gsm/gsmexchange.h"
#include "gsm/gsmlink.h"
#include "gsm/gsmreply.h"
#include "gsm/plaingsmpage.h"
#include "gsm/settingstext.h"
#include "link/cp1251.h"
#include "link/crc16.h"
#include "link/operatorui.h"

namespace {

class SilentLink : public GsmLink
{
public:
    bool sendGsmText(const QByteArray &) override { return true; }
    bool closing() const override { return false; }
    void wait(int) override {}
};

void require(bool condition)
{
    if (!condition)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));

    // The reply: lines as the collector would deliver them (no line ends).
    SilentLink link;
    ScriptedOperator ui;
    PlainGsmPage page;
    GsmExchange exchange(link, ui);
    exchange.setPage(&page);
    for (const QByteArray &line : input.split('\n'))
        exchange.onZevLine("%ZEV: " + line);
    if (exchange.settingsShown()) {
        require(!exchange.settingsRaw().isEmpty());
        require(crc16(exchange.settingsRaw()) == exchange.crcReceived());
        require(exchange.settings() == cp1251::decode(exchange.settingsRaw()));
    }
    for (const GsmReplyToken &token : parseZevLine(input))
        if (token.kind == GsmReplyToken::Kind::Settings)
            require(!token.settings.contains('\x85'));

    // Change detection: old and new text split at the first zero byte.
    const qsizetype cut = input.indexOf('\0');
    const QString oldText = cp1251::decode(cut < 0 ? input : input.left(cut));
    const QString newText = cut < 0 ? oldText : cp1251::decode(input.mid(cut + 1));
    const gsmtext::Changes changes = gsmtext::changes(oldText, newText);
    require(changes.items.startsWith(u' ') && changes.items.endsWith(u' '));
    if (oldText == newText)
        require(changes.items == QStringLiteral(" ") && changes.sms.isEmpty());
    if (!changes.sms.isEmpty())
        require(changes.sms.left(4).compare(QStringLiteral("sms:"), Qt::CaseInsensitive) == 0);
    return 0;
}

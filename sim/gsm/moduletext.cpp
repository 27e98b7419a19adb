#include "moduletext.h"

#include "link/crc16.h"
#include "link/tokens.h"

#include <QByteArrayList>

ModuleText readModuleText(QByteArrayView text)
{
    QByteArrayList lines;
    for (const QByteArray &line : text.toByteArray().split('\r'))
        if (!line.isEmpty())
            lines << line;

    ModuleText result;
    if (lines.isEmpty())
        return result;
    if (lines.size() == 1 && lines[0] == "*s") {
        result.kind = ModuleText::Kind::ReadRequest;
    } else if (lines.size() == 1 && lines[0] == "*R") {
        result.kind = ModuleText::Kind::Close;
    } else if (lines[0].startsWith("*C")) {
        // Anything that begins like a settings message is one; the module
        // asks again for one it cannot read.
        result.kind = ModuleText::Kind::SettingsMessage;
        const std::optional<quint16> checksum =
            lines.size() == 2 ? parseWord(QByteArrayView(lines[0]).sliced(2)) : std::nullopt;
        if (checksum && lines[1].startsWith("*S")) {
            result.items = lines[1].sliced(2);
            result.intact = crc16(result.items) == *checksum;
        }
    }
    return result;
}

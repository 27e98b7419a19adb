#include "moduletext.h"

#include "link/crc16.h"

#include <QByteArrayList>

namespace {

bool readNumber(QByteArrayView digits, quint16 *value)
{
    if (digits.isEmpty() || digits.size() > 5)
        return false;
    quint32 number = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return false;
        number = number * 10 + quint32(c - '0');
    }
    if (number > 0xFFFF)
        return false;
    *value = quint16(number);
    return true;
}

}  // namespace

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
        quint16 checksum = 0;
        if (lines.size() == 2 && lines[1].startsWith("*S") && readNumber(QByteArrayView(lines[0]).sliced(2), &checksum)) {
            result.items = lines[1].sliced(2);
            result.intact = crc16(result.items) == checksum;
        }
    }
    return result;
}

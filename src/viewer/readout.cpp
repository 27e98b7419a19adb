#include "viewer/readout.h"

#include "viewer/chartstyle.h"
#include "viewer/dayseries.h"

#include <algorithm>

QString slotTimeText(int slot)
{
    return QString::asprintf("Время: %02d:%02d:%01d0", slot / 360, (slot % 360) / 6, slot % 6);
}

namespace {

QString flagged(const QString &name, bool on, const char16_t *yes, const char16_t *no, bool alarm)
{
    QString t = name + QString::fromUtf16(on ? yes : no);
    if (alarm)
        t += QStringLiteral("/авария");
    return t;
}

}  // namespace

QList<ReadoutLine> readoutLines(const DaySeries &s, int slot, const QString &dateText, bool autoScale)
{
    slot = std::clamp(slot, 0, statformat::slotsPerDay - 1);
    const auto i = size_t(slot);
    const unsigned st = s.stateBits[i], al = s.alarmBits[i];
    auto state = [st](int bit) { return (st >> bit) & 1u; };
    auto alarm = [al](int bit) { return (al >> bit) & 1u; };
    const QString control = QStringLiteral("Контроль аварий: ") + (state(9) ? QStringLiteral("да") : QStringLiteral("нет"));

    QList<ReadoutLine> lines{{16, dateText}, {32, slotTimeText(slot)}};
    if (s.tTask[i] == 0 || s.hTask[i] == 0) {
        lines.append({64, QStringLiteral("Нет данных")});
        lines.append({272, control});
        return lines;
    }
    const char *tempFormat = autoScale ? "%2.1f°C / %2.1f°C" : "%2.1f°C / %2.3f°C";
    lines.append({48, QStringLiteral("Темп.: ") + QString::asprintf(tempFormat, double(s.tTask[i]), double(s.tMeas[i]))});
    lines.append({64, QStringLiteral("Вл.: ") + QString::asprintf("%3.0f%% / %3.1f%%", double(s.hTask[i]), double(s.hMeas[i]))});
    const char16_t *closed = u"замкнут", *open = u"разомкнут";
    lines.append({80, flagged(QStringLiteral("К-45°: "), state(3), closed, open, alarm(3))});
    lines.append({96, flagged(QStringLiteral("К 0°: "), state(4), closed, open, alarm(4))});
    lines.append({112, flagged(QStringLiteral("К+45°: "), state(5), closed, open, alarm(5))});
    lines.append({128, flagged(QStringLiteral("Дверь: "), state(0), u"открыта", u"закрыта", alarm(1))});
    lines.append({144, flagged(QStringLiteral("Нагр.: "), state(6), u"вкл.", u"выкл.", alarm(6))});
    lines.append({160, flagged(QStringLiteral("Охл.: "), state(7), u"вкл.", u"выкл.", alarm(7))});
    lines.append({176, flagged(QStringLiteral("Увл.: "), state(8), u"вкл.", u"выкл.", alarm(8))});
    QString motor = QStringLiteral("Мотор: ");
    motor += state(1) ? (state(2) ? QStringLiteral("движение вверх") : QStringLiteral("движение вниз"))
                      : QStringLiteral("стоп");
    lines.append({192, motor});
    lines.append({208, flagged(QStringLiteral("Вентиляция: "), state(10), u"вкл.", u"выкл.", alarm(2))});
    lines.append({224, QStringLiteral("+12В: ") + (alarm(0) ? QStringLiteral("нет") : QStringLiteral("есть"))});
    lines.append({240, QStringLiteral("~220В: ") + (alarm(9) ? QStringLiteral("нет") : QStringLiteral("есть"))});
    lines.append({256, QStringLiteral("Датчик: ") + (alarm(10) ? QStringLiteral("авария") : QStringLiteral("есть"))});
    lines.append({272, control});
    return lines;
}

void paintReadout(QPainter &p, const QList<ReadoutLine> &lines)
{
    for (const ReadoutLine &l : lines)
        chartstyle::drawTextAt(p, 4, l.y, l.text);
}

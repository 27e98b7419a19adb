#include "profilelibrary.h"

#include <climits>

namespace profiles {

void refreshTotals(Lines &prf, TLineFields &f)
{
    qint64 days = 0;
    qint64 hours = 0;
    for (qsizetype i = prf.size() - 1; i >= 0; --i) {
        if (isStageLine(prf[i])) {
            ParseStage(f, prf[i]);
            days += f.Days;
            hours += f.Hours;
            if (hours > 23) {
                days += hours / 24;
                hours %= 24;
            }
        } else {
            ParseProfileHeader(f, prf[i]);
            // Stage values come from text files; keep the sums within the field.
            f.Days = qint32(qBound(qint64(INT_MIN), days, qint64(INT_MAX)));
            f.Hours = qint32(qBound(qint64(INT_MIN), hours, qint64(INT_MAX)));
            prf[i] = FormatProfileHeader(f);
            days = hours = 0;
        }
    }
}

int lineForKey(const Lines &prf, QByteArrayView key)
{
    if (key.isEmpty())
        return -1;
    for (qsizetype i = prf.size() - 1; i >= 0; --i) {
        if (prf[i].startsWith(key))
            return int(i);
    }
    return -1;
}

int parentHeader(const Lines &prf, int index)
{
    for (int i = index; i >= 0 && i < prf.size(); --i) {
        if (!isStageLine(prf[i]))
            return i;
    }
    return -1;
}

int stageCountAfter(const Lines &prf, int index)
{
    int count = 0;
    while (index + 1 + count < prf.size() && isStageLine(prf[index + 1 + count]))
        ++count;
    return count;
}

namespace {

// The name a header keeps once rebuilt: its first word, at most 99 bytes.
QByteArray keptName(const QByteArray &name)
{
    TLineFields f;
    ParseProfileHeader(f, name);
    return f.Name;
}

}  // namespace

QByteArray newProfile(Lines &prf, const QByteArray &name)
{
    prf.append(name + " - ");
    return keptName(name);
}

QByteArray renameProfile(Lines &prf, int index, const QByteArray &name)
{
    if (index < 0 || index >= prf.size())
        return {};
    prf[index] = name + " - ";
    return keptName(name);
}

QByteArray replaceStage(Lines &prf, int index, const TLineFields &f)
{
    if (index < 0 || index >= prf.size())
        return {};
    prf[index] = FormatStage(f);
    return prf[index];
}

QByteArray insertStage(Lines &prf, int at, const TLineFields &f)
{
    at = qBound(0, at, int(prf.size()));
    prf.insert(at, FormatStage(f));
    return prf[at];
}

void removeAt(Lines &prf, int index)
{
    if (index < 0 || index >= prf.size())
        return;
    const int count = isStageLine(prf[index]) ? 1 : 1 + stageCountAfter(prf, index);
    prf.remove(index, count);
}

}  // namespace profiles

#pragma once
#include <QCollator>
#include <QList>
#include <QString>

// What a list entry is, by its caption; each kind has its own icon.
enum class FileKind {
    Task,         // "RULE.BIN"
    Statistics,   // a caption containing ".IN"
    Other,
};

FileKind fileKind(const QString &caption);

// The order of both file lists: captions that compare greater in the
// system's case-insensitive locale order come first, so day files named
// after their date list newest first.
class CaptionOrder
{
public:
    CaptionOrder();
    bool before(const QString &a, const QString &b) const { return collator_.compare(a, b) > 0; }
    // Where a new caption goes: after every entry that does not come after it.
    template<typename Entry, typename Caption>
    qsizetype insertPosition(const QList<Entry> &list, const QString &caption, Caption captionOf) const
    {
        qsizetype i = 0;
        while (i < list.size() && !before(caption, captionOf(list[i])))
            ++i;
        return i;
    }

private:
    QCollator collator_;
};

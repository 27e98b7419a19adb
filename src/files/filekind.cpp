#include "filekind.h"

FileKind fileKind(const QString &caption)
{
    if (caption == QLatin1String("RULE.BIN"))
        return FileKind::Task;
    if (caption.contains(QLatin1String(".IN")))
        return FileKind::Statistics;
    return FileKind::Other;
}

CaptionOrder::CaptionOrder()
{
    collator_.setCaseSensitivity(Qt::CaseInsensitive);
}

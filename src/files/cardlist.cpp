#include "cardlist.h"

#include "cachelist.h"

CardList::Change CardList::addDirLine(const QString &text, const CacheList &cache)
{
    if (text.isEmpty()) {
        clear();
        return {Change::Kind::Cleared};
    }
    CardEntry entry;
    const qsizetype comma = text.indexOf(QLatin1Char(','));
    entry.name = comma < 0 ? text : text.left(comma);
    if (comma >= 0)
        entry.sizeText = text.mid(comma + 1, maxSizeText);
    if (entry.name.toUpper() == QLatin1String("RULE.BIN"))
        return {Change::Kind::Hidden};
    entry.kind = fileKind(entry.name);
    entry.cached = cache.holdsCopy(entry.name, entry.sizeText);
    const qsizetype at = order_.insertPosition(entries_, entry.name, [](const CardEntry &e) { return e.name; });
    entries_.insert(at, entry);
    return {Change::Kind::Added, at};
}

#include "collectorgsmlink.h"

#include <QDeadlineTimer>

#include "gsm/gsmexchange.h"
#include "link/link.h"

CollectorGsmLink::CollectorGsmLink(Link &link) : link_(link)
{
}

bool CollectorGsmLink::sendGsmText(const QByteArray &text)
{
    return link_.request(cmd::GsmText, text);
}

bool CollectorGsmLink::closing() const
{
    return link_.closing();
}

void CollectorGsmLink::wait(int ms)
{
    const QDeadlineTimer deadline(ms);
    link_.waitUntil([&deadline] { return deadline.hasExpired(); });
}

QMetaObject::Connection CollectorGsmLink::deliverTo(GsmExchange &exchange)
{
    return QObject::connect(&link_, &Link::zevLine, &link_,
                            [&exchange](const QByteArray &line) { exchange.onZevLine(line); });
}

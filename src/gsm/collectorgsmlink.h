#pragma once
#include <QMetaObject>

#include "gsm/gsmlink.h"

class GsmExchange;
class Link;

// The settings exchange over the program's collector link: texts go to the
// module with command 9, waits are the link's own, and the link's "%ZEV: "
// lines are handed to the exchange.
class CollectorGsmLink : public GsmLink
{
public:
    explicit CollectorGsmLink(Link &link);

    bool sendGsmText(const QByteArray &text) override;
    bool closing() const override;
    void wait(int ms) override;

    // Every "%ZEV: " line of the link goes to `exchange`, which must outlive
    // the connection (disconnect it first otherwise).
    QMetaObject::Connection deliverTo(GsmExchange &exchange);

private:
    Link &link_;
};

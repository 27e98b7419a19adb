#pragma once
#include "clicontext.h"
#include "gsm/collectorgsmlink.h"
#include "gsm/gsmexchange.h"
#include "gsm/plaingsmpage.h"

#include <QObject>

// The GSM module's exchange over the command line's open link, with a page
// that only keeps the settings. The module's replies reach the exchange
// while the session lives; the link outlives it.
class CliGsmSession
{
public:
    explicit CliGsmSession(CliContext &context)
        : gsm_(context.link()), exchange_(gsm_, context.ui()), delivery_(gsm_.deliverTo(exchange_))
    {
        exchange_.setPage(&page_);
    }
    ~CliGsmSession() { QObject::disconnect(delivery_); }
    CliGsmSession(const CliGsmSession &) = delete;
    CliGsmSession &operator=(const CliGsmSession &) = delete;

    GsmExchange &exchange() { return exchange_; }

private:
    PlainGsmPage page_;
    CollectorGsmLink gsm_;
    GsmExchange exchange_;
    QMetaObject::Connection delivery_;
};

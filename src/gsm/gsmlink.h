#pragma once
#include <QByteArray>

// What the settings exchange needs of the collector link. The program's link
// implements it over the real request discipline; tests script it.
class GsmLink
{
public:
    virtual ~GsmLink() = default;

    // Passes text to the GSM module: one request with `text` as its argument
    // (its bytes, then their crc16 low byte first), command 9, flush, and the
    // wait for "%A"/"%N". True when the collector acknowledged in time.
    virtual bool sendGsmText(const QByteArray &text) = 0;

    // True once the program is closing: every wait ends and nothing more is sent.
    virtual bool closing() const = 0;

    // Waits about `ms` milliseconds while events keep being processed, so
    // that "%ZEV: " lines keep arriving; ends early when the program closes.
    virtual void wait(int ms);
};

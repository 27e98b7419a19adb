#pragma once
#include <QByteArrayView>
#include <functional>

// A device on the cabinet bus behind the collector (a sensor, a cabinet's boot
// kernel). In bridge mode the collector passes it the bus bytes sent while its
// address word was the last one, and what it answers travels back to the
// program as plain bytes through `reply`.
class BusDevice
{
public:
    using Reply = std::function<void(QByteArrayView bytes)>;

    virtual ~BusDevice() = default;

    virtual int busAddress() const = 0;                             // 1..62; 63 reaches every device
    virtual void addressed() {}                                     // its address word (or broadcast) came
    virtual void busByte(quint8 byte, const Reply &reply) = 0;
};

#include "crc16.h"

quint16 crc16(const void *data, qsizetype count)
{
    const auto *p = static_cast<const quint8 *>(data);
    quint16 reg = 0xFFFF;
    for (qsizetype i = 0; i < count; ++i) {
        reg ^= p[i];
        for (int bit = 0; bit < 8; ++bit)
            reg = (reg & 1) ? quint16((reg >> 1) ^ 0xA001) : quint16(reg >> 1);
    }
    return reg;
}

quint16 crc16(QByteArrayView bytes)
{
    return crc16(bytes.data(), bytes.size());
}

#include "imagecrc.h"

quint16 ImageCrc16(QByteArrayView bytes)
{
    quint16 reg = 0xFFFF;
    for (char c : bytes) {
        reg ^= quint16(qint16(qint8(c)));
        for (int bit = 0; bit < 8; ++bit)
            reg = (reg & 1) ? quint16((reg >> 1) ^ 0xA001) : quint16(reg >> 1);
    }
    return reg;
}

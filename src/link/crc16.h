#pragma once
#include <QByteArrayView>
#include <cstdint>

// CRC-16/MODBUS: register 0xFFFF, reflected polynomial 0xA001, no final XOR.
// Every checksum the program exchanges with the collector uses it and sends
// it low byte first.
quint16 crc16(QByteArrayView bytes);
quint16 crc16(const void *data, qsizetype count);

#pragma once
#include <QByteArrayView>

// The checksum of firmware image files. Unlike crc16 it widens each byte as a
// signed value before the XOR, so bytes of 0x80 and above give other results;
// the image format depends on exactly this.
quint16 ImageCrc16(QByteArrayView bytes);

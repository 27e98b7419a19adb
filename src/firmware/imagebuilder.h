#pragma once
#include "hexfile.h"

#include <QByteArray>
#include <QString>

struct ImageBuild
{
    bool ok = false;
    QString error;
    QByteArray file;     // a whole image file: signature, count, blocks, ImageCrc16
    int blockCount = 0;
};

// Lays the program out as one block per erase page that holds any data, in
// address order (see imagelayout.h). Refuses data outside the 24-bit program
// space, a program without data, and one that needs more blocks than the
// loader takes.
ImageBuild buildImageFile(const QList<HexChunk> &chunks);

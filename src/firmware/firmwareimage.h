#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <functional>

class OperatorUi;

// One device program as loaded from an image file: the bytes read (header,
// blocks, checksum) and the number of blocks that passed the check.
struct FirmwareImage
{
    QByteArray bytes;
    int blockCount = 0;

    // Block j, 0 <= j < blockCount, exactly as it is sent; empty out of range.
    QByteArrayView block(int j) const;
    void clear() { bytes.clear(); blockCount = 0; }
};

// The outcome of checking an image file. failureLogLine is the update log's
// line for the first check that failed; empty when ok.
struct ImageCheck
{
    bool ok = false;
    int blockCount = 0;
    QString failureLogLine;
};

// The checks of an image file, in order: size, signature, checksum. bytes are
// what the loader read (at most imagelayout::loadLimit). signaturePassed gets
// the block count as soon as the signature has passed, before the checksum.
ImageCheck checkImageBytes(QByteArrayView bytes, const std::function<void(int blockCount)> &signaturePassed = {});

// Reads and checks an image file without logging; for the command-line check.
ImageCheck imageCheck(const QString &path);

// Logs "Считывание прошивки..." and the file name, reads at most
// imagelayout::loadLimit bytes and checks them. On failure logs the one line
// of the failed check and leaves the image empty.
bool loadImage(const QString &fileName, FirmwareImage &image, OperatorUi &ui,
               const std::function<void(int blockCount)> &signaturePassed = {});

#include "lineprotocol.h"

namespace {
constexpr uint8_t frameStart = 0xAA;
constexpr uint8_t frameTag = 0x57;  // 'W'
}

void LineProtocol::resetFrames()
{
    for (auto &slot : ring_)
        slot.fill(0);
    frameSlot_ = 0;
    frameIndex_ = -1;
}

bool LineProtocol::takeFrameByte(uint8_t byte, Events &events)
{
    auto &slot = ring_[size_t(frameSlot_)];
    slot[size_t(frameIndex_)] = byte;
    ++frameIndex_;
    line_.clear();
    if (slot[0] != frameStart || slot[1] != frameTag) {
        frameIndex_ = -1;
        return false;
    }
    if (frameIndex_ < frameSize)
        return false;
    // Back to idle after a frame, so that frames sent back to back are all
    // received and the byte after a frame is read as ordinary input.
    frameIndex_ = -1;
    events.frameReceived(frameSlot_);
    return true;
}

qsizetype LineProtocol::feed(const char *data, qsizetype size, Events &events)
{
    for (qsizetype i = 0; i < size; ++i) {
        const auto byte = uint8_t(data[i]);
        if (frameIndex_ >= 0) {
            takeFrameByte(byte, events);
            continue;
        }
        if (byte == frameStart) {
            ring_[size_t(frameSlot_)][0] = byte;
            frameIndex_ = 1;
            line_.clear();
            continue;
        }
        if (byte == '\r' || byte == '\n') {
            discardingLine_ = false;
            if (line_.isEmpty())
                continue;
            const QByteArray line = std::exchange(line_, QByteArray());
            if (events.lineReceived(line))
                return i + 1;
            continue;
        }
        if (byte == 3)
            events.gsmMarker(true);
        else if (byte == 4)
            events.gsmMarker(false);
        if (discardingLine_)
            continue;
        if (line_.size() >= maxLineLength) {
            line_.clear();
            discardingLine_ = true;
            ++droppedLongLines_;
            continue;
        }
        line_.append(char(byte));
    }
    return size;
}

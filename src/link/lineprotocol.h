#pragma once
#include <QByteArray>
#include <array>
#include <cstdint>

// Turns the collector's plain bytes into events: text lines, 14-byte
// measurement frames (0xAA 'W' + 12 data bytes) and the GSM-activity marker
// bytes 3 and 4. It never touches the port, so feeding one byte at a time or
// a whole chunk gives the same events.
class LineProtocol
{
public:
    static constexpr int frameSize = 14;
    static constexpr int ringSlots = 100;
    static constexpr int slotSize = 80;
    // A collector that never ends its line must not make the buffer grow
    // without bound: past this length the line is dropped up to its terminator.
    static constexpr qsizetype maxLineLength = 64 * 1024;

    class Events
    {
    public:
        virtual ~Events() = default;
        // Returns true when the bytes after this line are no longer text
        // (a file stream begins right after its announcement).
        virtual bool lineReceived(const QByteArray &line) = 0;
        virtual void frameReceived(int slot) = 0;
        virtual void gsmMarker(bool talking) = 0;
    };

    // Consumes bytes until they run out or a line asks to leave text mode;
    // returns how many were consumed.
    qsizetype feed(const char *data, qsizetype size, Events &events);

    void abandonFrame() { frameIndex_ = -1; }
    void resetFrames();                       // zero the ring, as on every port open
    bool receivingFrame() const { return frameIndex_ >= 0; }

    int frameSlot() const { return frameSlot_; }
    void advanceFrameSlot() { frameSlot_ = (frameSlot_ + 1) % ringSlots; }
    const uint8_t *slotData(int slot) const { return ring_[size_t(slot % ringSlots)].data(); }

    const QByteArray &pendingLine() const { return line_; }
    quint64 droppedLongLines() const { return droppedLongLines_; }

private:
    bool takeFrameByte(uint8_t byte, Events &events);

    QByteArray line_;
    bool discardingLine_ = false;
    quint64 droppedLongLines_ = 0;
    std::array<std::array<uint8_t, slotSize>, ringSlots> ring_{};
    int frameSlot_ = 0;
    int frameIndex_ = -1;
};

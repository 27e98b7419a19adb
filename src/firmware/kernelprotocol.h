#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <array>
#include <optional>
#include <span>

// The byte-level rules of the boot kernel exchanges, free of the port and of
// time, so that tests and a simulated kernel can use them directly.
namespace bootkernel {

// --- the collector's own kernel, plain bytes on the serial line ---
inline constexpr quint8 syncFiller = 0x11;      // to the kernel, repeated
inline constexpr quint8 inStep = 0x10;          // from the kernel
inline constexpr quint8 configRequest = 0x19;   // answered with the 10 bytes of BootConfig
inline constexpr quint8 writeBlock = 0x13;      // followed by one block
inline constexpr quint8 blockWritten = 0x11;    // from the kernel; any other byte refuses
inline constexpr quint8 startProgram = 0x18;
inline constexpr int configSize = 10;
inline constexpr int syncPassBytes = 100;
inline constexpr int syncPasses = 1000;
inline constexpr int syncDiscardEvery = 10;
inline constexpr int syncPauseMs = 10;
inline constexpr int syncSettleMs = 300;
inline constexpr int collectorRepeats = 10;     // per kind of failure, time-outs and refusals apart

// --- the cabinets' kernels, through the bridge, every byte paced ---
inline constexpr quint8 enterBoot = 0x15;       // repeated
QByteArray indicatorBlockCommand();             // 0x16, then the block
QByteArray mainBlockCommand();                  // 0x15 0x11, then the block
QByteArray startProgramsCommand();              // 0x17 0x12
inline constexpr std::array<int, 4> bootBursts = {100, 1536, 100, 100};
inline constexpr int burstPauseMs = 100;
inline constexpr int indicatorBlockPauseMs = 300;
inline constexpr int mainBlockPauseMs = 200;
inline constexpr int startPauseMs = 100;
inline constexpr int cabinetAttempts = 8;

// Synchronisation with the collector's kernel. Before each pass the kernel is
// in step when the first byte of the latest read that returned anything is
// 0x10; a read that returns nothing changes nothing, and 0x10 later in a read
// does not count. After the last pass it has failed.
enum class SyncVerdict { InStep, NotYet, Failed };

class SyncProgress
{
public:
    SyncVerdict verdict() const;
    void recordRead(QByteArrayView read);   // ends a pass
    bool discardAfterPass() const { return passes_ > 0 && passes_ % syncDiscardEvery == 0; }
    int passes() const { return passes_; }

private:
    quint8 held_ = syncFiller;
    int passes_ = 0;
};

// The verdict after the given reads, one per pass.
SyncVerdict syncVerdict(const QList<QByteArray> &reads);

// The configuration reply, assembled in order from as many reads as it takes.
struct BootConfig
{
    std::array<quint8, configSize> bytes{};

    quint8 version() const { return bytes[0]; }
    quint8 revision() const { return bytes[1]; }
    quint16 deviceId() const { return quint16(bytes[2] | bytes[3] << 8); }
    quint16 processorType() const { return quint16(bytes[7] >> 4); }
    quint16 siliconRevision() const { return quint16((bytes[7] & 0x0F) << 8 | bytes[6]); }
};

class ConfigAssembly
{
public:
    int missing() const { return configSize - int(received_.size()); }
    void add(QByteArrayView read) { received_.append(read.first(qMin(read.size(), qsizetype(missing())))); }
    bool complete() const { return missing() == 0; }
    BootConfig config() const;   // meaningful once complete

private:
    QByteArray received_;
};

// The answer to a collector block, judged once per wait round: the timer is
// looked at after the read, and a byte read in the turn the timer is found
// fired is ignored.
enum class AckVerdict { Waiting, Written, Refused, TimedOut };
AckVerdict ackVerdict(bool timerFired, QByteArrayView read);

// Counts a block's failures, time-outs and refusals apart.
class CollectorRetries
{
public:
    // Counts one failure (TimedOut or Refused); true while that kind has
    // failed at most collectorRepeats times, so the block may go again.
    bool countFailure(AckVerdict failure);
    int timeouts() const { return timeouts_; }
    int refusals() const { return refusals_; }

private:
    int timeouts_ = 0;
    int refusals_ = 0;
};

// After a cabinet block, silence means written; a byte that comes back is the
// kernels' error byte.
std::optional<quint8> cabinetErrorByte(QByteArrayView read);

struct ProcessorRow
{
    const char *name;
    quint16 deviceId;
    quint16 type;
};

// The known processors, searched from the top; names may repeat with other ids.
extern const std::span<const ProcessorRow> ProcessorTable;

// The first row with both the device id and the processor type; null if none.
const ProcessorRow *lookupProcessor(quint16 deviceId, quint16 type);

// Log lines.
QString bootloaderLine(const BootConfig &config);
QString deviceLine(const BootConfig &config);
QString foundLine(const ProcessorRow &row);
QString notFoundLine();
QString configRequestLine();
QString timeoutLine();
QString collectorBlockErrorLine(int block);
QString cabinetBlockErrorLine(int block, quint8 errorByte);

}  // namespace bootkernel

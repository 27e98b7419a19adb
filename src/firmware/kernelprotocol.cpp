#include "kernelprotocol.h"

namespace bootkernel {
namespace {

const ProcessorRow processorRows[] = {
    {"dsPIC30F2010", 0x0040, 1},
    {"dsPIC30F2011", 0x00C0, 1},
    {"dsPIC30F2011", 0x0240, 1},
    {"dsPIC30F2012", 0x00C2, 1},
    {"dsPIC30F2012", 0x0241, 1},
    {"dsPIC30F3010", 0x01C0, 1},
    {"dsPIC30F3011", 0x01C1, 1},
    {"dsPIC30F3012", 0x00C1, 1},
    {"dsPIC30F3013", 0x00C3, 1},
    {"dsPIC30F3014", 0x0160, 1},
    {"dsPIC30F4011", 0x0101, 1},
    {"dsPIC30F4012", 0x0100, 1},
    {"dsPIC30F4013", 0x0141, 1},
    {"dsPIC30F5011", 0x0080, 1},
    {"dsPIC30F5013", 0x0081, 1},
    {"dsPIC30F5015", 0x0200, 1},
    {"dsPIC30F5016", 0x0201, 1},
    {"dsPIC30F6010", 0x0188, 1},
    {"dsPIC30F6010A", 0x0281, 1},
    {"dsPIC30F6011", 0x0192, 1},
    {"dsPIC30F6011A", 0x02C0, 1},
    {"dsPIC30F6012", 0x0193, 1},
    {"dsPIC30F6012A", 0x02C2, 1},
    {"dsPIC30F6013", 0x0197, 1},
    {"dsPIC30F6013A", 0x02C1, 1},
    {"dsPIC30F6014", 0x0198, 1},
    {"dsPIC30F6014A", 0x02C3, 1},
    {"dsPIC30F6015", 0x0280, 1},
    {"dsPIC33FJ64GP206", 0x00C1, 3},
    {"dsPIC33FJ64GP306", 0x00CD, 3},
    {"dsPIC33FJ64GP310", 0x00CF, 3},
    {"dsPIC33FJ64GP706", 0x00D5, 3},
    {"dsPIC33FJ64GP708", 0x00D6, 3},
    {"dsPIC33FJ64GP710", 0x00D7, 3},
    {"dsPIC33FJ128GP206", 0x00D9, 3},
    {"dsPIC33FJ128GP306", 0x00E5, 3},
    {"dsPIC33FJ128GP310", 0x00E7, 3},
    {"dsPIC33FJ128GP706", 0x00ED, 3},
    {"dsPIC33FJ128GP708", 0x00EE, 3},
    {"dsPIC33FJ128GP710", 0x00EF, 3},
    {"dsPIC33FJ256GP506", 0x00F5, 3},
    {"dsPIC33FJ256GP510", 0x00F7, 3},
    {"dsPIC33FJ256GP710", 0x00FF, 3},
    {"dsPIC33FJ64MC506", 0x0089, 3},
    {"dsPIC33FJ64MC508", 0x008A, 3},
    {"dsPIC33FJ64MC510", 0x008B, 3},
    {"dsPIC33FJ64MC706", 0x0091, 3},
    {"dsPIC33FJ64MC710", 0x0097, 3},
    {"dsPIC33FJ128MC506", 0x00A1, 3},
    {"dsPIC33FJ128MC510", 0x00A3, 3},
    {"dsPIC33FJ128MC706", 0x00A9, 3},
    {"dsPIC33FJ128MC708", 0x00AE, 3},
    {"dsPIC33FJ128MC710", 0x00AF, 3},
    {"dsPIC33FJ256MC510", 0x00B7, 3},
    {"dsPIC33FJ256MC710", 0x00BF, 3},
    {"PIC24HJ64GP206", 0x0041, 3},
    {"PIC24HJ64GP210", 0x0047, 3},
    {"PIC24HJ64GP506", 0x0049, 3},
    {"PIC24HJ64GP510", 0x004B, 3},
    {"PIC24HJ128GP206", 0x005D, 3},
    {"PIC24HJ128GP210", 0x005F, 3},
    {"PIC24HJ128GP306", 0x0065, 3},
    {"PIC24HJ128GP310", 0x0067, 3},
    {"PIC24HJ128GP506", 0x0061, 3},
    {"PIC24HJ128GP510", 0x0063, 3},
    {"PIC24HJ256GP206", 0x0071, 3},
    {"PIC24HJ256GP210", 0x0073, 3},
    {"PIC24HJ256GP610", 0x007B, 3},
    {"PIC24FJ64GA006", 0x0405, 3},
    {"PIC24FJ64GA008", 0x0408, 3},
    {"PIC24FJ64GA010", 0x040B, 3},
    {"PIC24FJ96GA006", 0x0406, 3},
    {"PIC24FJ96GA008", 0x0409, 3},
    {"PIC24FJ96GA010", 0x040C, 3},
    {"PIC24FJ128GA006", 0x0407, 3},
    {"PIC24FJ128GA008", 0x040A, 3},
    {"PIC24FJ128GA010", 0x040D, 3},
    {"PIC24FJ64GA004", 0x044F, 3},
};

QString hex2(uint v) { return QStringLiteral("%1").arg(v & 0xFF, 2, 16, QLatin1Char('0')).toUpper(); }
QString hex4(uint v) { return QStringLiteral("%1").arg(v & 0xFFFF, 4, 16, QLatin1Char('0')).toUpper(); }

}  // namespace

constinit const std::span<const ProcessorRow> ProcessorTable(processorRows);

QByteArray indicatorBlockCommand() { return QByteArray("\x16", 1); }
QByteArray mainBlockCommand() { return QByteArray("\x15\x11", 2); }
QByteArray startProgramsCommand() { return QByteArray("\x17\x12", 2); }

SyncVerdict SyncProgress::verdict() const
{
    if (held_ == inStep)
        return SyncVerdict::InStep;
    return passes_ >= syncPasses ? SyncVerdict::Failed : SyncVerdict::NotYet;
}

void SyncProgress::recordRead(QByteArrayView read)
{
    ++passes_;
    if (!read.isEmpty())
        held_ = quint8(read.front());
}

SyncVerdict syncVerdict(const QList<QByteArray> &reads)
{
    SyncProgress progress;
    for (const QByteArray &read : reads) {
        if (progress.verdict() != SyncVerdict::NotYet)
            break;
        progress.recordRead(read);
    }
    return progress.verdict();
}

BootConfig ConfigAssembly::config() const
{
    BootConfig c;
    for (qsizetype i = 0; i < received_.size(); ++i)
        c.bytes[size_t(i)] = quint8(received_[i]);
    return c;
}

AckVerdict ackVerdict(bool timerFired, QByteArrayView read)
{
    if (timerFired)
        return AckVerdict::TimedOut;
    if (read.isEmpty())
        return AckVerdict::Waiting;
    return quint8(read.front()) == blockWritten ? AckVerdict::Written : AckVerdict::Refused;
}

bool CollectorRetries::countFailure(AckVerdict failure)
{
    int &count = failure == AckVerdict::TimedOut ? timeouts_ : refusals_;
    ++count;
    return count <= collectorRepeats;
}

std::optional<quint8> cabinetErrorByte(QByteArrayView read)
{
    if (read.isEmpty())
        return std::nullopt;
    return quint8(read.front());
}

const ProcessorRow *lookupProcessor(quint16 deviceId, quint16 type)
{
    for (const ProcessorRow &row : ProcessorTable) {
        if (row.deviceId == deviceId && row.type == type)
            return &row;
    }
    return nullptr;
}

QString bootloaderLine(const BootConfig &config)
{
    return QStringLiteral("..bootloader ver 0x") + hex2(config.version()) + QStringLiteral(", rev 0x")
           + hex2(config.revision());
}

QString deviceLine(const BootConfig &config)
{
    return QStringLiteral("..device id 0x") + hex4(config.deviceId()) + QStringLiteral(", proc ")
           + hex4(config.processorType()) + QStringLiteral(", rev ") + hex4(config.siliconRevision());
}

QString foundLine(const ProcessorRow &row)
{
    return QStringLiteral("..Найден ") + QString::fromLatin1(row.name) + QStringLiteral(" (ID: 0x")
           + hex4(row.deviceId) + QStringLiteral(")");
}

QString notFoundLine() { return QStringLiteral("Устройство не найдено."); }
QString configRequestLine() { return QStringLiteral("Запрос конфигурации..."); }
QString timeoutLine() { return QStringLiteral("Тайм аут при общении!"); }

QString collectorBlockErrorLine(int block)
{
    return QStringLiteral("Ошибка записи блока 0x") + hex4(uint(block));
}

QString cabinetBlockErrorLine(int block, quint8 errorByte)
{
    return collectorBlockErrorLine(block) + QStringLiteral("/") + hex2(errorByte);
}

}  // namespace bootkernel

#include "cabinetkernel.h"

#include "firmware/imagelayout.h"
#include "firmware/kernelprotocol.h"

namespace {

// Bytes of the bridged exchange beyond those kernelprotocol.h names.
constexpr quint8 indicatorBlock = 0x16;
constexpr quint8 mainBlockSecond = 0x11;     // after 0x15
constexpr quint8 startFirst = 0x17;
constexpr quint8 startSecond = 0x12;

}  // namespace

void CabinetKernel::addressed()
{
    // An address word in the middle of a block means the host gave it up.
    run15_ = 0;
    if (parse_ != Parse::Command) {
        parse_ = Parse::Command;
        block_.clear();
    }
}

void CabinetKernel::countEnterByte(quint8 byte)
{
    if (byte != bootkernel::enterBoot) {
        run15_ = 0;
        return;
    }
    if (++run15_ == bootEntryRun) {
        ++bootRequests_;
        bootMode_ = true;
    }
}

void CabinetKernel::busByte(quint8 byte, const Reply &reply)
{
    if (parse_ == Parse::Block) {
        block_.append(char(byte));
        if (block_.size() == imagelayout::blockSize)
            finishBlock(reply);
        return;
    }
    countEnterByte(byte);
    if (bootMode_)
        command(byte);
}

void CabinetKernel::command(quint8 byte)
{
    const Parse was = parse_;
    parse_ = Parse::Command;
    if (was == Parse::Saw15 && byte == mainBlockSecond) {
        blockUnit_ = Unit::Main;
        parse_ = Parse::Block;
    } else if (was == Parse::Saw17 && byte == startSecond) {
        ++starts_;
        run15_ = 0;
        bootMode_ = false;
    } else if (byte == bootkernel::enterBoot) {
        parse_ = Parse::Saw15;
    } else if (byte == indicatorBlock) {
        blockUnit_ = Unit::Indicator;
        parse_ = Parse::Block;
    } else if (byte == startFirst) {
        parse_ = Parse::Saw17;
    }
    // Anything else is line noise the kernel ignores.
}

void CabinetKernel::finishBlock(const Reply &reply)
{
    const QByteArray block = std::exchange(block_, {});
    parse_ = Parse::Command;
    const int reception = receptions_++;
    const Unit unit = blockUnit_;
    if (onBlock)
        onBlock(unit, reception);

    std::optional<quint8> error = faults.errorAlways;
    if (!error && faults.errorAt.contains(reception))
        error = faults.errorAt.value(reception);
    if (!error) {
        ProgramMemory &memory = unit == Unit::Main ? main_ : indicator_;
        if (memory.write(block) == ProgramMemory::BlockCheck::Good)
            (unit == Unit::Main ? mainBlocks_ : indicatorBlocks_).append(block);
        else
            error = badBlockError;
    }
    if (error) {
        const char byte = char(*error);
        reply(QByteArrayView(&byte, 1));
    }
}

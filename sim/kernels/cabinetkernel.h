#pragma once
#include "programmemory.h"
#include "sim/busdevice.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <functional>
#include <optional>

// The boot kernels of one cabinet on the bus: its main unit and its indicator,
// reached through the collector's bridge. A run of 0x15 puts them into boot
// mode; there 0x16 + block writes an indicator page, 0x15 0x11 + block a
// main-unit page, and 0x17 0x12 starts both programs. A good block is taken in
// silence; anything wrong is answered with one error byte.
class CabinetKernel : public BusDevice
{
public:
    enum class Unit { Indicator, Main };

    static constexpr int bootEntryRun = 16;        // 0x15 in a row that ask for boot mode
    static constexpr quint8 badBlockError = 0xE1;  // a block that fails its check

    // Faults, by block reception (every block counts, good or not, from 0).
    struct Faults
    {
        QMap<int, quint8> errorAt;          // answered with this byte and not written
        std::optional<quint8> errorAlways;  // every block refused with this byte
    };

    explicit CabinetKernel(int address) : address_(address) {}

    int busAddress() const override { return address_; }
    void addressed() override;
    void busByte(quint8 byte, const Reply &reply) override;

    Faults faults;
    // Called when a block has come in, before it is judged; tests act here
    // (pull the cable, close the port) to interrupt an update at a known point.
    std::function<void(Unit unit, int reception)> onBlock;

    bool inBootMode() const { return bootMode_; }
    int bootRequests() const { return bootRequests_; }   // runs of 0x15 seen
    int starts() const { return starts_; }               // 0x17 0x12 taken in boot mode
    int receptions() const { return receptions_; }
    const ProgramMemory &memory(Unit unit) const { return unit == Unit::Main ? main_ : indicator_; }
    const QList<QByteArray> &blocks(Unit unit) const { return unit == Unit::Main ? mainBlocks_ : indicatorBlocks_; }

private:
    enum class Parse { Command, Saw15, Saw17, Block };

    void countEnterByte(quint8 byte);
    void command(quint8 byte);
    void finishBlock(const Reply &reply);

    int address_;
    bool bootMode_ = false;
    int run15_ = 0;
    int bootRequests_ = 0;
    int starts_ = 0;
    int receptions_ = 0;
    Parse parse_ = Parse::Command;
    Unit blockUnit_ = Unit::Main;
    QByteArray block_;
    ProgramMemory main_;
    ProgramMemory indicator_;
    QList<QByteArray> mainBlocks_;
    QList<QByteArray> indicatorBlocks_;
};

#pragma once
#include "programmemory.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QTimer>
#include <array>

class Collector;

// The collector's own boot kernel. The collector restarts into it after the
// command cmdCard (or when switched on by hand, powerCycle); from then on it
// reads plain bytes: each 0x11 filler is answered 0x10, 0x19 with the
// configuration, 0x13 + block writes a page and is answered 0x11 (any other
// byte refuses it), and 0x18 starts the collector's program again. A kernel
// that nobody talks to starts the program by itself after a while.
class CollectorKernel : public QObject
{
    Q_OBJECT
public:
    static constexpr quint8 refusal = 0xEE;   // a block that fails its check

    // Faults, by block reception (every block counts, from 0).
    struct Faults
    {
        bool mute = false;          // answers nothing, so it never gets in step
        bool configUnanswered = false;
        QSet<int> lostAcks;         // written, but the acknowledgement is lost
        QSet<int> refusals;         // refused without being written
        bool loseEveryAck = false;
        bool refuseEvery = false;
    };

    // Registers the collector's cmdCard handler: acknowledge, then restart
    // into the kernel.
    explicit CollectorKernel(Collector &collector, QObject *parent = nullptr);
    ~CollectorKernel() override;

    // What 0x19 is answered with. Defaults to a PIC24FJ128GA010, kernel 1.2.
    std::array<quint8, 10> bootConfig{0x01, 0x02, 0x0D, 0x04, 0x00, 0x00, 0x03, 0x30, 0x00, 0x00};
    Faults faults;
    int powerCycleMs = 50;    // deaf while the collector restarts
    int idleExitMs = 5000;    // not in step by then: the program starts again

    void powerCycle();        // the collector restarts into the kernel
    bool running() const { return state_ != State::Off; }
    bool inStep() const { return inStep_; }
    int receptions() const { return receptions_; }
    int starts() const { return starts_; }
    const ProgramMemory &memory() const { return memory_; }
    const QList<QByteArray> &blocks() const { return blocks_; }   // written, in order

signals:
    void blockReceived(int reception);
    void programStarted();

private:
    enum class State { Off, PoweringUp, Command, Block };

    qsizetype input(QByteArrayView bytes);
    void command(quint8 byte, QByteArray &answer);
    void finishBlock(QByteArray &answer);
    void leave();

    QPointer<Collector> collector_;
    State state_ = State::Off;
    bool inStep_ = false;
    int receptions_ = 0;
    int starts_ = 0;
    QByteArray block_;
    ProgramMemory memory_;
    QList<QByteArray> blocks_;
    QTimer powerTimer_;
    QTimer idleTimer_;
};

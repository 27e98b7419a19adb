#include "collectorkernel.h"

#include "firmware/imagelayout.h"
#include "firmware/kernelprotocol.h"
#include "sim/collector.h"
#include "sim/commandcodes.h"

using namespace bootkernel;

CollectorKernel::CollectorKernel(Collector &collector, QObject *parent) : QObject(parent), collector_(&collector)
{
    powerTimer_.setSingleShot(true);
    idleTimer_.setSingleShot(true);
    connect(&powerTimer_, &QTimer::timeout, this, [this] { state_ = State::Command; });
    connect(&idleTimer_, &QTimer::timeout, this, [this] {
        if (!inStep_)
            leave();
    });
    collector.setCommandHandler(collectorcmd::card, Collector::Argument::None, [this](const Collector::Request &) {
        // The acknowledgement leaves first; then the collector restarts.
        QTimer::singleShot(0, this, &CollectorKernel::powerCycle);
        return Collector::Reply::Ack;
    });
}

CollectorKernel::~CollectorKernel()
{
    // Gone with its collector, or alone: then the collector keeps running
    // its program and acknowledges cmdCard as it did before.
    if (!collector_)
        return;
    if (running())
        collector_->setBootKernel({});
    collector_->setCommandHandler(collectorcmd::card, Collector::Argument::None,
                                  [](const Collector::Request &) { return Collector::Reply::Ack; });
}

void CollectorKernel::powerCycle()
{
    if (!collector_)
        return;
    collector_->setBootKernel([this](QByteArrayView bytes) { return input(bytes); });
    state_ = State::PoweringUp;
    inStep_ = false;
    block_.clear();
    powerTimer_.start(qMax(0, powerCycleMs));
    idleTimer_.start(qMax(0, idleExitMs));
}

void CollectorKernel::leave()
{
    powerTimer_.stop();
    idleTimer_.stop();
    state_ = State::Off;
    inStep_ = false;
    ++starts_;
    collector_->setBootKernel({});
    emit programStarted();
}

qsizetype CollectorKernel::input(QByteArrayView bytes)
{
    QByteArray answer;
    qsizetype i = 0;
    while (i < bytes.size() && state_ != State::Off) {
        const quint8 byte = quint8(bytes[i++]);
        if (state_ == State::Block) {
            block_.append(char(byte));
            if (block_.size() == imagelayout::blockSize)
                finishBlock(answer);
        } else if (state_ == State::Command && byte == startProgram) {
            collector_->sendFromBootKernel(std::exchange(answer, {}));
            leave();
        } else if (state_ == State::Command) {
            command(byte, answer);
        }
        // While it powers up the kernel hears nothing.
    }
    if (!answer.isEmpty() && !faults.mute)
        collector_->sendFromBootKernel(answer);
    return i;
}

void CollectorKernel::command(quint8 byte, QByteArray &answer)
{
    switch (byte) {
    case syncFiller:
        if (faults.mute)
            return;
        answer.append(char(bootkernel::inStep));
        if (!inStep_) {
            inStep_ = true;
            idleTimer_.stop();
        }
        return;
    case configRequest:
        if (faults.configUnanswered)
            return;
        answer.append(reinterpret_cast<const char *>(bootConfig.data()), qsizetype(bootConfig.size()));
        return;
    case writeBlock:
        state_ = State::Block;
        return;
    default:
        // The host's link traffic (mode words, resets) means nothing here.
        return;
    }
}

void CollectorKernel::finishBlock(QByteArray &answer)
{
    state_ = State::Command;
    const QByteArray block = std::exchange(block_, {});
    const int reception = receptions_++;
    emit blockReceived(reception);

    if (faults.refuseEvery || faults.refusals.contains(reception)
        || memory_.write(block) != ProgramMemory::BlockCheck::Good) {
        answer.append(char(refusal));
        return;
    }
    blocks_.append(block);
    if (!faults.loseEveryAck && !faults.lostAcks.contains(reception))
        answer.append(char(blockWritten));
}

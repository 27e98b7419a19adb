#include "ptyendpoint.h"

#include "collector.h"

#include <QTimer>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

// Output for a program that is not reading waits here up to this much; beyond
// it, like a line nobody listens to, it is lost.
constexpr qsizetype maxPending = 16384;
constexpr int eioRetryMs = 100;

}  // namespace

PtyEndpoint::PtyEndpoint(Collector &collector, QObject *parent)
    : QObject(parent), collector_(collector)
{
    connect(&collector_, &Collector::transmit, &pacer_, &OutputPacer::push);
    connect(&pacer_, &OutputPacer::released, this, &PtyEndpoint::queue);
}

PtyEndpoint::~PtyEndpoint()
{
    readNotifier_.reset();
    writeNotifier_.reset();
    if (slave_ >= 0)
        ::close(slave_);
    if (master_ >= 0)
        ::close(master_);
}

bool PtyEndpoint::fail(const QString &what)
{
    error_ = what + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
    return false;
}

bool PtyEndpoint::open()
{
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0)
        return fail(QStringLiteral("posix_openpt"));
    if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0)
        return fail(QStringLiteral("grantpt/unlockpt"));
    const char *name = ::ptsname(master_);
    if (!name)
        return fail(QStringLiteral("ptsname"));
    slavePath_ = QString::fromLocal8Bit(name);

    slave_ = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (slave_ < 0)
        return fail(QStringLiteral("open ") + slavePath_);
    termios raw{};
    if (::tcgetattr(slave_, &raw) != 0)
        return fail(QStringLiteral("tcgetattr"));
    ::cfmakeraw(&raw);
    if (::tcsetattr(slave_, TCSANOW, &raw) != 0)
        return fail(QStringLiteral("tcsetattr"));

    const int flags = ::fcntl(master_, F_GETFL);
    if (flags < 0 || ::fcntl(master_, F_SETFL, flags | O_NONBLOCK) != 0)
        return fail(QStringLiteral("fcntl"));

    readNotifier_ = std::make_unique<QSocketNotifier>(master_, QSocketNotifier::Read);
    connect(readNotifier_.get(), &QSocketNotifier::activated, this, &PtyEndpoint::readMaster);
    writeNotifier_ = std::make_unique<QSocketNotifier>(master_, QSocketNotifier::Write);
    writeNotifier_->setEnabled(false);
    connect(writeNotifier_.get(), &QSocketNotifier::activated, this, &PtyEndpoint::writeMaster);
    return true;
}

void PtyEndpoint::readMaster()
{
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n > 0) {
            collector_.receive(QByteArrayView(buffer, n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN)
            return;
        // EIO: no slave open at the moment. Look again a little later instead
        // of spinning on a descriptor that stays readable.
        readNotifier_->setEnabled(false);
        QTimer::singleShot(eioRetryMs, this, [this] { readNotifier_->setEnabled(true); });
        return;
    }
}

void PtyEndpoint::queue(const QByteArray &bytes)
{
    if (pending_.size() + bytes.size() > maxPending)
        return;
    pending_.append(bytes);
    writeMaster();
}

void PtyEndpoint::writeMaster()
{
    while (!pending_.isEmpty()) {
        const ssize_t n = ::write(master_, pending_.constData(), size_t(pending_.size()));
        if (n > 0) {
            pending_.remove(0, n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN)
            pending_.clear();  // nobody to deliver to
        // Full: the program is not reading; go on when it is writable again.
        break;
    }
    if (writeNotifier_)
        writeNotifier_->setEnabled(!pending_.isEmpty());
}

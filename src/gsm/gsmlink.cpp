#include "gsmlink.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

void GsmLink::wait(int ms)
{
    if (closing() || !QCoreApplication::instance())
        return;
    QEventLoop loop;
    QTimer done;
    done.setSingleShot(true);
    QObject::connect(&done, &QTimer::timeout, &loop, &QEventLoop::quit);
    // Closing is a state, not a signal: look at it now and then.
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &loop, [&] {
        if (closing())
            loop.quit();
    });
    done.start(ms);
    watch.start(10);
    loop.exec();
}

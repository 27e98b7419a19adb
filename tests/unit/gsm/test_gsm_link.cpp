#include <QtTest>

#include "gsm/gsmlink.h"

// The ordinary wait of the link: events go on, and closing ends it.
class TestGsmLink : public QObject
{
    Q_OBJECT
private slots:
    void aWaitKeepsEventsGoing();
    void closingEndsAWait();
};

namespace {

class Link : public GsmLink
{
public:
    bool isClosing = false;
    bool sendGsmText(const QByteArray &) override { return true; }
    bool closing() const override { return isClosing; }
};

}  // namespace

void TestGsmLink::aWaitKeepsEventsGoing()
{
    Link link;
    int ticks = 0;
    QTimer tick;
    connect(&tick, &QTimer::timeout, [&] { ++ticks; });
    tick.start(0);
    link.wait(50);
    QVERIFY(ticks > 0);
}

void TestGsmLink::closingEndsAWait()
{
    Link link;
    QTimer::singleShot(0, [&] { link.isClosing = true; });
    // Without the end on closing this wait would outlast the test's time limit.
    link.wait(24 * 3600 * 1000);
    QVERIFY(link.isClosing);
}

QTEST_GUILESS_MAIN(TestGsmLink)
#include "test_gsm_link.moc"

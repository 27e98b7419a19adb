// Hundreds of reads of random files through random faults: each ends with a
// cache copy identical to the card file or with a reported failure.
#include <QtTest>

#include "transferfixture.h"

#if defined(__SANITIZE_ADDRESS__)
#define SOAK_UNDER_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SOAK_UNDER_SANITIZER 1
#endif
#endif
#ifdef SOAK_UNDER_SANITIZER
constexpr int defaultTransfers = 120;
#else
constexpr int defaultTransfers = 300;
#endif

class TestTransferSoak : public QObject
{
    Q_OBJECT
private slots:
    void successIsNeverWrong();
};

void TestTransferSoak::successIsNeverWrong()
{
    // The sanitizer build runs fewer (as does INCUBATOR_SOAK_TRANSFERS), never under a hundred.
    const int asked = qEnvironmentVariableIntValue("INCUBATOR_SOAK_TRANSFERS");
    const int transfers = qMax(100, asked > 0 ? asked : defaultTransfers);
    QRandomGenerator rng(20240517);
    // Most faults end in the reply time-out: keep it short, the collector
    // is in the same process.
    LinkTimings timings = fastTimings();
    timings.replyMs = 40;
    timings.gsmPanelMs = 40;   // junk after a broken stream may hold a GSM marker
    TransferFixture f(timings);
    QVERIFY(f.waitOpen());

    int succeeded = 0;
    int failed = 0;
    for (int n = 0; n < transfers; ++n) {
        const int size = rng.bounded(10) == 0 ? rng.bounded(3) : rng.bounded(60000);
        const QByteArray data = randomBytes(size, rng.generate());
        const QByteArray name = "F" + QByteArray::number(n) + ".INC";
        f.card->setFile(name, data);
        f.card->clearStreamFaults();
        f.card->setAckAfterStream(rng.bounded(2) == 0);
        const qint64 streamSize = SimCard::encodeStream(data).size();

        auto randomFault = [&] {
            SimCard::StreamFault fault;
            fault.kind = SimCard::StreamFault::Kind(rng.bounded(5));
            fault.offset = rng.bounded(qint64(streamSize) + 1);
            fault.count = 1 + rng.bounded(3);
            fault.reply = "NAx"[rng.bounded(3)];
            fault.disconnectMs = 10 + rng.bounded(30);
            return fault;
        };
        // Mostly passing trouble; now and then a fault that never goes away.
        const int faults = rng.bounded(4);
        for (int i = 0; i < faults; ++i)
            f.card->queueStreamFault(randomFault());
        if (rng.bounded(20) == 0) {
            SimCard::StreamFault lasting = randomFault();
            lasting.kind = SimCard::StreamFault::Kind::FlipByte;
            f.card->setPersistentStreamFault(lasting);
        }
        f.ui.answer = false;
        f.ui.yesAnswers = rng.bounded(3) == 0 ? 1 : 0;   // one more round now and then

        const bool ok = f.transfer->readDeviceFile(QString::fromLatin1(name));
        if (ok) {
            ++succeeded;
            QVERIFY2(f.cached(QString::fromLatin1(name)) == data,
                     qPrintable(QStringLiteral("transfer %1 (%2 bytes) reported success with a wrong copy")
                                    .arg(n)
                                    .arg(size)));
        } else {
            ++failed;
            // What a failed read leaves is a verified beginning of the file.
            const QByteArray partial = f.cached(QString::fromLatin1(name));
            QVERIFY2(data.startsWith(partial), qPrintable(QStringLiteral("transfer %1 left unchecked data").arg(n)));
        }
        f.link->waitUntil([&] { return f.link->state() == Link::Open; });
    }
    qInfo("%d transfers: %d succeeded, %d reported failure", transfers, succeeded, failed);
    // Most faults pass: a soak that never succeeds proves nothing.
    QVERIFY(succeeded > transfers / 2);
}

QTEST_GUILESS_MAIN(TestTransferSoak)
#include "test_transfer_soak.moc"

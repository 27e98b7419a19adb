#include <QtTest>

#include "link/operatorui.h"
#include "tasks/taskupload.h"

namespace {

// Records every request; refuses the one numbered refuseAt (0 = the open).
class FakeChannel : public TaskUploadChannel
{
public:
    int refuseAt = -1;
    QByteArray name;
    QList<int> blockSizes;
    QByteArray written;
    int closes = 0;

    bool createFile(QByteArray nameCp1251) override
    {
        name = nameCp1251;
        return refuse();
    }
    bool writeBlock(QByteArray data) override
    {
        blockSizes << int(data.size());
        written += data;
        return refuse();
    }
    bool closeFile() override
    {
        ++closes;
        return refuse();
    }

private:
    bool refuse() { return m_request++ != refuseAt; }
    int m_request = 0;
};

QByteArray fileOf(int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char(i * 7 + 3);
    return bytes;
}

const QString linkError = QStringLiteral("Ошибка во время общения с устройством!");

}  // namespace

class TestTaskUpload : public QObject
{
    Q_OBJECT
private slots:
    void theFileGoesInBlocksOfAtMost256Bytes_data();
    void theFileGoesInBlocksOfAtMost256Bytes();
    void aRefusedOpenSendsNoBlock();
    void aRefusedBlockSendsNoClose();
    void aRefusedCloseIsReported();
    void aMissingLocalFileSendsNothingAndAPresentOneGoesAsItIs();
};

void TestTaskUpload::theFileGoesInBlocksOfAtMost256Bytes_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<QList<int>>("blocks");
    QTest::newRow("66 bytes in one block") << 66 << QList<int>{66};
    QTest::newRow("600 bytes as 256, 256 and 88") << 600 << QList<int>{256, 256, 88};
    QTest::newRow("512 bytes as two full blocks") << 512 << QList<int>{256, 256};
}

void TestTaskUpload::theFileGoesInBlocksOfAtMost256Bytes()
{
    QFETCH(int, size);
    QFETCH(QList<int>, blocks);
    FakeChannel channel;
    ScriptedOperator ui;
    const QByteArray file = fileOf(size);
    QVERIFY(uploadTaskBytes(file, channel, ui));
    QCOMPARE(channel.name, QByteArray("rule.bin"));
    QCOMPARE(channel.blockSizes, blocks);
    QCOMPARE(channel.written, file);
    QCOMPARE(channel.closes, 1);
    QCOMPARE(ui.messages, QStringList{QStringLiteral("Файл задания успешно записан")});
    QCOMPARE(ui.progressText, QString());
}

void TestTaskUpload::aRefusedOpenSendsNoBlock()
{
    FakeChannel channel;
    channel.refuseAt = 0;
    ScriptedOperator ui;
    QVERIFY(!uploadTaskBytes(fileOf(66), channel, ui));
    QVERIFY(channel.blockSizes.isEmpty());
    QCOMPARE(channel.closes, 0);
    QCOMPARE(ui.messages, QStringList{linkError});
    QCOMPARE(ui.progressText, QString());
}

void TestTaskUpload::aRefusedBlockSendsNoClose()
{
    FakeChannel channel;
    channel.refuseAt = 2;  // the second block
    ScriptedOperator ui;
    QVERIFY(!uploadTaskBytes(fileOf(600), channel, ui));
    QCOMPARE(channel.blockSizes, (QList<int>{256, 256}));
    QCOMPARE(channel.closes, 0);
    QCOMPARE(ui.messages, QStringList{linkError});
}

void TestTaskUpload::aRefusedCloseIsReported()
{
    FakeChannel channel;
    channel.refuseAt = 2;  // open, one block, then the close
    ScriptedOperator ui;
    QVERIFY(!uploadTaskBytes(fileOf(66), channel, ui));
    QCOMPARE(channel.closes, 1);
    QCOMPARE(ui.messages, QStringList{linkError});
}

void TestTaskUpload::aMissingLocalFileSendsNothingAndAPresentOneGoesAsItIs()
{
    QTemporaryDir dir;
    FakeChannel channel;
    ScriptedOperator ui;
    QVERIFY(!uploadTaskFile(dir.filePath("rule.bin"), channel, ui));
    QVERIFY(channel.name.isEmpty());
    QCOMPARE(ui.messages.size(), 1);
    QVERIFY(ui.messages[0].contains("rule.bin"));

    // Once there, it goes as it is on disk.
    QFile file(dir.filePath("rule.bin"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(fileOf(300));
    file.close();
    QVERIFY(uploadTaskFile(dir.filePath("rule.bin"), channel, ui));
    QCOMPARE(channel.name, QByteArray("rule.bin"));
    QCOMPARE(channel.written, fileOf(300));
    QCOMPARE(channel.blockSizes, (QList<int>{256, 44}));
}

QTEST_GUILESS_MAIN(TestTaskUpload)
#include "test_taskupload.moc"

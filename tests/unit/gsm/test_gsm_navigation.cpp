#include <QtTest>

#include "gsm/navigation.h"

// Where the embedded settings page may go, and which addresses are requests.
class TestGsmNavigation : public QObject
{
    Q_OBJECT
private slots:
    void addressesAreSortedIntoActions_data();
    void addressesAreSortedIntoActions();
};

Q_DECLARE_METATYPE(PageNavigation)

void TestGsmNavigation::addressesAreSortedIntoActions_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<PageNavigation>("action");

    QTest::newRow("the write button's address writes") << "qrc:/write()" << PageNavigation::Write;
    QTest::newRow("a write request relative to the page writes") << "qrc:/HTML/write()" << PageNavigation::Write;
    QTest::newRow("connect() is cancelled without an action") << "qrc:/connect()" << PageNavigation::Connect;
    QTest::newRow("sync() anywhere in the address reads again") << "qrc:/HTML/zevonline?x=sync()" << PageNavigation::Sync;
    QTest::newRow("write() wins over sync() in one address") << "qrc:/sync()write()" << PageNavigation::Write;
    QTest::newRow("the page itself may load") << "qrc:/HTML/zevonline" << PageNavigation::Allow;
    QTest::newRow("an anchor of the page may be followed") << "qrc:/HTML/zevonline#SP" << PageNavigation::Allow;
    QTest::newRow("a web link goes to the system browser") << "https://example.org/help" << PageNavigation::External;
    QTest::newRow("a plain http link goes to the system browser") << "http://example.org/" << PageNavigation::External;
    QTest::newRow("a local file is refused") << "file:///etc/passwd" << PageNavigation::Refuse;
    QTest::newRow("a script address is refused") << "javascript:alert(1)" << PageNavigation::Refuse;
    QTest::newRow("a data address is refused") << "data:text/html,<b>x</b>" << PageNavigation::Refuse;
    QTest::newRow("an http address without a host is refused") << "http:relative" << PageNavigation::Refuse;
}

void TestGsmNavigation::addressesAreSortedIntoActions()
{
    QFETCH(QString, address);
    QFETCH(PageNavigation, action);
    QCOMPARE(classifyNavigation(QUrl(address)), action);
}

QTEST_GUILESS_MAIN(TestGsmNavigation)
#include "test_gsm_navigation.moc"

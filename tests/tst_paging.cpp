// Pages over real loopback datagram sockets: the split at ESC, what the receiver stores and
// lists, two copies paging each other, and a burst of pages.

#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QUdpSocket>
#include <QWidget>

#include "paging/alert.h"
#include "paging/form2.h"
#include "paging/form3.h"
#include "paging/pager_widgets.h"
#include "paging/receiver.h"
#include "platform/clock.h"
#include "platform/codepage.h"
#include "platform/sockets.h"
#include "platform/soundplayer.h"
#include "state/appstate.h"

#include "testsupport.h"

using namespace tolvex;
using namespace tolvex::testing;

namespace {

const QDateTime FixedNow(QDate(1997, 3, 2), QTime(14, 5, 9));

// The paging side of one copy of the program: its store, its datagram socket on a free
// loopback port, and an alert that makes no noise.
struct Copy
{
    AppState state;
    QuietWindow window;
    QuietPlayer player;
    Alert alert{window, player};
    UdpControl UDP1{0, 0};

    Copy()
    {
        SocketFailure failure;
        if (!UDP1.bind(&failure))
            qFatal("binding a datagram socket failed: %s", qPrintable(failure.reason));
        QObject::connect(&UDP1, &UdpControl::dataArrival, &UDP1, [this] { receivePage(state, UDP1, alert); });
    }
    quint16 port() const { return UDP1.boundPort(); }
};

void sendRaw(QUdpSocket &sender, const QByteArray &bytes, quint16 port)
{
    QCOMPARE(sender.writeDatagram(bytes, QHostAddress(QHostAddress::LocalHost), port), qint64(bytes.size()));
}

} // namespace

class TestPaging : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { setClockForTests([] { return FixedNow; }); }
    void cleanupTestCase() { setClockForTests({}); }

    void splitPage_data() { pageTable(); }
    void splitPage();
    void receiveDatagram_data() { pageTable(); }
    void receiveDatagram();
    void everyArrivalSelectsItsLine();
    void twoCopiesPageEachOther();
    void burstIsReceivedWholeAndInOrder();

private:
    void pageTable();
};

void TestPaging::pageTable()
{
    QTest::addColumn<QByteArray>("datagram");
    QTest::addColumn<QString>("sender");
    QTest::addColumn<QString>("text");

    QTest::newRow("name and text") << QByteArray("Ann\x1bHello") << QStringLiteral("Ann") << QStringLiteral("Hello");
    QTest::newRow("no ESC") << QByteArray("just text") << QString() << QStringLiteral("just text");
    QTest::newRow("ESC first") << QByteArray("\x1b" "after") << QString() << QStringLiteral("after");
    QTest::newRow("ESC last") << QByteArray("Bob\x1b") << QStringLiteral("Bob") << QString();
    QTest::newRow("several ESC") << QByteArray("Ann\x1bone\x1btwo\x1b") << QStringLiteral("Ann")
                                 << QStringLiteral("one\x1btwo\x1b");
    QTest::newRow("empty datagram") << QByteArray() << QString() << QString();
    QTest::newRow("only ESC") << QByteArray("\x1b") << QString() << QString();
    QTest::newRow("lines") << QByteArray("Ann\x1bline 1\r\nline 2\r\n") << QStringLiteral("Ann")
                           << QStringLiteral("line 1\r\nline 2\r\n");
    QTest::newRow("windows-1252") << QByteArray("J\xfcrgen\x1b" "caf\xe9 \x80 5") << QStringLiteral("J\u00fcrgen")
                                  << QStringLiteral("caf\u00e9 \u20ac 5");
}

void TestPaging::splitPage()
{
    QFETCH(QByteArray, datagram);
    QFETCH(QString, sender);
    QFETCH(QString, text);
    const PageParts page = tolvex::splitPage(fromAnsi(datagram));
    QCOMPARE(page.sender, sender);
    QCOMPARE(page.text, text);
}

void TestPaging::receiveDatagram()
{
    QFETCH(QByteArray, datagram);
    QFETCH(QString, sender);
    QFETCH(QString, text);

    Copy copy;
    QUdpSocket peer;
    sendRaw(peer, datagram, copy.port());
    QTRY_COMPARE(copy.state.store.MessageCount(), 1);

    const MessageStore &store = copy.state.store;
    QCOMPARE(store.lineCount(), 1);
    // Under en_US, the list shows short date, long time, sender and the peer's address.
    QCOMPARE(store.line(0), QStringLiteral("3/2/97 2:05:09 PM from ") + sender + QStringLiteral(" (127.0.0.1)"));
    QCOMPARE(store.text(0), text);
    QCOMPARE(store.host(0), QStringLiteral("127.0.0.1"));
    QCOMPARE(store.selectedIndex(), 0);
}

void TestPaging::everyArrivalSelectsItsLine()
{
    Copy copy;
    QUdpSocket peer;
    sendRaw(peer, "Ann\x1bsame", copy.port());
    QTRY_COMPARE(copy.state.store.MessageCount(), 1);
    copy.state.store.appendLine(QStringLiteral("a line the user selected"));
    copy.state.store.raiseCount();
    copy.state.store.select(0);

    // The same page twice in quick succession: two lines, each selected as it arrives.
    sendRaw(peer, "Ann\x1bsame", copy.port());
    sendRaw(peer, "Ann\x1bsame", copy.port());
    QTRY_COMPARE(copy.state.store.MessageCount(), 4);
    QCOMPARE(copy.state.store.selectedIndex(), 3);
    QCOMPARE(copy.state.store.text(2), QStringLiteral("same"));
    QCOMPARE(copy.state.store.text(3), QStringLiteral("same"));
    QCOMPARE(copy.state.store.line(2), copy.state.store.line(3));
}

void TestPaging::twoCopiesPageEachOther()
{
    Copy a;
    Copy b;
    a.state.UserName = QStringLiteral("Ann");
    b.state.UserName = QStringLiteral("Bob");
    a.UDP1.RemotePort = b.port();
    b.UDP1.RemotePort = a.port();
    QWidget form1A;
    QWidget form1B;
    Pager pagerA(a.state, a.UDP1, a.alert, &form1A);
    Pager pagerB(b.state, b.UDP1, b.alert, &form1B);

    // Ann pages Bob with two lines.
    pagerA.openSendDialog();
    Form2 *sendA = pagerA.sendDialog();
    QVERIFY(sendA);
    sendA->controls().Combo1->setEditText(QStringLiteral("127.0.0.1"));
    sendA->controls().Text1->setPlainText(QStringLiteral("Lunch?\nAt noon."));
    QTest::mouseClick(sendA->controls().Command1, Qt::LeftButton);
    QVERIFY(!sendA->isVisible());

    QTRY_COMPARE(b.state.store.MessageCount(), 1);
    QCOMPARE(b.state.store.text(0), QStringLiteral("Lunch?\r\nAt noon."));
    QVERIFY(b.state.store.line(0).endsWith(QStringLiteral(" from Ann (127.0.0.1)")));

    // Bob opens the page and replies to its sender.
    pagerB.openViewer();
    Form3 *viewer = pagerB.viewer();
    QVERIFY(viewer);
    QCOMPARE(viewer->controls().Text1->toPlainText(), QStringLiteral("Lunch?\nAt noon."));
    QTest::mouseClick(viewer->controls().Command2, Qt::LeftButton);
    Form2 *sendB = pagerB.sendDialog();
    QVERIFY(sendB && sendB->isVisible());
    QCOMPARE(sendB->controls().Combo1->currentText(), QStringLiteral("127.0.0.1"));
    QCOMPARE(sendB->controls().Text1->toPlainText(), QString());
    sendB->controls().Text1->setPlainText(QStringLiteral("Yes."));
    QTest::mouseClick(sendB->controls().Command1, Qt::LeftButton);

    QTRY_COMPARE(a.state.store.MessageCount(), 1);
    QCOMPARE(a.state.store.text(0), QStringLiteral("Yes."));
    QVERIFY(a.state.store.line(0).endsWith(QStringLiteral(" from Bob (127.0.0.1)")));
}

void TestPaging::burstIsReceivedWholeAndInOrder()
{
    constexpr int Pages = 10000;
    Copy copy;
    // The kernel reports twice what it reserved; a burst needs megabytes, not the default.
    QVERIFY2(copy.UDP1.receiveBufferSize() >= 8 * 1024 * 1024,
             qPrintable(QStringLiteral("receive buffer only %1 bytes").arg(copy.UDP1.receiveBufferSize())));

    // All pages go out before the receiver handles the first one.
    QUdpSocket peer;
    for (int i = 0; i < Pages; ++i)
        sendRaw(peer, "Burst\x1bpage " + QByteArray::number(i), copy.port());

    QTRY_COMPARE_WITH_TIMEOUT(copy.state.store.MessageCount(), Pages, 60000);
    const MessageStore &store = copy.state.store;
    QCOMPARE(store.lineCount(), Pages);
    for (int i = 0; i < Pages; ++i)
        QCOMPARE(store.text(i), QStringLiteral("page %1").arg(i));
    QCOMPARE(store.selectedIndex(), Pages - 1);
}

QTEST_MAIN(TestPaging)
#include "tst_paging.moc"

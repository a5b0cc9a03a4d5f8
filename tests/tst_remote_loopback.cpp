// Remote access over real loopback sockets, byte for byte as a caller receives it.
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>

#include "paging/alert.h"
#include "platform/clock.h"
#include "platform/codepage.h"
#include "platform/sockets.h"
#include "platform/soundplayer.h"
#include "remote/banner.h"
#include "remote/dispatcher.h"
#include "remote/remoteaccess.h"
#include "state/appstate.h"
#include "state/listentry.h"

#include "testsupport.h"

using namespace tolvex;
using tolvex::testing::prepareForCallers;

namespace {

struct FakeWindow : AlertWindow
{
    QStringList actions;
    int beeps = 0;
    void setIndicatorColor(const QColor &color) override { actions << QStringLiteral("indicator ") + color.name(); }
    void setTitle(const QString &title) override { actions << QStringLiteral("title ") + title; }
    void beep() override { ++beeps; }
    void drawAttention() override { actions << QStringLiteral("attention"); }
};

struct FakePlayer : SoundPlayer
{
    QStringList commands;
    void setFile(const QString &) override {}
    bool close() override { commands << QStringLiteral("close"); return true; }
    bool open() override { commands << QStringLiteral("open"); return true; }
    bool play() override { commands << QStringLiteral("play"); return true; }
};

const QDateTime FixedTime(QDate(1997, 3, 2), QTime(14, 5, 9));
const QByteArray Offer = QByteArray::fromHex("fffb01fffb03");
const QByteArray Prompt = "\r\nEnter a message number or key 'q' to quit: ";

// One remote-access set-up with its listener on a free loopback port.
struct Pager
{
    AppState state;
    TcpControl TCP1{0};
    TcpControl TCP2{0};
    FakeWindow window;
    FakePlayer player;
    Alert alert{window, player};
    QString status;
    int beepsAtFirstGreetingByte = -1;
    RemoteAccess access{state, TCP1, TCP2, alert, window, [this](const QString &text) { status = text; }};

    Pager()
    {
        prepareForCallers(state);
        TCP1.listen();
    }
};

QByteArray greetingBytes(const AppState &state)
{
    QByteArray bytes = Offer;
    for (const BannerLine &line : state.TelnetBanner)
        bytes += toAnsi(line.text()) + "\r\n";
    bytes += "\r\n\r\nTolvex Remote Access v2.00\r\n" + toAnsi(SessionDispatcher::noticeLine())
             + "\r\n\r\n [1] Send a message to this pager \r\n"
               " [2] Check messages on this pager (requires password)\r\n";
    return bytes;
}

// Read exactly `size` bytes, running the event loop (the pager lives on this thread) while
// they come.
QByteArray readExactly(QTcpSocket &socket, qsizetype size)
{
    QByteArray got;
    while (got.size() < size) {
        got += socket.read(size - got.size());
        if (got.size() >= size || socket.bytesAvailable() > 0)
            continue;
        QSignalSpy arrived(&socket, &QTcpSocket::readyRead);
        if (!arrived.wait(5000))
            break;
    }
    return got;
}

} // namespace

class RemoteLoopbackTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { setClockForTests([] { return FixedTime; }); }
    void cleanupTestCase() { setClockForTests({}); }
    void greeting();
    void leavingAPage();
    void browsing();
    void wrongPasscode();
    void busySecondCaller();
    void listenerSurvivesHangUp();

private:
    // Connect a caller and take the greeting, checked byte for byte.
    bool call(Pager &pager, QTcpSocket &caller);
    // Send one keystroke chunk and check the exact answer.
    void type(QTcpSocket &caller, const QByteArray &chunk, const QByteArray &answer);
};

bool RemoteLoopbackTest::call(Pager &pager, QTcpSocket &caller)
{
    caller.connectToHost(QHostAddress::LocalHost, pager.TCP1.listeningPort());
    if (!caller.waitForConnected(5000))
        return false;
    const QByteArray expected = greetingBytes(pager.state);
    const QByteArray got = readExactly(caller, expected.size());
    if (got != expected) {
        qWarning() << "greeting differs:" << got.toHex(' ');
        return false;
    }
    return true;
}

void RemoteLoopbackTest::type(QTcpSocket &caller, const QByteArray &chunk, const QByteArray &answer)
{
    caller.write(chunk);
    caller.flush();
    QCOMPARE(readExactly(caller, answer.size()), answer);
}

void RemoteLoopbackTest::greeting()
{
    Pager pager;
    QTcpSocket caller;
    QVERIFY(call(pager, caller));
    QCOMPARE(pager.status, QStringLiteral("Login via Telnet detected   127.0.0.1"));
    QCOMPARE(pager.window.beeps, 1);
    QCOMPARE(int(pager.state.SessionState), int(Menu));
    // Nothing follows the menu: the next bytes are the answer to the next keystroke.
    type(caller, "3", "Invalid choice. Please choose either 1 or 2.\r\n");
}

void RemoteLoopbackTest::leavingAPage()
{
    Pager pager;
    QTcpSocket caller;
    QVERIFY(call(pager, caller));
    // The client takes our offer and offers a terminal type, which is refused.
    type(caller, QByteArray::fromHex("fffd01fffd03fffb18"), QByteArray::fromHex("fffe18"));
    type(caller, "1", "\r\n\r\n\r\nPlease enter your name: ");
    type(caller, "Zed", "Zed");
    type(caller, QByteArray("\r\0", 2),
         "\r\n\r\nWelcome, Zed, to Ann's Pager.\r\nPlease type your message. A '\\' saves and quits.\r\n\r\n");
    type(caller, "hj", "hj");
    type(caller, "\x7f", "\b");
    type(caller, "i", "i");
    type(caller, QByteArray("\r\0", 2), "\r\n");
    type(caller, "caf\xe9 \xff\xff", "caf\xe9 \xff\xff"); // a typed 255 goes both ways as IAC IAC
    QSignalSpy closed(&caller, &QTcpSocket::disconnected);
    type(caller, "\\", "\\\r\n\r\nSaving message.. done! Thankyou for using Tolvex! Now logging out..");
    QVERIFY(closed.wait(5000) || closed.size() == 1);

    QCOMPARE(pager.state.store.MessageCount(), qsizetype(1));
    QCOMPARE(pager.state.store.text(0), QStringLiteral("hi\r\ncaf\u00e9 \u00ff"));
    QCOMPARE(pager.state.store.host(0), QStringLiteral("127.0.0.1"));
    QCOMPARE(pager.state.store.line(0), listEntry(FixedTime, QStringLiteral("Zed"), QStringLiteral("127.0.0.1")));
    QCOMPARE(pager.window.actions,
             (QStringList{QStringLiteral("indicator #ff0000"), QStringLiteral("title New Messsages [Tolvex]")}));
    QCOMPARE(pager.player.commands, (QStringList{QStringLiteral("close"), QStringLiteral("open"), QStringLiteral("play")}));
    QCOMPARE(pager.window.beeps, 1); // only the greeting's
    QCOMPARE(int(pager.state.SessionState), int(Idle));

    // The listener stays open: the next caller is greeted at once.
    QTcpSocket next;
    QVERIFY(call(pager, next));
}

void RemoteLoopbackTest::browsing()
{
    Pager pager;
    pager.state.store.storeText(QStringLiteral("see you at \u00ff"));
    pager.state.store.appendLine(QStringLiteral("entry zero"));
    pager.state.store.storeHost(QStringLiteral("10.0.0.5"));
    pager.state.store.raiseCount();
    const QByteArray list = "List of messages\r\n    0  entry zero\r\n" + Prompt;

    QTcpSocket caller;
    QVERIFY(call(pager, caller));
    type(caller, "2", "\r\n\r\n\r\nPlease enter your passcode: ");
    type(caller, "WOB", "*");
    type(caller, "n", "*");
    type(caller, "el", "*");
    type(caller, QByteArray("\r\0", 2), "\r\n *** Access Granted ***\r\n\r\n" + list);
    type(caller, "0", "0");
    type(caller, QByteArray("\r\0", 2), "\r\n\r\n * entry zero\r\n\r\nsee you at \xff\xff\r\n\r\n" + list);
    type(caller, "7", "7");
    type(caller, "\r\n", "\r\n\r\n * \r\n\r\n\r\n\r\n" + list);
    QSignalSpy closed(&caller, &QTcpSocket::disconnected);
    type(caller, "q", "qRequested exit by user.. Bye!");
    QVERIFY(closed.wait(5000) || closed.size() == 1);
    QCOMPARE(pager.window.actions, QStringList());
}

void RemoteLoopbackTest::wrongPasscode()
{
    Pager pager;
    QTcpSocket caller;
    QVERIFY(call(pager, caller));
    type(caller, "2", "\r\n\r\n\r\nPlease enter your passcode: ");
    type(caller, "guess", "*");
    QElapsedTimer clock;
    clock.start();
    caller.write(QByteArray("\r\0", 2));
    caller.flush();
    QTRY_COMPARE(int(pager.state.SessionState), int(Idle));
    // The pause blocks nothing: another caller is answered (busy) meanwhile.
    QTcpSocket other;
    other.connectToHost(QHostAddress::LocalHost, pager.TCP1.listeningPort());
    QVERIFY(other.waitForConnected(5000));
    const QByteArray busy = toAnsi(SessionDispatcher::busyLine());
    QCOMPARE(readExactly(other, busy.size()), busy);
    QVERIFY(clock.elapsed() < RemoteAccess::WrongPasscodePauseMs);
    QCOMPARE(caller.bytesAvailable(), qint64(0));

    QSignalSpy closed(&caller, &QTcpSocket::disconnected);
    const QByteArray refusal = "\r\nWrong password, exiting..\r\n\r\n";
    QCOMPARE(readExactly(caller, refusal.size()), refusal);
    QVERIFY(clock.elapsed() >= RemoteAccess::WrongPasscodePauseMs - 100);
    QVERIFY(closed.wait(5000) || closed.size() == 1);
    QCOMPARE(int(pager.state.SessionState), int(Idle));
}

void RemoteLoopbackTest::busySecondCaller()
{
    Pager pager;
    QTcpSocket first;
    QVERIFY(call(pager, first));
    type(first, "1", "\r\n\r\n\r\nPlease enter your name: ");
    type(first, "Zed", "Zed");

    QTcpSocket second;
    QSignalSpy secondClosed(&second, &QTcpSocket::disconnected);
    second.connectToHost(QHostAddress::LocalHost, pager.TCP1.listeningPort());
    QVERIFY(second.waitForConnected(5000));
    const QByteArray busy = "This pager is busy with another caller. Please try again later.\r\n";
    QCOMPARE(readExactly(second, busy.size()), busy);
    QVERIFY(secondClosed.wait(5000) || secondClosed.size() == 1);

    QCOMPARE(pager.status, QStringLiteral("Login via Telnet detected   127.0.0.1"));
    QCOMPARE(pager.window.beeps, 1);
    QCOMPARE(int(pager.state.SessionState), int(NameEntry));
    QCOMPARE(pager.state.CallerName, QStringLiteral("Zed"));
    type(first, "!", "!"); // the first session goes on
}

void RemoteLoopbackTest::listenerSurvivesHangUp()
{
    Pager pager;
    {
        QTcpSocket caller;
        QVERIFY(call(pager, caller));
        type(caller, "1", "\r\n\r\n\r\nPlease enter your name: ");
        caller.disconnectFromHost();
    }
    QTRY_COMPARE(int(pager.state.SessionState), int(Idle));
    QVERIFY(!pager.TCP2.isConnected());
    QVERIFY(pager.TCP1.listeningPort() != 0);

    QTcpSocket next;
    QVERIFY(call(pager, next));
    QCOMPARE(pager.window.beeps, 2);
    QCOMPARE(int(pager.state.SessionState), int(Menu));
    type(next, "2", "\r\n\r\n\r\nPlease enter your passcode: ");
}

QTEST_GUILESS_MAIN(RemoteLoopbackTest)
#include "tst_remote_loopback.moc"

// The telnet session dispatcher, driven without sockets: (state, chunk) -> (what it does, next state).
#include <QTest>

#include "paging/alert.h"
#include "platform/clock.h"
#include "platform/soundplayer.h"
#include "remote/banner.h"
#include "remote/dispatcher.h"
#include "state/appstate.h"
#include "state/listentry.h"

using namespace tolvex;

namespace {

// Everything the dispatcher does outside the state record, in one ordered log.
struct Recorder : SessionLink, AlertWindow
{
    QStringList log;

    void send(const QString &text) override { log << QStringLiteral("send ") + text; }
    void close() override { log << QStringLiteral("close"); }
    QString remoteAddress() const override { return QStringLiteral("10.0.0.5"); }
    QString remoteHost() const override { return QStringLiteral("10.0.0.5-host"); }
    void pauseBeforeRefusal() override { log << QStringLiteral("pause"); }

    void setIndicatorColor(const QColor &color) override { log << QStringLiteral("indicator ") + color.name(); }
    void setTitle(const QString &title) override { log << QStringLiteral("title ") + title; }
    void beep() override { log << QStringLiteral("beep"); }
    void drawAttention() override { log << QStringLiteral("attention"); }
};

// The alarm player, writing into the same log.
struct Player : SoundPlayer
{
    explicit Player(QStringList &log) : log(log) {}
    QStringList &log;
    void setFile(const QString &) override {}
    bool close() override { log << QStringLiteral("player close"); return true; }
    bool open() override { log << QStringLiteral("player open"); return true; }
    bool play() override { log << QStringLiteral("player play"); return true; }
};

const QDateTime FixedTime(QDate(1997, 3, 2), QTime(14, 5, 9));

QString send(const QString &text)
{
    return QStringLiteral("send ") + text;
}

QString listText(const QStringList &entries)
{
    QString list = QStringLiteral("List of messages\r\n");
    for (qsizetype i = 0; i < entries.size(); ++i)
        list += QStringLiteral("    %1  %2\r\n").arg(i).arg(entries[i]);
    return list;
}

const QString Prompt = QStringLiteral("\r\nEnter a message number or key 'q' to quit: ");
const QStringList Entries = {QStringLiteral("entry zero"), QStringLiteral("entry one")};

} // namespace

using Buffers = QStringList; // CallerName, MessageDraft, TypedPasscode, NumberBuffer

class RemoteDispatcherTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanupTestCase();
    void chunk_data();
    void chunk();
    void greeting();
    void refusalAfterPause();
    void storeBeyondSlot1000StillShowsText();

private:
    void fillStore(AppState &state, int pages);
};

void RemoteDispatcherTest::init()
{
    setClockForTests([] { return FixedTime; });
}

void RemoteDispatcherTest::cleanupTestCase()
{
    setClockForTests({});
}

void RemoteDispatcherTest::fillStore(AppState &state, int pages)
{
    for (int i = 0; i < pages; ++i) {
        state.store.storeText(i == 0 ? QStringLiteral("text zero") : i == 1 ? QStringLiteral("text one")
                                                                            : QStringLiteral("text %1").arg(i));
        state.store.storeHost(QStringLiteral("10.0.0.%1").arg(i));
        state.store.appendLine(i < Entries.size() ? Entries[i] : QStringLiteral("entry %1").arg(i));
        state.store.raiseCount();
    }
}

void RemoteDispatcherTest::chunk_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<Buffers>("before");
    QTest::addColumn<QString>("chunk");
    QTest::addColumn<QStringList>("actions");
    QTest::addColumn<int>("next");
    QTest::addColumn<Buffers>("after");

    const Buffers stale = {QStringLiteral("n"), QStringLiteral("d"), QStringLiteral("p"), QStringLiteral("9")};
    const auto with = [&](int index, const QString &value) {
        Buffers b = stale;
        b[index] = value;
        return b;
    };
    const QString three = QStringLiteral("\r\n\r\n\r\n");
    const QString invalid = QStringLiteral("Invalid choice. Please choose either 1 or 2.\r\n");
    const QString list = listText(Entries);

    QTest::newRow("idle drops") << int(Idle) << stale << QStringLiteral("1") << QStringList() << int(Idle) << stale;
    QTest::newRow("menu 1") << int(Menu) << stale << QStringLiteral("1")
                            << QStringList{send(three + QStringLiteral("Please enter your name: "))}
                            << int(NameEntry) << with(0, QString());
    QTest::newRow("menu 2") << int(Menu) << stale << QStringLiteral("2")
                            << QStringList{send(three + QStringLiteral("Please enter your passcode: "))}
                            << int(PasscodeEntry) << with(2, QString());
    QTest::newRow("menu 1 CR LF in one chunk") << int(Menu) << stale << QStringLiteral("1\r\n")
                                               << QStringList{send(invalid)} << int(Menu) << stale;
    QTest::newRow("menu other") << int(Menu) << stale << QStringLiteral("3") << QStringList{send(invalid)}
                                << int(Menu) << stale;

    QTest::newRow("name keystrokes") << int(NameEntry) << with(0, QStringLiteral("Ze")) << QStringLiteral("d")
                                     << QStringList{send(QStringLiteral("d"))} << int(NameEntry)
                                     << with(0, QStringLiteral("Zed"));
    QTest::newRow("name with line break is text")
        << int(NameEntry) << with(0, QString()) << QStringLiteral("Zed\r\n")
        << QStringList{send(QStringLiteral("Zed\r\n"))} << int(NameEntry) << with(0, QStringLiteral("Zed\r\n"));
    const QStringList welcomeZed = {send(QStringLiteral("\r\n")),
                                    send(QStringLiteral("\r\nWelcome, Zed, to Ann's Pager.\r\n")),
                                    send(QStringLiteral("Please type your message. A '\\' saves and quits.\r\n\r\n"))};
    QTest::newRow("name Enter drops the rest")
        << int(NameEntry) << with(0, QStringLiteral("Zed")) << QStringLiteral("\r\n") << welcomeZed
        << int(MessageEntry) << Buffers{QStringLiteral("Zed"), QString(), QStringLiteral("p"), QStringLiteral("9")};
    QTest::newRow("empty name")
        << int(NameEntry) << with(0, QString()) << QStringLiteral("\r")
        << QStringList{send(QStringLiteral("\r")), send(QStringLiteral("\r\nWelcome, , to Ann's Pager.\r\n")),
                       send(QStringLiteral("Please type your message. A '\\' saves and quits.\r\n\r\n"))}
        << int(MessageEntry) << Buffers{QString(), QString(), QStringLiteral("p"), QStringLiteral("9")};
    QTest::newRow("name past its bound")
        << int(NameEntry) << with(0, QString(CallerNameLimit - 1, u'n')) << QStringLiteral("xyz")
        << QStringList{send(QStringLiteral("x"))} << int(NameEntry)
        << with(0, QString(CallerNameLimit - 1, u'n') + u'x');

    QTest::newRow("page text") << int(MessageEntry) << with(1, QStringLiteral("h")) << QStringLiteral("i")
                               << QStringList{send(QStringLiteral("i"))} << int(MessageEntry)
                               << with(1, QStringLiteral("hi"));
    QTest::newRow("page Enter is text") << int(MessageEntry) << with(1, QStringLiteral("hi")) << QStringLiteral("\r")
                                        << QStringList{send(QStringLiteral("\r"))} << int(MessageEntry)
                                        << with(1, QStringLiteral("hi\r"));
    QTest::newRow("backspace") << int(MessageEntry) << with(1, QStringLiteral("hi")) << QStringLiteral("\b")
                               << QStringList{send(QStringLiteral("\b"))} << int(MessageEntry)
                               << with(1, QStringLiteral("h"));
    QTest::newRow("DEL is backspace echoed as BS")
        << int(MessageEntry) << with(1, QStringLiteral("hi")) << QStringLiteral("\x7f")
        << QStringList{send(QStringLiteral("\b"))} << int(MessageEntry) << with(1, QStringLiteral("h"));
    QTest::newRow("backspace drops the rest")
        << int(MessageEntry) << with(1, QStringLiteral("hi")) << QStringLiteral("\bxyz")
        << QStringList{send(QStringLiteral("\bxyz"))} << int(MessageEntry) << with(1, QStringLiteral("h"));
    QTest::newRow("backspace on empty page") << int(MessageEntry) << with(1, QString()) << QStringLiteral("\b")
                                             << QStringList{send(QStringLiteral("\b"))} << int(MessageEntry)
                                             << with(1, QString());
    QTest::newRow("backslash after letters is text")
        << int(MessageEntry) << with(1, QString()) << QStringLiteral("ab\\") << QStringList{send(QStringLiteral("ab\\"))}
        << int(MessageEntry) << with(1, QStringLiteral("ab\\"));
    QTest::newRow("backslash CR LF is text")
        << int(MessageEntry) << with(1, QString()) << QStringLiteral("\\\r\n")
        << QStringList{send(QStringLiteral("\\\r\n"))} << int(MessageEntry) << with(1, QStringLiteral("\\\r\n"));
    QTest::newRow("page past its bound")
        << int(MessageEntry) << with(1, QString(MessageDraftLimit, u'd')) << QStringLiteral("more") << QStringList()
        << int(MessageEntry) << with(1, QString(MessageDraftLimit, u'd'));
    const QString entry = listEntry(FixedTime, QStringLiteral("n"), QStringLiteral("10.0.0.5"));
    QTest::newRow("backslash saves the page")
        << int(MessageEntry) << with(1, QStringLiteral("hello\r\nworld")) << QStringLiteral("\\")
        << QStringList{send(QStringLiteral("\\")),
                       send(QStringLiteral("\r\n\r\n")),
                       send(QStringLiteral("Saving message..")),
                       QStringLiteral("line ") + entry,
                       QStringLiteral("indicator #ff0000"),
                       send(QStringLiteral(" done! Thankyou for using Tolvex! Now logging out..")),
                       QStringLiteral("title New Messsages [Tolvex]"),
                       QStringLiteral("player close"),
                       QStringLiteral("player open"),
                       QStringLiteral("player play"),
                       QStringLiteral("close")}
        << int(Idle) << with(1, QString());

    QTest::newRow("passcode keystrokes") << int(PasscodeEntry) << with(2, QStringLiteral("wo")) << QStringLiteral("bnel")
                                         << QStringList{send(QStringLiteral("*"))} << int(PasscodeEntry)
                                         << with(2, QStringLiteral("wobnel"));
    QTest::newRow("passcode backspace is a character")
        << int(PasscodeEntry) << with(2, QStringLiteral("a")) << QStringLiteral("\b")
        << QStringList{send(QStringLiteral("*"))} << int(PasscodeEntry) << with(2, QStringLiteral("a\b"));
    QTest::newRow("passcode past its bound")
        << int(PasscodeEntry) << with(2, QString(TypedPasscodeLimit, u'p')) << QStringLiteral("x") << QStringList()
        << int(PasscodeEntry) << with(2, QString(TypedPasscodeLimit, u'p'));
    const QStringList granted = {send(QStringLiteral("\r\n *** Access Granted ***")), send(QStringLiteral("\r\n\r\n")),
                                 send(list), send(Prompt)};
    QTest::newRow("passcode in capitals") << int(PasscodeEntry) << with(2, QStringLiteral("WOBNEL"))
                                          << QStringLiteral("\r\n") << granted << int(Browsing)
                                          << Buffers{QStringLiteral("n"), QStringLiteral("d"), QStringLiteral("WOBNEL"), QString()};
    QTest::newRow("passcode with trailing blank") << int(PasscodeEntry) << with(2, QStringLiteral("wobnel "))
                                                  << QStringLiteral("\r") << QStringList{QStringLiteral("pause")}
                                                  << int(Idle) << with(2, QStringLiteral("wobnel "));
    QTest::newRow("empty passcode") << int(PasscodeEntry) << with(2, QString()) << QStringLiteral("\r")
                                    << QStringList{QStringLiteral("pause")} << int(Idle) << with(2, QString());
    QTest::newRow("passcode holding CR LF") << int(PasscodeEntry) << with(2, QStringLiteral("wobnel\r\n"))
                                            << QStringLiteral("\r") << QStringList{QStringLiteral("pause")} << int(Idle)
                                            << with(2, QStringLiteral("wobnel\r\n"));

    QTest::newRow("number digit") << int(Browsing) << with(3, QString()) << QStringLiteral("1")
                                  << QStringList{send(QStringLiteral("1"))} << int(Browsing) << with(3, QStringLiteral("1"));
    QTest::newRow("capital Q is not quit") << int(Browsing) << with(3, QString()) << QStringLiteral("Q")
                                           << QStringList{send(QStringLiteral("Q"))} << int(Browsing)
                                           << with(3, QStringLiteral("Q"));
    QTest::newRow("number past its bound") << int(Browsing) << with(3, QString(NumberBufferLimit, u'1'))
                                           << QStringLiteral("2") << QStringList() << int(Browsing)
                                           << with(3, QString(NumberBufferLimit, u'1'));
    QTest::newRow("q quits") << int(Browsing) << with(3, QStringLiteral("1")) << QStringLiteral("q")
                             << QStringList{send(QStringLiteral("q")), send(QStringLiteral("Requested exit by user.. Bye!")),
                                            QStringLiteral("close")}
                             << int(Browsing) << with(3, QStringLiteral("1"));
    const auto shown = [&](const QString &enter, const QString &line, const QString *text) {
        QStringList actions = {send(enter), send(QStringLiteral("\r\n * ") + line + QStringLiteral("\r\n\r\n"))};
        if (text)
            actions << send(*text + QStringLiteral("\r\n\r\n"));
        actions << send(list) << send(Prompt);
        return actions;
    };
    const QString textOne = QStringLiteral("text one");
    const QString textZero = QStringLiteral("text zero");
    const QString none;
    QTest::newRow("show 1") << int(Browsing) << with(3, QStringLiteral("\n1")) << QStringLiteral("\r\n")
                            << shown(QStringLiteral("\r\n"), Entries[1], &textOne) << int(Browsing) << with(3, QString());
    QTest::newRow("Enter alone shows 0") << int(Browsing) << with(3, QString()) << QStringLiteral("\r")
                                         << shown(QStringLiteral("\r"), Entries[0], &textZero) << int(Browsing)
                                         << with(3, QString());
    QTest::newRow("Q then Enter shows 0") << int(Browsing) << with(3, QStringLiteral("Q")) << QStringLiteral("\r")
                                          << shown(QStringLiteral("\r"), Entries[0], &textZero) << int(Browsing)
                                          << with(3, QString());
    QTest::newRow("unused slot up to 1000 is empty") << int(Browsing) << with(3, QStringLiteral("1000"))
                                                     << QStringLiteral("\r") << shown(QStringLiteral("\r"), QString(), &none)
                                                     << int(Browsing) << with(3, QString());
    QTest::newRow("above 1000 no text line") << int(Browsing) << with(3, QStringLiteral("1001")) << QStringLiteral("\r")
                                             << shown(QStringLiteral("\r"), QString(), nullptr) << int(Browsing)
                                             << with(3, QString());
    QTest::newRow("negative no text line") << int(Browsing) << with(3, QStringLiteral("-1")) << QStringLiteral("\r")
                                           << shown(QStringLiteral("\r"), QString(), nullptr) << int(Browsing)
                                           << with(3, QString());
}

void RemoteDispatcherTest::chunk()
{
    QFETCH(int, state);
    QFETCH(Buffers, before);
    QFETCH(QString, chunk);
    QFETCH(QStringList, actions);
    QFETCH(int, next);
    QFETCH(Buffers, after);

    AppState app;
    app.CRLF = QStringLiteral("\r\n");
    app.UserName = QStringLiteral("Ann");
    app.UserPass = QStringLiteral("wobnel");
    fillStore(app, 2);
    Recorder recorder;
    Player player(recorder.log);
    Alert alert(recorder, player);
    SessionDispatcher dispatcher(app, recorder, alert);
    connect(&app.store, &QAbstractItemModel::rowsInserted, this,
            [&](const QModelIndex &, int first, int) { recorder.log << QStringLiteral("line ") + app.store.line(first); });

    app.SessionState = qint16(state);
    app.CallerName = before[0];
    app.MessageDraft = before[1];
    app.TypedPasscode = before[2];
    app.NumberBuffer = before[3];
    const qsizetype countBefore = app.store.MessageCount();

    dispatcher.handleChunk(chunk);

    QCOMPARE(recorder.log, actions);
    QCOMPARE(int(app.SessionState), next);
    QCOMPARE((Buffers{app.CallerName, app.MessageDraft, app.TypedPasscode, app.NumberBuffer}), after);
    if (actions.contains(QStringLiteral("close")) && state == MessageEntry) {
        QCOMPARE(app.store.MessageCount(), countBefore + 1);
        QCOMPARE(app.store.lineCount(), countBefore + 1);
        QCOMPARE(app.store.text(countBefore), before[1]);
        QCOMPARE(app.store.host(countBefore), QStringLiteral("10.0.0.5-host"));
        QCOMPARE(app.store.selectedIndex(), qsizetype(-1)); // a telnet page is not selected
    } else {
        QCOMPARE(app.store.MessageCount(), countBefore);
    }
}

void RemoteDispatcherTest::greeting()
{
    AppState app;
    app.CRLF = QStringLiteral("\r\n");
    fillTelnetBanner(app);
    app.SessionState = Browsing;
    Recorder recorder;
    Player player(recorder.log);
    Alert alert(recorder, player);
    SessionDispatcher dispatcher(app, recorder, alert);

    dispatcher.greet();

    QCOMPARE(recorder.log.size(), 12);
    for (int i = 0; i < 7; ++i) {
        const QString line = recorder.log[i].mid(5);
        QCOMPARE(line.size(), 72);
        QVERIFY(line.endsWith(QStringLiteral("# \r\n"))); // 69 characters of art and one fill blank
        for (const QChar c : line.left(69))
            QVERIFY(c == u'#' || c == u' ');
    }
    QCOMPARE(recorder.log[7], send(QString(70, u' ') + QStringLiteral("\r\n")));
    QCOMPARE(recorder.log[8], send(QStringLiteral("            F O R   M I C R O S O F T   W I N D O W S   9 5")
                                   + QString(11, u' ') + QStringLiteral("\r\n")));
    QCOMPARE(recorder.log[9], send(QStringLiteral("                  V E R S I O N   2 . 0 0   B E T A")
                                   + QString(19, u' ') + QStringLiteral("\r\n")));
    QCOMPARE(recorder.log[10], send(QStringLiteral("\r\n\r\n")));
    QCOMPARE(recorder.log[11], send(QStringLiteral("Tolvex Remote Access v2.00\r\n") + SessionDispatcher::noticeLine()
                                    + QStringLiteral("\r\n\r\n [1] Send a message to this pager \r\n"
                                                     " [2] Check messages on this pager (requires password)\r\n")));
    QVERIFY(!SessionDispatcher::noticeLine().contains(u'\r'));
    QCOMPARE(int(app.SessionState), int(Menu));
}

void RemoteDispatcherTest::refusalAfterPause()
{
    AppState app;
    app.CRLF = QStringLiteral("\r\n");
    Recorder recorder;
    Player player(recorder.log);
    Alert alert(recorder, player);
    SessionDispatcher dispatcher(app, recorder, alert);
    dispatcher.refusePasscode();
    QCOMPARE(recorder.log, (QStringList{send(QStringLiteral("\r\nWrong password, exiting..\r\n\r\n")),
                                        QStringLiteral("close")}));
    QCOMPARE(int(app.SessionState), int(Idle));
}

void RemoteDispatcherTest::storeBeyondSlot1000StillShowsText()
{
    AppState app;
    app.CRLF = QStringLiteral("\r\n");
    fillStore(app, 1003);
    Recorder recorder;
    Player player(recorder.log);
    Alert alert(recorder, player);
    SessionDispatcher dispatcher(app, recorder, alert);
    app.SessionState = Browsing;
    app.NumberBuffer = QStringLiteral("1002");
    dispatcher.handleChunk(QStringLiteral("\r"));
    QVERIFY(recorder.log.size() >= 3);
    QCOMPARE(recorder.log[1], send(QStringLiteral("\r\n * entry 1002\r\n\r\n")));
    QCOMPARE(recorder.log[2], send(QStringLiteral("text 1002\r\n\r\n")));
}

QTEST_GUILESS_MAIN(RemoteDispatcherTest)
#include "tst_remote_dispatcher.moc"

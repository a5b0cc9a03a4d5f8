#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "platform/clock.h"
#include "platform/settingsstore.h"
#include "shell/identity.h"
#include "shell/sessionlog.h"
#include "state/appstate.h"
#include "state/listentry.h"

using namespace tolvex;

namespace {

const QLocale Us(QLocale::English, QLocale::UnitedStates);
const QDateTime LogTime(QDate(1997, 3, 2), QTime(14, 31, 40));
const QDateTime PageTime(QDate(1997, 3, 2), QTime(14, 5, 9));

// One page as the tests store it: how it arrived, sender, peer address, text.
struct Page
{
    bool byTelnet;
    QString sender;
    QString peer;
    QString text;
};

// The four writes in the order of the datagram receiver.
void storeDatagram(MessageStore &store, const Page &page)
{
    const QString entry = listEntry(PageTime, page.sender, page.peer, Us);
    store.storeHost(page.peer);
    store.appendLine(entry);
    store.select(store.lineCount() - 1);
    store.storeText(page.text);
    store.raiseCount();
}

// The four writes in the order of a telnet caller's "\".
void storeTelnet(MessageStore &store, const Page &page)
{
    store.storeText(page.text);
    store.appendLine(listEntry(PageTime, page.sender, page.peer, Us));
    store.storeHost(page.peer);
    store.raiseCount();
}

void fill(AppState &state, const QList<Page> &pages)
{
    for (const Page &page : pages) {
        if (page.byTelnet)
            storeTelnet(state.store, page);
        else
            storeDatagram(state.store, page);
    }
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

int modeOf(const QString &path)
{
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return -1;
    return int(info.st_mode & 07777);
}

const QByteArray Header = "Tolvex Log Session for Ann\r\nCreated at 2:31:40 PM 3/2/97\r\n\r\n";

} // namespace

Q_DECLARE_METATYPE(QList<Page>)

class TestSessionLog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { setClockForTests([] { return LogTime; }); }
    void cleanup() { setClockForTests({}); }

    void logText_data();
    void logText();
    void pagesPastTheThousandAndFirstKeepTheirOwnTexts();
    void replacesTheEarlierLogOwnerOnly();
    void unwritableProgramDirectory_data();
    void unwritableProgramDirectory();
};

void TestSessionLog::logText_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QList<Page>>("pages");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<int>("lines");

    QTest::newRow("empty store: three lines") << QStringLiteral("Ann") << QList<Page>{} << Header << 3;

    QTest::newRow("two pages: nine lines")
        << QStringLiteral("Ann")
        << QList<Page>{{false, QStringLiteral("Bob"), QStringLiteral("10.0.0.7"), QStringLiteral("lunch at one?")},
                       {false, QStringLiteral("Cy"), QStringLiteral("10.0.0.8"), QStringLiteral("yes")}}
        << Header + "3/2/97 2:05:09 PM from Bob (10.0.0.7)\r\nlunch at one?\r\n\r\n"
                    "3/2/97 2:05:09 PM from Cy (10.0.0.8)\r\nyes\r\n\r\n"
        << 9;

    QTest::newRow("text with line breaks written as it is")
        << QStringLiteral("Ann")
        << QList<Page>{{true, QStringLiteral("Dee"), QStringLiteral("10.0.0.9"), QStringLiteral("one\r\ntwo\nthree")}}
        << Header + "3/2/97 2:05:09 PM from Dee (10.0.0.9)\r\none\r\ntwo\nthree\r\n\r\n"
        << 7;

    QTest::newRow("empty text: two empty lines in a row")
        << QStringLiteral("Ann")
        << QList<Page>{{false, QStringLiteral("Bob"), QStringLiteral("10.0.0.7"), QString()}}
        << Header + "3/2/97 2:05:09 PM from Bob (10.0.0.7)\r\n\r\n\r\n"
        << 6;

    QTest::newRow("both arrival paths in list order")
        << QStringLiteral("Ann")
        << QList<Page>{{false, QStringLiteral("Bob"), QStringLiteral("10.0.0.7"), QStringLiteral("first")},
                       {true, QStringLiteral("caller"), QStringLiteral("10.0.0.20"), QStringLiteral("second")},
                       {false, QString(), QStringLiteral("10.0.0.8"), QStringLiteral("third")}}
        << Header + "3/2/97 2:05:09 PM from Bob (10.0.0.7)\r\nfirst\r\n\r\n"
                    "3/2/97 2:05:09 PM from caller (10.0.0.20)\r\nsecond\r\n\r\n"
                    "3/2/97 2:05:09 PM from  (10.0.0.8)\r\nthird\r\n\r\n"
        << 12;

    QTest::newRow("Windows-1252 bytes, one per character")
        << QStringLiteral("Zo\u00eb")
        << QList<Page>{{false, QStringLiteral("Ren\u00e9"), QStringLiteral("10.0.0.7"),
                        QStringLiteral("caf\u00e9 \u2013 \u20ac5 \u00fcber")}}
        << QByteArray("Tolvex Log Session for Zo\xeb\r\nCreated at 2:31:40 PM 3/2/97\r\n\r\n"
                      "3/2/97 2:05:09 PM from Ren\xe9 (10.0.0.7)\r\ncaf\xe9 \x96 \x80" "5 \xfc" "ber\r\n\r\n")
        << 6;
}

void TestSessionLog::logText()
{
    QFETCH(QString, name);
    QFETCH(QList<Page>, pages);
    QFETCH(QByteArray, expected);
    QFETCH(int, lines);

    AppState state;
    state.UserName = name;
    fill(state, pages);
    const QByteArray text = sessionLogText(state, LogTime, Us);
    QCOMPARE(text, expected);
    QCOMPARE(int(text.count("\r\n")), lines);
    QVERIFY(text.endsWith("\r\n"));
}

void TestSessionLog::pagesPastTheThousandAndFirstKeepTheirOwnTexts()
{
    AppState state;
    state.UserName = QStringLiteral("Ann");
    const int pages = 1205;
    QByteArray expected = Header;
    for (int i = 0; i < pages; ++i) {
        const QString peer = QStringLiteral("10.0.%1.%2").arg(i / 256).arg(i % 256);
        const Page page{i % 3 == 0, QStringLiteral("user%1").arg(i), peer, QStringLiteral("page number %1").arg(i)};
        fill(state, {page});
        expected += "3/2/97 2:05:09 PM from " + page.sender.toLatin1() + " (" + peer.toLatin1() + ")\r\n"
            + page.text.toLatin1() + "\r\n\r\n";
    }
    const QByteArray text = sessionLogText(state, LogTime, Us);
    QCOMPARE(int(text.count("\r\n")), 3 + 3 * pages);
    QVERIFY(text.contains("\r\npage number 1001\r\n"));
    QVERIFY(text.contains("\r\npage number 1204\r\n"));
    QCOMPARE(text, expected);
}

void TestSessionLog::replacesTheEarlierLogOwnerOnly()
{
    QTemporaryDir program;
    QVERIFY(program.isValid());
    const QString path = program.filePath(QStringLiteral("tolvex.log"));
    {
        QFile earlier(path);
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.write("Tolvex Log Session for Old\r\nan earlier run with a much longer log than this one\r\n\r\n");
    }
    QVERIFY(::chmod(QFile::encodeName(path).constData(), 0644) == 0);

    AppState state;
    state.UserName = QStringLiteral("Ann");
    fill(state, {{false, QStringLiteral("Bob"), QStringLiteral("10.0.0.7"), QStringLiteral("lunch at one?")}});

    QCOMPARE(writeSessionLog(state, program.path()), path);
    QCOMPARE(fileBytes(path), sessionLogText(state, LogTime));
    QVERIFY(!fileBytes(path).contains("Old"));
    QCOMPARE(modeOf(path), 0600);
    // Nothing but the log is left behind in the program's directory.
    QCOMPARE(QDir(program.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("tolvex.log")});

    // A fresh log is owner-only too.
    QVERIFY(QFile::remove(path));
    QCOMPARE(writeSessionLog(state, program.path()), path);
    QCOMPARE(modeOf(path), 0600);
}

void TestSessionLog::unwritableProgramDirectory_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("dataDirectoryWorks");

    QTest::newRow("read-only folder") << QStringLiteral("read-only") << true;
    QTest::newRow("read-only file system") << QStringLiteral("/proc") << true;
    QTest::newRow("no place at all: settings still saved") << QStringLiteral("/proc") << false;
}

void TestSessionLog::unwritableProgramDirectory()
{
    QFETCH(QString, kind);
    QFETCH(bool, dataDirectoryWorks);

    QTemporaryDir home;
    QVERIFY(home.isValid());
    QString dataHome = home.filePath(QStringLiteral("data"));
    if (!dataDirectoryWorks) {
        // A plain file where the data directory should be: no folder can be made under it.
        dataHome = home.filePath(QStringLiteral("not-a-folder"));
        QFile blocker(dataHome);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
    }
    const QByteArray oldHome = qgetenv("HOME");
    const QByteArray oldData = qgetenv("XDG_DATA_HOME");
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome));
    auto restore = qScopeGuard([&] {
        qputenv("HOME", oldHome);
        if (oldData.isNull())
            qunsetenv("XDG_DATA_HOME");
        else
            qputenv("XDG_DATA_HOME", oldData);
    });

    QString program = kind;
    if (kind == QStringLiteral("read-only")) {
        if (::geteuid() == 0)
            QSKIP("The superuser writes into read-only folders; the read-only file system row covers this.");
        program = home.filePath(QStringLiteral("program"));
        QVERIFY(QDir().mkpath(program));
        QVERIFY(::chmod(QFile::encodeName(program).constData(), 0555) == 0);
    }

    AppState state;
    state.UserName = QStringLiteral("Ann");
    state.UserPass = QStringLiteral("s3cret");
    fill(state, {{true, QStringLiteral("caller"), QStringLiteral("10.0.0.20"), QStringLiteral("call me")}});

    const QString expectedPath = dataHome + QStringLiteral("/Tolvex/tolvex.log");
    QCOMPARE(writeSessionLog(state, program), dataDirectoryWorks ? expectedPath : QString());
    if (dataDirectoryWorks) {
        QCOMPARE(fileBytes(expectedPath), sessionLogText(state, LogTime));
        QCOMPARE(modeOf(expectedPath), 0600);
        QVERIFY(QFile::remove(expectedPath));
    }

    // "&Off" goes on past the log and saves the name and passcode.
    const QString settingsFile = home.filePath(QStringLiteral("settings.ini"));
    SettingsStore settings(settingsFile);
    off(state, settings, program);
    QCOMPARE(QFileInfo::exists(expectedPath), dataDirectoryWorks);
    QVERIFY(!QFileInfo::exists(QDir(program).filePath(QStringLiteral("tolvex.log"))));
    const SettingsStore reread(settingsFile);
    QCOMPARE(reread.read(SettingsApplication, SettingsSection, NameKey, QStringLiteral("none")), QStringLiteral("Ann"));
    QCOMPARE(reread.read(SettingsApplication, SettingsSection, PassKey, QStringLiteral("none")), QStringLiteral("s3cret"));

    if (kind == QStringLiteral("read-only"))
        ::chmod(QFile::encodeName(program).constData(), 0755);
}

QTEST_GUILESS_MAIN(TestSessionLog)
#include "tst_sessionlog.moc"

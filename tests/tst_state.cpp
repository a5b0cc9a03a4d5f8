#include <QTest>

#include "platform/codepage.h"
#include "state/appstate.h"
#include "state/listentry.h"

using namespace tolvex;

class TestState : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void storeKeepsOrderAndIndex();
    void storeStepsInEitherOrder_data();
    void storeStepsInEitherOrder();
    void storeHasNoCapacityLimit();
    void selection();
    void bannerLineIsFixedWidth();
    void listEntry_data();
    void listEntry();
    void everyByteRoundTrips();
    void charactersWithoutByte_data();
    void charactersWithoutByte();
};

namespace {

// A datagram page stores host, line, text; a telnet page text, line, host. Both end by raising the count.
void storeDatagramStyle(MessageStore &store, const QString &line, const QString &text, const QString &host)
{
    store.storeHost(host);
    store.appendLine(line);
    store.select(store.MessageCount());
    store.storeText(text);
    store.raiseCount();
}

void storeTelnetStyle(MessageStore &store, const QString &line, const QString &text, const QString &host)
{
    store.storeText(text);
    store.appendLine(line);
    store.storeHost(host);
    store.raiseCount();
}

} // namespace

void TestState::storeKeepsOrderAndIndex()
{
    MessageStore store;
    QCOMPARE(store.MessageCount(), 0);
    QCOMPARE(store.lineCount(), 0);
    QCOMPARE(store.selectedIndex(), -1);
    storeDatagramStyle(store, QStringLiteral("line0"), QStringLiteral("text0"), QStringLiteral("10.0.0.1"));
    storeTelnetStyle(store, QStringLiteral("line1"), QString(), QStringLiteral("10.0.0.2"));
    storeDatagramStyle(store, QStringLiteral("line2"), QStringLiteral("a\r\nb\x1b"), QStringLiteral("::1"));
    QCOMPARE(store.MessageCount(), 3);
    QCOMPARE(store.lineCount(), 3);
    QCOMPARE(store.rowCount(), 3);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(store.line(i), QStringLiteral("line%1").arg(i));
    QCOMPARE(store.text(1), QString());
    QCOMPARE(store.text(2), QStringLiteral("a\r\nb\x1b"));
    QCOMPARE(store.host(0), QStringLiteral("10.0.0.1"));
    QCOMPARE(store.host(1), QStringLiteral("10.0.0.2"));
    QCOMPARE(store.host(2), QStringLiteral("::1"));
    QCOMPARE(store.line(3), QString());
    QCOMPARE(store.text(-1), QString());
}

void TestState::storeStepsInEitherOrder_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::newRow("datagrams only") << QStringLiteral("ddddd");
    QTest::newRow("telnet only") << QStringLiteral("ttttt");
    QTest::newRow("alternating") << QStringLiteral("dtdtdt");
    QTest::newRow("runs") << QStringLiteral("ddtttd");
}

void TestState::storeStepsInEitherOrder()
{
    QFETCH(QString, pattern);
    MessageStore store;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QString n = QString::number(i);
        if (pattern[i] == u'd')
            storeDatagramStyle(store, u'L' + n, u'T' + n, u'H' + n);
        else
            storeTelnetStyle(store, u'L' + n, u'T' + n, u'H' + n);
    }
    QCOMPARE(store.MessageCount(), pattern.size());
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QString n = QString::number(i);
        QCOMPARE(store.line(i), u'L' + n);
        QCOMPARE(store.text(i), u'T' + n);
        QCOMPARE(store.host(i), u'H' + n);
    }
}

void TestState::storeHasNoCapacityLimit()
{
    MessageStore store;
    const int pages = 40000; // past the old 1001 slots and past a 16-bit count
    for (int i = 0; i < pages; ++i)
        storeTelnetStyle(store, QString::number(i), QStringLiteral("text %1").arg(i), QStringLiteral("host %1").arg(i));
    QCOMPARE(store.MessageCount(), pages);
    QCOMPARE(store.lineCount(), pages);
    for (int i : {0, 1000, 1001, 1002, 32767, 32768, pages - 1}) {
        QCOMPARE(store.line(i), QString::number(i));
        QCOMPARE(store.text(i), QStringLiteral("text %1").arg(i));
        QCOMPARE(store.host(i), QStringLiteral("host %1").arg(i));
    }
}

void TestState::selection()
{
    MessageStore store;
    store.select(0); // no such line: nothing selected
    QCOMPARE(store.selectedIndex(), -1);
    for (int i = 0; i < 3; ++i)
        storeDatagramStyle(store, QString::number(i), QString(), QString());
    QCOMPARE(store.selectedIndex(), 2); // each datagram page selects its new line
    store.select(0);
    QCOMPARE(store.selectedIndex(), 0);
    storeTelnetStyle(store, QStringLiteral("t"), QString(), QString());
    QCOMPARE(store.selectedIndex(), 0); // a telnet page leaves the selection alone
}

void TestState::bannerLineIsFixedWidth()
{
    AppState state;
    QCOMPARE(state.TelnetBanner[7].text(), QString(70, u' '));
    state.TelnetBanner[0] = QStringLiteral("abc");
    QCOMPARE(state.TelnetBanner[0].text(), QStringLiteral("abc") + QString(67, u' '));
    state.TelnetBanner[1] = QString(80, u'#');
    QCOMPARE(state.TelnetBanner[1].text(), QString(70, u'#'));
    QCOMPARE(state.SessionState, qint16(Idle));
    QCOMPARE(state.CRLF, QString());
}

void TestState::listEntry_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QDateTime>("when");
    QTest::addColumn<QString>("sender");
    QTest::addColumn<QString>("peer");
    QTest::addColumn<QString>("entry");
    const QDateTime afternoon(QDate(1997, 3, 2), QTime(14, 5, 9));
    QTest::newRow("US afternoon") << QStringLiteral("en_US") << afternoon << QStringLiteral("Ann")
                                  << QStringLiteral("10.0.0.5") << QStringLiteral("3/2/97 2:05:09 PM from Ann (10.0.0.5)");
    QTest::newRow("US morning, empty name") << QStringLiteral("en_US") << QDateTime(QDate(2026, 12, 11), QTime(9, 0, 0))
                                            << QString() << QStringLiteral("::1") << QStringLiteral("12/11/26 9:00:00 AM from  (::1)");
    QTest::newRow("German, no AM/PM") << QStringLiteral("de_DE") << afternoon << QStringLiteral("Jörg")
                                      << QStringLiteral("10.0.0.7") << QStringLiteral("02.03.97 14:05:09 from Jörg (10.0.0.7)");
}

void TestState::listEntry()
{
    QFETCH(QString, locale);
    QFETCH(QDateTime, when);
    QFETCH(QString, sender);
    QFETCH(QString, peer);
    QFETCH(QString, entry);
    QCOMPARE(tolvex::listEntry(when, sender, peer, QLocale(locale)), entry);
}

void TestState::everyByteRoundTrips()
{
    QByteArray all(256, Qt::Uninitialized);
    for (int i = 0; i < 256; ++i)
        all[i] = char(i);
    const QString text = fromAnsi(all);
    QCOMPARE(text.size(), 256);
    QCOMPARE(toAnsi(text), all);
    QCOMPARE(text.at(0x80), QChar(0x20AC));          // euro sign
    QCOMPARE(text.at(0x81), QChar(0x81));            // undefined in Windows-1252: the control of the same value
    QCOMPARE(text.at(0xFF), QChar(0xFF));            // y with diaeresis
}

void TestState::charactersWithoutByte_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("ascii") << QStringLiteral("Hello") << QByteArray("Hello");
    QTest::newRow("latin-1 and euro") << QStringLiteral("Grüße €5") << QByteArray("Gr\xfc\xdf" "e \x80" "5");
    QTest::newRow("no byte for it") << QStringLiteral("日本") << QByteArray("??");
    QTest::newRow("surrogate pair is two characters") << QStringLiteral("a\U0001F600b") << QByteArray("a??b");
}

void TestState::charactersWithoutByte()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(toAnsi(text), bytes);
}

QTEST_GUILESS_MAIN(TestState)
#include "tst_state.moc"

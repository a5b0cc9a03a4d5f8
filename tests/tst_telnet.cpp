// The telnet layer of remote access and the reading of a typed message number.
#include <QTest>

#include "remote/numberreader.h"
#include "remote/telnetfilter.h"

using namespace tolvex;

class TelnetTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void offerIsEchoThenSuppressGoAhead();
    void feed_data();
    void feed();
    void encodeDoublesIac();
    void resetForgetsTheOffer();
    void numberReading_data();
    void numberReading();
};

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text));
}

struct Collected
{
    QByteArray data;
    QByteArray reply;
};

Collected feedPieces(bool offered, const QList<QByteArray> &pieces)
{
    TelnetFilter filter;
    if (offered)
        filter.offer();
    Collected all;
    for (const QByteArray &piece : pieces) {
        const TelnetFilter::Output out = filter.feed(piece);
        all.data += out.data;
        all.reply += out.reply;
    }
    return all;
}

} // namespace

void TelnetTest::offerIsEchoThenSuppressGoAhead()
{
    TelnetFilter filter;
    QCOMPARE(filter.offer(), hex("fffb01fffb03"));
    QCOMPARE(filter.offer(), QByteArray()); // already offered: nothing new to say
}

void TelnetTest::feed_data()
{
    QTest::addColumn<bool>("offered");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QByteArray>("reply");

    QTest::newRow("client accepts our offer") << true << hex("fffd01fffd03") << QByteArray() << QByteArray();
    // A client's connect burst: DO SGA, WILL TTYPE NAWS TSPEED LFLOW LINEMODE NEW-ENVIRON,
    // DO STATUS, WILL XDISPLOC, then our offer accepted.
    QTest::newRow("line-mode client connect burst")
        << true << hex("fffd03fffb18fffb1ffffb20fffb21fffb22fffb27fffd05fffb23fffd01")
        << QByteArray() << hex("fffe18fffe1ffffe20fffe21fffe22fffe27fffc05fffe23");
    // WILL NAWS TSPEED TTYPE NEW-ENVIRON, DO ECHO, WILL SGA, DO SGA.
    QTest::newRow("ssh-suite client connect burst")
        << true << hex("fffb1ffffb20fffb18fffb27fffd01fffb03fffd03")
        << QByteArray() << hex("fffe1ffffe20fffe18fffe27fffe03");
    QTest::newRow("terminal type subnegotiation")
        << true << hex("fffa1800787465726dfff0") + "1" << QByteArray("1") << QByteArray();
    QTest::newRow("IAC IAC is the byte 255") << true << hex("61ffff62") << hex("61ff62") << QByteArray();
    QTest::newRow("interrupt and timing mark")
        << true << hex("fff4fffd06") << QByteArray() << hex("fffc06");
    QTest::newRow("DO ECHO before any offer is accepted") << false << hex("fffd01") << QByteArray() << hex("fffb01");
    QTest::newRow("DO LINEMODE refused") << true << hex("fffd22") << QByteArray() << hex("fffc22");
    QTest::newRow("Enter as CR NUL is CR LF") << true << hex("310d00") << QByteArray("1\r\n") << QByteArray();
    QTest::newRow("Enter as CR LF stays") << true << QByteArray("\r\n") << QByteArray("\r\n") << QByteArray();
    QTest::newRow("NUL not after CR stays") << true << hex("0061") << hex("0061") << QByteArray();
    // Compression is refused; a caller who starts it anyway is read on as plain telnet.
    QTest::newRow("COMPRESS2 refused, its start ignored")
        << true << hex("fffb56fffa56fff0") + "hi\r\n" << QByteArray("hi\r\n") << hex("fffe56");
    QTest::newRow("COMPRESS2 start cut short by a command")
        << true << hex("fffa56fffd22") + "1" << QByteArray("1") << hex("fffc22");
    QTest::newRow("COMPRESS2 started twice")
        << true << hex("fffa56fff0") + "a" + hex("fffa56fff0") + "b" + hex("ffff") << QByteArray("ab\xff") << QByteArray();
    QTest::newRow("keystrokes between commands")
        << true << hex("68fff169fffb1f0d00") << QByteArray("hi\r\n") << hex("fffe1f");
}

void TelnetTest::feed()
{
    QFETCH(bool, offered);
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, data);
    QFETCH(QByteArray, reply);

    const Collected whole = feedPieces(offered, {input});
    QCOMPARE(whole.data, data);
    QCOMPARE(whole.reply, reply);

    for (qsizetype cut = 1; cut < input.size(); ++cut) {
        const Collected split = feedPieces(offered, {input.left(cut), input.mid(cut)});
        QVERIFY2(split.data == data && split.reply == reply, qPrintable(QStringLiteral("split at %1").arg(cut)));
    }
    QList<QByteArray> bytes;
    for (const char byte : input)
        bytes.append(QByteArray(1, byte));
    const Collected single = feedPieces(offered, bytes);
    QCOMPARE(single.data, data);
    QCOMPARE(single.reply, reply);
}

void TelnetTest::encodeDoublesIac()
{
    TelnetFilter filter;
    filter.offer();
    QCOMPARE(filter.encode(QByteArray("plain text\r\n")), QByteArray("plain text\r\n"));
    QCOMPARE(filter.encode(hex("63ff64ff")), hex("63ffff64ffff"));
    QCOMPARE(filter.encode(QByteArray()), QByteArray());
}

void TelnetTest::resetForgetsTheOffer()
{
    TelnetFilter filter;
    filter.offer();
    filter.feed(hex("fffa18")); // a subnegotiation left open
    filter.reset();
    QCOMPARE(filter.offer(), hex("fffb01fffb03"));
    QCOMPARE(filter.feed(QByteArray("1")).data, QByteArray("1"));
}

void TelnetTest::numberReading_data()
{
    QTest::addColumn<QString>("buffer");
    QTest::addColumn<qint64>("number");

    const auto row = [](const char *name, const QString &buffer, qint64 number) {
        QTest::newRow(name) << buffer << number;
    };
    row("empty", QString(), 0);
    row("digits", QStringLiteral("42"), 42);
    row("blanks tabs line feeds anywhere", QStringLiteral("\n 1\t2 \n"), 12);
    row("line feed chunk before digits", QStringLiteral("\n3"), 3);
    row("half to even down", QStringLiteral("2.5"), 2);
    row("half to even up", QStringLiteral("3.5"), 4);
    row("half of zero", QStringLiteral("0.5"), 0);
    row("negative half", QStringLiteral("-2.5"), -2);
    row("below half", QStringLiteral("1.49"), 1);
    row("plus sign", QStringLiteral("+7"), 7);
    row("leading point", QStringLiteral(".6"), 1);
    row("second point stops", QStringLiteral("1.2.9"), 1);
    row("exponent E", QStringLiteral("1E2"), 100);
    row("exponent d lower case", QStringLiteral("15d-1"), 2);
    row("exponent without digits", QStringLiteral("7e"), 7);
    row("exponent sign without digits", QStringLiteral("7e+"), 7);
    row("letters stop", QStringLiteral("12abc"), 12);
    row("backspace stops", QStringLiteral("1\b2"), 1);
    row("carriage return stops", QStringLiteral("1\r2"), 1);
    row("capital Q", QStringLiteral("Q"), 0);
    row("sign alone", QStringLiteral("-"), 0);
    row("point alone", QStringLiteral("."), 0);
    row("hexadecimal prefix not read", QStringLiteral("&H1F"), 0);
    row("octal prefix not read", QStringLiteral("&O17"), 0);
    row("large", QStringLiteral("9876543210"), Q_INT64_C(9876543210));
    row("overflow clamps high", QStringLiteral("1e999"), std::numeric_limits<qint64>::max());
    row("overflow clamps low", QStringLiteral("-1e999"), std::numeric_limits<qint64>::min());
    row("underflow is zero", QStringLiteral("4e-999"), 0);
}

void TelnetTest::numberReading()
{
    QFETCH(QString, buffer);
    QFETCH(qint64, number);
    QCOMPARE(readMessageNumber(buffer), number);
}

QTEST_GUILESS_MAIN(TelnetTest)
#include "tst_telnet.moc"

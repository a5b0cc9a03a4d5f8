// The new-message alert around a received page: the order of its steps relative to storing,
// the reset on a double-click, and the real player staying silent and alive without a sound
// device or without a playable file.

#include <algorithm>
#include <cstdlib>
#include <functional>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>
#include <QWidget>

#include "paging/alert.h"
#include "paging/form3.h"
#include "paging/pager_widgets.h"
#include "paging/receiver.h"
#include "platform/sockets.h"
#include "platform/soundplayer.h"
#include "state/appstate.h"

using namespace tolvex;

namespace {

// Writes every call of the alert into one log, with what the store holds at that moment.
struct Recorder
{
    QStringList log;
    const MessageStore *store = nullptr;
    std::function<QString()> extra;

    void note(const QString &what)
    {
        QString entry = what;
        if (store) {
            entry += QStringLiteral(" | lines %1 count %2 selected %3 host '%4' text '%5'")
                         .arg(store->lineCount())
                         .arg(store->MessageCount())
                         .arg(store->selectedIndex())
                         .arg(store->host(0), store->text(0));
        }
        if (extra)
            entry += extra();
        log.append(entry);
    }
};

class RecordingWindow : public AlertWindow
{
public:
    explicit RecordingWindow(Recorder &recorder) : recorder(recorder) {}
    void setIndicatorColor(const QColor &color) override
    {
        recorder.note(QStringLiteral("indicator %1,%2,%3").arg(color.red()).arg(color.green()).arg(color.blue()));
    }
    void setTitle(const QString &title) override { recorder.note(QStringLiteral("title ") + title); }
    void beep() override { recorder.note(QStringLiteral("beep")); }
    void drawAttention() override { recorder.note(QStringLiteral("attention")); }

private:
    Recorder &recorder;
};

class RecordingPlayer : public SoundPlayer
{
public:
    explicit RecordingPlayer(Recorder &recorder) : recorder(recorder) {}
    void setFile(const QString &path) override { recorder.note(QStringLiteral("file ") + QDir::fromNativeSeparators(path)); }
    bool close() override { recorder.note(QStringLiteral("close")); return true; }
    bool open() override { recorder.note(QStringLiteral("open")); return true; }
    bool play() override { recorder.note(QStringLiteral("play")); return true; }

private:
    Recorder &recorder;
};

UdpControl *boundReceiver(AppState &state, Alert &alert, QObject *owner)
{
    auto *UDP1 = new UdpControl(0, 0, owner);
    if (!UDP1->bind())
        qFatal("binding a datagram socket failed");
    QObject::connect(UDP1, &UdpControl::dataArrival, UDP1, [&state, UDP1, &alert] { receivePage(state, *UDP1, alert); });
    return UDP1;
}

void sendPage(const QByteArray &bytes, quint16 port)
{
    QUdpSocket peer;
    QCOMPARE(peer.writeDatagram(bytes, QHostAddress(QHostAddress::LocalHost), port), qint64(bytes.size()));
}

// The directory of the program, where the build puts alarm.wav: the test's own directory or
// the one above it.
QString programDirectory()
{
    QDir dir(QCoreApplication::applicationDirPath());
    if (!dir.exists(QStringLiteral("alarm.wav")))
        dir.cdUp();
    return dir.path();
}

quint32 le32(const QByteArray &b, int at) { return quint32(quint8(b[at])) | quint32(quint8(b[at + 1])) << 8 | quint32(quint8(b[at + 2])) << 16 | quint32(quint8(b[at + 3])) << 24; }
quint16 le16(const QByteArray &b, int at) { return quint16(quint8(b[at]) | quint8(b[at + 1]) << 8); }

} // namespace

class TestAlert : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void alertFollowsStoringInItsOrder();
    void doubleClickResets_data();
    void doubleClickResets();
    void shippedAlarmIsOurWave();
    void realPlayerStaysSilentAndAlive_data();
    void realPlayerStaysSilentAndAlive();
};

void TestAlert::alertFollowsStoringInItsOrder()
{
    AppState state;
    Recorder recorder;
    RecordingWindow window(recorder);
    RecordingPlayer player(recorder);
    Alert alert(window, player);
    alert.setupPlayer(QStringLiteral("/opt/pager"));
    QCOMPARE(recorder.log, QStringList{QStringLiteral("file /opt/pager/alarm.wav")});
    recorder.log.clear();
    recorder.store = &state.store;

    QObject owner;
    UdpControl *UDP1 = boundReceiver(state, alert, &owner);
    sendPage("Ann\x1bHi", UDP1->boundPort());
    QTRY_COMPARE(state.store.MessageCount(), 1);

    // A: after the host and the line are stored, before the line is selected and the text
    // stored. B to G: after the count is raised.
    const QString before = QStringLiteral(" | lines 1 count 0 selected -1 host '127.0.0.1' text ''");
    const QString after = QStringLiteral(" | lines 1 count 1 selected 0 host '127.0.0.1' text 'Hi'");
    const QStringList expected{
        QStringLiteral("indicator 255,0,0") + before,
        QStringLiteral("title New Messsages [Tolvex]") + after,
        QStringLiteral("close") + after,
        QStringLiteral("open") + after,
        QStringLiteral("play") + after,
        QStringLiteral("beep") + after,
        QStringLiteral("attention") + after,
    };
    QCOMPARE(recorder.log, expected);

    // A second page in quick succession restarts the sound: close, open, play again.
    recorder.log.clear();
    sendPage("Ann\x1bHi again", UDP1->boundPort());
    QTRY_COMPARE(state.store.MessageCount(), 2);
    QCOMPARE(recorder.log.size(), 7);
    QVERIFY(recorder.log.at(2).startsWith(QStringLiteral("close |")));
    QVERIFY(recorder.log.at(3).startsWith(QStringLiteral("open |")));
    QVERIFY(recorder.log.at(4).startsWith(QStringLiteral("play |")));
}

void TestAlert::doubleClickResets_data()
{
    QTest::addColumn<int>("selected");
    QTest::addColumn<bool>("viewerOpens");
    QTest::newRow("line selected") << 0 << true;
    QTest::newRow("nothing selected") << -1 << false;
}

void TestAlert::doubleClickResets()
{
    QFETCH(int, selected);
    QFETCH(bool, viewerOpens);

    AppState state;
    state.store.storeHost(QStringLiteral("10.0.0.5"));
    state.store.appendLine(QStringLiteral("3/2/97 2:05:09 PM from Ann (10.0.0.5)"));
    state.store.storeText(QStringLiteral("Hello"));
    state.store.raiseCount();
    state.store.select(selected);

    Recorder recorder;
    RecordingWindow window(recorder);
    RecordingPlayer player(recorder);
    Alert alert(window, player);
    UdpControl UDP1(0, 0);
    QWidget form1;
    Pager pager(state, UDP1, alert, &form1);
    recorder.extra = [&pager] {
        return pager.viewer() && pager.viewer()->isVisible() ? QStringLiteral(" | viewer shown") : QStringLiteral(" | no viewer");
    };

    pager.openViewer();
    const QString viewer = viewerOpens ? QStringLiteral(" | viewer shown") : QStringLiteral(" | no viewer");
    // The reset comes after the viewer is shown and leaves the player alone.
    const QStringList expected{
        QStringLiteral("indicator 64,0,0") + viewer,
        QStringLiteral("title Tolvex - The Internet Pager") + viewer,
    };
    QCOMPARE(recorder.log, expected);
}

void TestAlert::shippedAlarmIsOurWave()
{
    const QString path = QDir(programDirectory()).filePath(QStringLiteral("alarm.wav"));
    QFile file(path);
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(QStringLiteral("the build puts alarm.wav beside the program: %1").arg(path)));
    const QByteArray wav = file.readAll();
    QVERIFY(wav.size() > 44);
    QCOMPARE(wav.left(4), QByteArray("RIFF"));
    QCOMPARE(wav.mid(8, 8), QByteArray("WAVEfmt "));
    QCOMPARE(le16(wav, 20), quint16(1));      // PCM
    QCOMPARE(le16(wav, 22), quint16(1));      // mono
    QCOMPARE(le32(wav, 24), quint32(22050));
    QCOMPARE(le16(wav, 34), quint16(16));
    QCOMPARE(wav.mid(36, 4), QByteArray("data"));
    const quint32 dataBytes = le32(wav, 40);
    QCOMPARE(qsizetype(dataBytes) + 44, wav.size());
    const double seconds = dataBytes / 2.0 / 22050.0;
    QVERIFY2(seconds > 0.2 && seconds < 2.0, qPrintable(QString::number(seconds)));
    // Not silence: the samples swing well away from zero.
    int loudest = 0;
    for (qsizetype at = 44; at + 1 < wav.size(); at += 2)
        loudest = std::max(loudest, std::abs(int(qint16(le16(wav, int(at))))));
    QVERIFY(loudest > 8000);
}

void TestAlert::realPlayerStaysSilentAndAlive_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("shipped alarm") << QStringLiteral("shipped");
    QTest::newRow("missing file") << QStringLiteral("missing");
    QTest::newRow("unplayable file") << QStringLiteral("garbage");
}

void TestAlert::realPlayerStaysSilentAndAlive()
{
    QFETCH(QString, kind);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString directory = dir.path();
    if (kind == QStringLiteral("shipped")) {
        directory = programDirectory();
        QVERIFY(QFile::exists(QDir(directory).filePath(QStringLiteral("alarm.wav"))));
    } else if (kind == QStringLiteral("garbage")) {
        QFile bad(dir.filePath(QStringLiteral("alarm.wav")));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("this is not a wave file at all");
    }

    AppState state;
    Recorder recorder;
    RecordingWindow window(recorder);
    EffectPlayer player;
    Alert alert(window, player);
    alert.setupPlayer(directory);

    if (kind == QStringLiteral("missing")) {
        QVERIFY(!player.open());
        QVERIFY(!player.play());
    }

    QObject owner;
    UdpControl *UDP1 = boundReceiver(state, alert, &owner);
    // Pages in quick succession: each alert cuts off the sound of the one before.
    sendPage("Ann\x1bone", UDP1->boundPort());
    sendPage("Ann\x1btwo", UDP1->boundPort());
    QTRY_COMPARE(state.store.MessageCount(), 2);
    // The player loads in the background; the window goes on handling pages meanwhile.
    sendPage("Ann\x1bthree", UDP1->boundPort());
    QTRY_COMPARE(state.store.MessageCount(), 3);
    QCOMPARE(recorder.log.count(QStringLiteral("beep")), 3);
    QCOMPARE(recorder.log.count(QStringLiteral("attention")), 3);
    QCOMPARE(recorder.log.count(QStringLiteral("title New Messsages [Tolvex]")), 3);
    QCOMPARE(state.store.text(2), QStringLiteral("three"));
}

QTEST_MAIN(TestAlert)
#include "tst_alert.moc"

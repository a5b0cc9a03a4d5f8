#include <sys/stat.h>

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>

#include "layouts/form1layout.h"
#include "layouts/form3layout.h"
#include "paging/form3.h"
#include "platform/desktop_widgets.h"
#include "shell/form1.h"
#include "shell/identity.h"
#include "shell/messagelist_widgets.h"

#include "testsupport.h"

using namespace tolvex;
using namespace tolvex::testing;

namespace {

} // namespace

class TestForm1 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void layout_data();
    void layout();
    void windowAndTabOrder();
    void startUpSteps();
    void portInUseIsReported_data();
    void portInUseIsReported();
    void drag_data();
    void drag();
    void pressOnAControlDoesNotDrag();
    void nameAndPassDialogs();
    void closeSavesSettings();
    void doubleClickOnAPageOpensTheViewer();

private:
    std::unique_ptr<Form1> makeForm();
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<SettingsStore> settings;
    QuietPlayer player;
};

void TestForm1::init()
{
    dir = std::make_unique<QTemporaryDir>();
    settings = std::make_unique<SettingsStore>(dir->filePath(QStringLiteral("Tolvex.ini")));
}

void TestForm1::cleanup()
{
    setInputBoxForTests({});
}

std::unique_ptr<Form1> TestForm1::makeForm()
{
    return std::make_unique<Form1>(*settings, player, Form1Ports{0, 0, 0});
}

void TestForm1::layout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("caption");
    QTest::newRow("Picture1") << QStringLiteral("Picture1") << QRect(300, 136, 17, 13) << QString();
    QTest::newRow("Command4") << QStringLiteral("Command4") << QRect(92, 168, 69, 17) << QStringLiteral("Set &Pass");
    QTest::newRow("Command3") << QStringLiteral("Command3") << QRect(92, 148, 69, 17) << QStringLiteral("&Off");
    QTest::newRow("Command2") << QStringLiteral("Command2") << QRect(28, 168, 61, 17) << QStringLiteral("Set &Name");
    QTest::newRow("List1") << QStringLiteral("List1") << QRect(40, 48, 277, 81) << QString();
    QTest::newRow("Command1") << QStringLiteral("Command1") << QRect(28, 148, 61, 17) << QStringLiteral("&Send");
    QTest::newRow("Label1") << QStringLiteral("Label1") << QRect(40, 28, 277, 17) << QString();
}

void TestForm1::layout()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, caption);
    auto form = makeForm();
    auto *control = form->findChild<QWidget *>(name);
    QVERIFY2(control, qPrintable(name));
    QCOMPARE(control->geometry(), geometry);
    if (auto *button = qobject_cast<QPushButton *>(control)) {
        QCOMPARE(button->text(), caption);
        QVERIFY(!button->isDefault());
        QVERIFY(!button->autoDefault());
    }
}

void TestForm1::windowAndTabOrder()
{
    auto form = makeForm();
    QVERIFY(form->windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(form->size(), QSize(348, 200));
    QCOMPARE(form->minimumSize(), form->maximumSize());
    QCOMPARE(form->windowTitle(), QStringLiteral("Tolvex - The Internet Pager"));
    QCOMPARE(form->indicatorColor(), QColor(64, 0, 0));
    const QPalette list = form->List1->palette();
    QCOMPARE(list.color(QPalette::Text), QColor(128, 255, 128));
    QCOMPARE(list.color(QPalette::Base), QColor(0, 0, 0));
    QCOMPARE(form->Label1->palette().color(QPalette::WindowText), QColor(128, 255, 128));
    QVERIFY(qAbs(form->List1->font().pointSizeF() - 6.75) < 0.01);

    QVERIFY(form->startUp().isEmpty());
    form->show();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    QTRY_COMPARE(QApplication::focusWidget(), form->Command1);
    const QStringList expected = {QStringLiteral("List1"), QStringLiteral("Command2"), QStringLiteral("Command3"),
                                  QStringLiteral("Command4"), QStringLiteral("Picture1"), QStringLiteral("Command1")};
    for (const QString &name : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), name);
    }
}

void TestForm1::startUpSteps()
{
    AppState saved;
    saved.UserName = QStringLiteral("Ann");
    saved.UserPass = QStringLiteral("pw");
    saveSettings(saved, *settings);
    auto form = makeForm();
    QCOMPARE(form->state.CRLF, QString());
    QCOMPARE(form->state.UserName, QString());
    QCOMPARE(form->startUp(), QString());
    QCOMPARE(form->pos(), QPoint(100, 100));
    QVERIFY(form->TCP1.listeningPort() != 0);
    QVERIFY(form->UDP1.boundPort() != 0);
    QCOMPARE(form->state.CRLF, QStringLiteral("\r\n"));
    QCOMPARE(form->Label1->text(), QStringLiteral("Local host is %1 (%2)").arg(UdpControl::localHostName(), UdpControl::localHostIP()));
    QCOMPARE(form->state.UserName, QStringLiteral("Ann"));
    QCOMPARE(form->state.UserPass, QStringLiteral("pw"));
    QCOMPARE(form->state.TelnetBanner[8].text().trimmed(), QStringLiteral("F O R   M I C R O S O F T   W I N D O W S   9 5"));
    QCOMPARE(player.file, QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("alarm.wav")));

    // The datagram socket takes pages from the moment the window exists.
    QUdpSocket sender;
    sender.writeDatagram(QByteArray("Bob\x1bhi"), QHostAddress::LocalHost, form->UDP1.boundPort());
    QTRY_COMPARE(form->state.store.MessageCount(), 1);
    QCOMPARE(form->Label1->text().left(14), QStringLiteral("Local host is "));
}

void TestForm1::portInUseIsReported_data()
{
    QTest::addColumn<bool>("telnet");
    QTest::newRow("TCP port of the listener") << true;
    QTest::newRow("UDP port of the pages") << false;
}

void TestForm1::portInUseIsReported()
{
    QFETCH(bool, telnet);
    QTcpServer holder;
    QUdpSocket udpHolder;
    QVERIFY(holder.listen(QHostAddress::Any, 0));
    QVERIFY(udpHolder.bind(QHostAddress::Any, 0));
    Form1Ports ports{0, 0, 0};
    (telnet ? ports.telnet : ports.pages) = telnet ? holder.serverPort() : udpHolder.localPort();
    Form1 form(*settings, player, ports);
    const QString failure = form.startUp();
    const QString expected = telnet ? QStringLiteral("Another program holds TCP port %1").arg(holder.serverPort())
                                    : QStringLiteral("Another program holds UDP port %1").arg(udpHolder.localPort());
    QVERIFY2(failure.contains(expected), qPrintable(failure));
    QCOMPARE(form.state.CRLF, QString()); // the steps after the failure did not run
}

void TestForm1::drag_data()
{
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<QPoint>("moveBy");
    QTest::addColumn<QPoint>("windowMoves");
    QTest::newRow("left drag follows the pointer") << Qt::LeftButton << QPoint(30, 20) << QPoint(30, 20);
    QTest::newRow("left click without movement") << Qt::LeftButton << QPoint(0, 0) << QPoint(0, 0);
    QTest::newRow("right drag") << Qt::RightButton << QPoint(30, 20) << QPoint(0, 0);
}

void TestForm1::drag()
{
    QFETCH(Qt::MouseButton, button);
    QFETCH(QPoint, moveBy);
    QFETCH(QPoint, windowMoves);
    auto form = makeForm();
    QVERIFY(form->startUp().isEmpty());
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    const QPoint start = form->pos();
    const QPoint grab(200, 10); // on the background, above the panel
    QTest::mousePress(form.get(), button, {}, grab);
    QMouseEvent move(QEvent::MouseMove, QPointF(grab + moveBy), form->mapToGlobal(QPointF(grab + moveBy)), button, button, {});
    QApplication::sendEvent(form.get(), &move);
    QTest::mouseRelease(form.get(), button, {}, grab + moveBy);
    QTRY_COMPARE(form->pos(), start + windowMoves);
}

void TestForm1::pressOnAControlDoesNotDrag()
{
    auto form = makeForm();
    QVERIFY(form->startUp().isEmpty());
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    const QPoint start = form->pos();
    for (QWidget *control : {static_cast<QWidget *>(form->Label1), form->Picture1, form->List1->viewport()}) {
        QTest::mousePress(control, Qt::LeftButton, {}, QPoint(2, 2));
        QMouseEvent move(QEvent::MouseMove, QPointF(40, 30), control->mapToGlobal(QPointF(40, 30)), Qt::LeftButton, Qt::LeftButton, {});
        QApplication::sendEvent(control, &move);
        QTest::mouseRelease(control, Qt::LeftButton, {}, QPoint(40, 30));
    }
    QCOMPARE(form->pos(), start);
}

void TestForm1::nameAndPassDialogs()
{
    auto form = makeForm();
    QVERIFY(form->startUp().isEmpty());
    QStringList asked;
    QString answer;
    setInputBoxForTests([&](const QString &prompt, const QString &text) {
        asked << prompt + u'|' + text;
        return answer;
    });
    answer = QStringLiteral("  Ann  ");
    form->Command2->click();
    answer = QString(); // cancel
    form->Command4->click();
    answer = QStringLiteral("NewPass");
    form->Command4->click();
    QCOMPARE(asked, (QStringList{QStringLiteral("Please enter your name as it will appear in messages:|Tolvex User"),
                                 QStringLiteral("Please enter your chosen password for remote logins:|wobnel"),
                                 QStringLiteral("Please enter your chosen password for remote logins:|wobnel")}));
    QCOMPARE(form->state.UserName, QStringLiteral("  Ann  "));
    QCOMPARE(form->state.UserPass, QStringLiteral("NewPass"));
    // Changes reach the store only when the settings are saved.
    AppState stored;
    loadSettings(stored, *settings);
    QCOMPARE(stored.UserName, QStringLiteral("Tolvex User"));
}

void TestForm1::closeSavesSettings()
{
    auto form = makeForm();
    QVERIFY(form->startUp().isEmpty());
    form->show();
    form->state.UserName = QStringLiteral("Closer");
    QVERIFY(form->close());
    AppState stored;
    loadSettings(stored, *settings);
    QCOMPARE(stored.UserName, QStringLiteral("Closer"));
    QCOMPARE(stored.UserPass, QStringLiteral("wobnel"));
}

// A page over the wire raises the alert; a double-click on its line in the list opens the
// viewer with that page and quiets the alert.
void TestForm1::doubleClickOnAPageOpensTheViewer()
{
    auto form = makeForm();
    QVERIFY(form->startUp().isEmpty());
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    QUdpSocket peer;
    const QByteArray datagram = QByteArrayLiteral("Ann\x1b") + "Lunch at one?";
    for (int page = 0; page < 2; ++page)
        QCOMPARE(peer.writeDatagram(datagram, QHostAddress::LocalHost, form->UDP1.boundPort()), datagram.size());
    QTRY_COMPARE(form->state.store.MessageCount(), qsizetype(2));
    QCOMPARE(form->indicatorColor(), QColor(255, 0, 0));

    const int line = form->List1->lineHeight();
    QTest::mouseDClick(form->List1->viewport(), Qt::LeftButton, {}, QPoint(30, line / 2));
    QCOMPARE(form->state.store.selectedIndex(), qsizetype(0));
    QCOMPARE(form->indicatorColor(), QColor(64, 0, 0));
    QCOMPARE(form->windowTitle(), QStringLiteral("Tolvex - The Internet Pager"));
    Form3 *viewer = nullptr;
    for (QWidget *window : QApplication::topLevelWidgets())
        if (auto *found = qobject_cast<Form3 *>(window); found && found->isVisible())
            viewer = found;
    QVERIFY(viewer);
    QCOMPARE(viewer->controls().Label1->text(), form->state.store.line(0));
    QCOMPARE(viewer->controls().Text1->toPlainText(), QStringLiteral("Lunch at one?"));
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"

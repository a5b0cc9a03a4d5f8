// The Send Message dialog and the Message Viewer: their layouts, keys, the host history,
// the single viewer, Reply at the moment of the press, and the report of a page not sent.

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QNetworkDatagram>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QUdpSocket>

#include "paging/alert.h"
#include "paging/form2.h"
#include "paging/form3.h"
#include "paging/pager_widgets.h"
#include "platform/codepage.h"
#include "platform/sockets.h"
#include "platform/soundplayer.h"
#include "state/appstate.h"

#include "testsupport.h"

using namespace tolvex;
using namespace tolvex::testing;

namespace {

// A main window's paging side whose pages go to `peer` on loopback.
struct Fixture
{
    AppState state;
    QuietWindow window;
    QuietPlayer player;
    Alert alert{window, player};
    UdpControl UDP1{0, 0};
    QUdpSocket peer;
    QWidget form1;
    Pager pager{state, UDP1, alert, &form1};

    Fixture()
    {
        state.UserName = QStringLiteral("Ann");
        if (!peer.bind(QHostAddress(QHostAddress::LocalHost), 0))
            qFatal("binding the peer failed");
        UDP1.RemotePort = peer.localPort();
    }

    void addPage(const QString &host, const QString &line, const QString &text)
    {
        state.store.storeHost(host);
        state.store.appendLine(line);
        state.store.storeText(text);
        state.store.raiseCount();
    }
};

QByteArray nextDatagram(QUdpSocket &peer)
{
    // Host names are resolved in the background: let the event loop run until it arrives.
    if (!QTest::qWaitFor([&peer] { return peer.hasPendingDatagrams(); }, 10000))
        return QByteArray("(nothing arrived)");
    return peer.receiveDatagram().data();
}

struct ControlRow
{
    QString name;
    QByteArray kind;
    QString text;
    QRect geometry;
};

void checkControls(QWidget *form, const QList<ControlRow> &rows)
{
    for (const ControlRow &row : rows) {
        auto *control = form->findChild<QWidget *>(row.name, Qt::FindDirectChildrenOnly);
        QVERIFY2(control, qPrintable(row.name));
        QVERIFY2(control->inherits(row.kind.constData()), qPrintable(row.name));
        QCOMPARE(control->geometry(), row.geometry);
        QVERIFY(control->isVisible());
        if (auto *button = qobject_cast<QPushButton *>(control)) {
            QCOMPARE(button->text(), row.text);
            QVERIFY(!button->isDefault());
            QVERIFY(!button->autoDefault());
        } else if (auto *label = qobject_cast<QLabel *>(control)) {
            QCOMPARE(label->text(), row.text);
            QCOMPARE(label->focusPolicy(), Qt::NoFocus);
        } else if (auto *box = qobject_cast<QPlainTextEdit *>(control)) {
            QCOMPARE(box->lineWrapMode(), QPlainTextEdit::WidgetWidth);
            QCOMPARE(box->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
            QCOMPARE(box->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
            QVERIFY(!box->isReadOnly());
        }
    }
}

void checkFrame(QWidget *form, const QString &title, QSize client, QPoint position)
{
    QCOMPARE(form->windowTitle(), title);
    QCOMPARE(form->size(), client);
    QCOMPARE(form->minimumSize(), client);
    QCOMPARE(form->maximumSize(), client);
    QCOMPARE(form->pos(), position);
    const Qt::WindowFlags flags = form->windowFlags();
    QVERIFY(flags & Qt::Dialog);
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(!form->windowIcon().isNull());
}

// The widgets that Tab visits from `start`, for `count` presses.
QList<QWidget *> tabWalk(QWidget *form, QWidget *start, int count)
{
    QList<QWidget *> visited;
    start->setFocus(Qt::TabFocusReason);
    for (int i = 0; i < count; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget *focus = QApplication::focusWidget();
        // A combo box's field carries the focus for its box.
        while (focus && focus->parentWidget() != form)
            focus = focus->parentWidget();
        visited.append(focus);
    }
    return visited;
}

} // namespace

class TestPagingForms : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sendDialogLayout();
    void viewerLayout();
    void keysInTheSendDialog();
    void historyAndReopening();
    void oneViewerAndReplyAtThePress();
    void unresolvableHostIsReported();
};

void TestPagingForms::sendDialogLayout()
{
    Fixture f;
    QVERIFY(!f.pager.sendDialog());
    f.pager.openSendDialog();
    Form2 *form = f.pager.sendDialog();
    QVERIFY(form);
    QVERIFY(QTest::qWaitForWindowActive(form));
    QCOMPARE(form->objectName(), QStringLiteral("Form2"));
    checkFrame(form, QStringLiteral("Send Message"), QSize(269, 191), QPoint(94, 153));
    checkControls(form, {
        {QStringLiteral("Command1"), "QPushButton", QStringLiteral("&OK"), QRect(208, 160, 45, 25)},
        {QStringLiteral("Text1"), "QPlainTextEdit", QString(), QRect(68, 32, 185, 121)},
        {QStringLiteral("Combo1"), "QComboBox", QString(), QRect(68, 4, 185, 21)},
        {QStringLiteral("Label2"), "QLabel", QStringLiteral("Message:"), QRect(4, 36, 53, 17)},
        {QStringLiteral("Label1"), "QLabel", QStringLiteral("Hostname:"), QRect(4, 8, 57, 17)},
    });
    if (QTest::currentTestFailed())
        return;
    const Form2Layout &c = form->controls();
    QVERIFY(c.Combo1->isEditable());
    QCOMPARE(c.Combo1->insertPolicy(), QComboBox::NoInsert);
    QCOMPARE(c.Combo1->count(), 0);
    QCOMPARE(form->focusWidget(), c.Combo1);
    QCOMPARE(tabWalk(form, c.Combo1, 3), (QList<QWidget *>{c.Text1, c.Command1, c.Combo1}));
}

void TestPagingForms::viewerLayout()
{
    Fixture f;
    f.addPage(QStringLiteral("10.0.0.5"), QStringLiteral("3/2/97 2:05:09 PM from Ann (10.0.0.5)"), QStringLiteral("one\r\ntwo"));
    f.state.store.select(0);
    f.pager.openViewer();
    Form3 *form = f.pager.viewer();
    QVERIFY(form);
    QVERIFY(QTest::qWaitForWindowActive(form));
    QCOMPARE(form->objectName(), QStringLiteral("Form3"));
    checkFrame(form, QStringLiteral("Message Viewer"), QSize(403, 185), QPoint(32, 90));
    checkControls(form, {
        {QStringLiteral("Command2"), "QPushButton", QStringLiteral("&Reply"), QRect(300, 160, 45, 21)},
        {QStringLiteral("Command1"), "QPushButton", QStringLiteral("&Close"), QRect(352, 160, 45, 21)},
        {QStringLiteral("Text1"), "QPlainTextEdit", QStringLiteral("one\ntwo"), QRect(4, 36, 393, 113)},
        {QStringLiteral("Label1"), "QLabel", QStringLiteral("3/2/97 2:05:09 PM from Ann (10.0.0.5)"), QRect(4, 8, 389, 17)},
    });
    if (QTest::currentTestFailed())
        return;
    const Form3Layout &c = form->controls();
    QCOMPARE(c.Text1->toPlainText(), QStringLiteral("one\ntwo"));
    QCOMPARE(form->focusWidget(), c.Text1);
    QCOMPARE(tabWalk(form, c.Text1, 3), (QList<QWidget *>{c.Command1, c.Command2, c.Text1}));
    // The two dialogs carry icons of their own.
    f.pager.openSendDialog();
    QVERIFY(form->windowIcon().pixmap(32).toImage() != f.pager.sendDialog()->windowIcon().pixmap(32).toImage());
}

void TestPagingForms::keysInTheSendDialog()
{
    Fixture f;
    f.pager.openSendDialog();
    Form2 *form = f.pager.sendDialog();
    QVERIFY(QTest::qWaitForWindowActive(form));
    const Form2Layout &c = form->controls();

    c.Text1->setFocus();
    QTest::keyClicks(c.Text1, QStringLiteral("one"));
    QTest::keyClick(c.Text1, Qt::Key_Return);
    QTest::keyClicks(c.Text1, QStringLiteral("two"));
    QTest::keyClick(c.Text1, Qt::Key_Escape);
    QTest::keyClick(form, Qt::Key_Escape);
    QTest::keyClick(c.Combo1, Qt::Key_Return);
    QVERIFY(form->isVisible());
    QCOMPARE(c.Combo1->count(), 0);
    QCOMPARE(c.Text1->toPlainText(), QStringLiteral("one\ntwo"));
    QCOMPARE(pageTextFromBox(c.Text1->toPlainText()), QStringLiteral("one\r\ntwo"));
    QVERIFY(!f.peer.hasPendingDatagrams());

    // Alt+O presses "&OK": the page goes out with its CR LF.
    c.Combo1->setEditText(QStringLiteral("127.0.0.1"));
    QTest::keyClick(form, Qt::Key_O, Qt::AltModifier);
    QCOMPARE(nextDatagram(f.peer), QByteArray("Ann\x1bone\r\ntwo"));
    QVERIFY(!form->isVisible());
}

void TestPagingForms::historyAndReopening()
{
    Fixture f;
    f.pager.openSendDialog();
    Form2 *form = f.pager.sendDialog();
    const Form2Layout &c = form->controls();
    const QStringList hosts{QStringLiteral("127.0.0.1"), QStringLiteral("localhost"), QStringLiteral("127.0.0.1")};
    for (const QString &host : hosts) {
        f.pager.openSendDialog();
        QCOMPARE(f.pager.sendDialog(), form);
        c.Combo1->setEditText(host);
        c.Text1->setPlainText(QStringLiteral("caf\u00e9 for ") + host);
        // The name of the moment of "&OK" goes out.
        f.state.UserName = QStringLiteral("User of ") + host;
        QTest::mouseClick(c.Command1, Qt::LeftButton);
        QVERIFY(!form->isVisible());
        QCOMPARE(nextDatagram(f.peer), toAnsi(QStringLiteral("User of ") + host + QChar(27) + QStringLiteral("caf\u00e9 for ") + host));
    }
    QStringList history;
    for (int i = 0; i < c.Combo1->count(); ++i)
        history.append(c.Combo1->itemText(i));
    QCOMPARE(history, hosts);

    // "&Send" shows the last host and text unchanged.
    f.pager.openSendDialog();
    QVERIFY(form->isVisible());
    QCOMPARE(c.Combo1->currentText(), QStringLiteral("127.0.0.1"));
    QCOMPARE(c.Text1->toPlainText(), QStringLiteral("caf\u00e9 for 127.0.0.1"));

    // "&Reply" replaces the host, empties the text and keeps the history.
    f.addPage(QStringLiteral("10.1.2.3"), QStringLiteral("line"), QStringLiteral("text"));
    f.state.store.select(0);
    f.pager.reply();
    QCOMPARE(c.Combo1->currentText(), QStringLiteral("10.1.2.3"));
    QCOMPARE(c.Text1->toPlainText(), QString());
    QCOMPARE(c.Combo1->count(), 3);

    // An empty host is not refused: it enters the history, the dialog closes and the
    // user is told that nothing went out.
    c.Combo1->setEditText(QString());
    QTest::mouseClick(c.Command1, Qt::LeftButton);
    QCOMPARE(c.Combo1->count(), 4);
    QCOMPARE(c.Combo1->itemText(3), QString());
    QVERIFY(!form->isVisible());
    QTRY_VERIFY(f.form1.findChild<QMessageBox *>(QStringLiteral("sendFailure")));
}

void TestPagingForms::oneViewerAndReplyAtThePress()
{
    Fixture f;
    f.addPage(QStringLiteral("10.0.0.1"), QStringLiteral("first line"), QStringLiteral("first text"));
    f.addPage(QStringLiteral("10.0.0.2"), QStringLiteral("second line"), QStringLiteral("second text"));

    // Nothing selected: no viewer.
    f.pager.openViewer();
    QVERIFY(!f.pager.viewer());

    f.state.store.select(0);
    f.pager.openViewer();
    QPointer<Form3> viewer = f.pager.viewer();
    QVERIFY(viewer && viewer->isVisible());

    // A second double-click on another line shows the same viewer, not refilled.
    f.state.store.select(1);
    f.pager.openViewer();
    QCOMPARE(f.pager.viewer(), viewer.data());
    QCOMPARE(viewer->controls().Label1->text(), QStringLiteral("first line"));
    QCOMPARE(viewer->controls().Text1->toPlainText(), QStringLiteral("first text"));
    int windows = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        windows += qobject_cast<Form3 *>(w) ? 1 : 0;
    QCOMPARE(windows, 1);

    // Reply goes to the line selected at the press, not to the one on display.
    QTest::mouseClick(viewer->controls().Command2, Qt::LeftButton);
    QCOMPARE(f.pager.sendDialog()->controls().Combo1->currentText(), QStringLiteral("10.0.0.2"));
    QVERIFY(viewer->isVisible());

    // Close destroys it; the next double-click makes a fresh one from the selection then.
    QTest::mouseClick(viewer->controls().Command1, Qt::LeftButton);
    QTRY_VERIFY(viewer.isNull());
    QVERIFY(!f.pager.viewer());
    f.pager.openViewer();
    QVERIFY(f.pager.viewer());
    QCOMPARE(f.pager.viewer()->controls().Label1->text(), QStringLiteral("second line"));
}

void TestPagingForms::unresolvableHostIsReported()
{
    Fixture f;
    f.pager.openSendDialog();
    Form2 *form = f.pager.sendDialog();
    form->controls().Combo1->setEditText(QStringLiteral("nonexistent.invalid"));
    form->controls().Text1->setPlainText(QStringLiteral("hello"));
    QSignalSpy failed(&f.UDP1, &UdpControl::sendFailed);
    QTest::mouseClick(form->controls().Command1, Qt::LeftButton);
    // "&OK" keeps its steps and does not wait for the name.
    QVERIFY(!form->isVisible());
    QCOMPARE(form->controls().Combo1->itemText(0), QStringLiteral("nonexistent.invalid"));

    QVERIFY(failed.wait(30000));
    QMessageBox *box = nullptr;
    QTRY_VERIFY([&] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *b = qobject_cast<QMessageBox *>(w); b && b->isVisible())
                box = b;
        return box != nullptr;
    }());
    QCOMPARE(box->parentWidget(), &f.form1);
    QVERIFY2(box->text().contains(QStringLiteral("nonexistent.invalid")), qPrintable(box->text()));
    QVERIFY2(box->text().contains(failed.first().at(1).toString()), qPrintable(box->text()));
    QVERIFY(!f.peer.hasPendingDatagrams());
    box->close();
}

QTEST_MAIN(TestPagingForms)
#include "tst_paging_forms.moc"

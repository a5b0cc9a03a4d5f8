#include <memory>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "layouts/artwork.h"
#include "paging/form2.h"
#include "paging/form3.h"
#include "platform/settingsstore.h"
#include "platform/sockets.h"
#include "platform/soundplayer.h"
#include "shell/form1.h"
#include "shell/form4.h"
#include "state/appstate.h"

#include "testsupport.h"

using namespace tolvex;
using namespace tolvex::testing;

namespace {

// Every window made the way the program makes it, with what it needs around it.
struct Windows
{
    AppState state;
    UdpControl UDP1{0, 0};
    QTemporaryDir settingsDir;
    SettingsStore settings{settingsDir.filePath(QStringLiteral("settings.ini"))};
    QuietPlayer player;

    std::unique_ptr<QWidget> make(const QString &name)
    {
        if (name == QStringLiteral("Form1")) {
            // The main window as the splash's hand-over leaves it: made and started up,
            // on free ports.
            auto form = std::make_unique<Form1>(settings, player, Form1Ports{0, 0, 0});
            const QString failure = form->startUp();
            if (!failure.isEmpty())
                qWarning("start-up failed: %s", qPrintable(failure));
            return failure.isEmpty() ? std::move(form) : nullptr;
        }
        if (name == QStringLiteral("Form2"))
            return std::make_unique<Form2>(state, UDP1);
        if (name == QStringLiteral("Form3"))
            return std::make_unique<Form3>(QString(), QString());
        if (name == QStringLiteral("Form4"))
            return std::make_unique<Form4>([] {}, QSize(800, 600));
        return {};
    }
};

QString shownText(const QWidget *control)
{
    if (auto *label = qobject_cast<const QLabel *>(control))
        return label->text();
    if (auto *button = qobject_cast<const QAbstractButton *>(control))
        return button->text();
    if (auto *box = qobject_cast<const QPlainTextEdit *>(control))
        return box->toPlainText();
    if (auto *combo = qobject_cast<const QComboBox *>(control))
        return combo->currentText();
    return QString();
}

// The window's own controls that Tab visits, in the order it visits them.
QStringList tabChain(QWidget *window)
{
    QStringList chain;
    for (QWidget *w = window->nextInFocusChain(); w != window; w = w->nextInFocusChain()) {
        if (w->parentWidget() != window || w->objectName().isEmpty())
            continue;
        if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && !w->isHidden() && !chain.contains(w->objectName()))
            chain << w->objectName();
    }
    return chain;
}

// The window's own control that holds the focus (a combo box's field counts as the box).
QString focusedControl(QWidget *window)
{
    QWidget *w = QApplication::focusWidget();
    while (w && w->parentWidget() != window)
        w = w->parentWidget();
    return w ? w->objectName() : QString();
}

// The Tab order as the user meets it: the Tab cycle, starting at the control that has
// the focus when the window opens. The window is shown for this.
QStringList tabOrderFromOpening(QWidget *window)
{
    window->show();
    if (!QTest::qWaitForWindowActive(window))
        return {QStringLiteral("<window never became active>")};
    QStringList chain = tabChain(window);
    const qsizetype first = chain.indexOf(focusedControl(window));
    if (first < 0)
        return chain.isEmpty() ? chain : QStringList{QStringLiteral("<no control has the focus>")};
    return chain.mid(first) + chain.first(first);
}

QRect px(int left, int top, int width, int height) { return QRect(left / 15, top / 15, width / 15, height / 15); }

} // namespace

class TestLayouts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void controls_data();
    void controls();
    void windows_data();
    void windows();
    void splashPicture();
    void mainPictureCutNotScaled();
    void iconsOfTheirOwn();
};

void TestLayouts::controls_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("tab"); // place in the Tab order; -1 for a control Tab skips

    const QString f1 = QStringLiteral("Form1");
    QTest::newRow("Form1 Picture1") << f1 << QStringLiteral("Picture1") << px(4500, 2040, 255, 195) << QString() << 5;
    QTest::newRow("Form1 Command4") << f1 << QStringLiteral("Command4") << px(1380, 2520, 1035, 255) << QStringLiteral("Set &Pass") << 4;
    QTest::newRow("Form1 Command3") << f1 << QStringLiteral("Command3") << px(1380, 2220, 1035, 255) << QStringLiteral("&Off") << 3;
    QTest::newRow("Form1 Command2") << f1 << QStringLiteral("Command2") << px(420, 2520, 915, 255) << QStringLiteral("Set &Name") << 2;
    QTest::newRow("Form1 List1") << f1 << QStringLiteral("List1") << px(600, 720, 4155, 1215) << QString() << 1;
    QTest::newRow("Form1 Command1") << f1 << QStringLiteral("Command1") << px(420, 2220, 915, 255) << QStringLiteral("&Send") << 0;
    // The status line as the start-up leaves it.
    QTest::newRow("Form1 Label1") << f1 << QStringLiteral("Label1") << px(600, 420, 4155, 255)
                                  << QStringLiteral("Local host is ") + UdpControl::localHostName() + QStringLiteral(" (")
                                         + UdpControl::localHostIP() + u')'
                                  << -1;

    const QString f2 = QStringLiteral("Form2");
    QTest::newRow("Form2 Command1") << f2 << QStringLiteral("Command1") << px(3120, 2400, 675, 375) << QStringLiteral("&OK") << 2;
    QTest::newRow("Form2 Text1") << f2 << QStringLiteral("Text1") << px(1020, 480, 2775, 1815) << QString() << 1;
    QTest::newRow("Form2 Combo1") << f2 << QStringLiteral("Combo1") << px(1020, 60, 2775, 315) << QString() << 0;
    QTest::newRow("Form2 Label2") << f2 << QStringLiteral("Label2") << px(60, 540, 795, 255) << QStringLiteral("Message:") << -1;
    QTest::newRow("Form2 Label1") << f2 << QStringLiteral("Label1") << px(60, 120, 855, 255) << QStringLiteral("Hostname:") << -1;

    const QString f3 = QStringLiteral("Form3");
    QTest::newRow("Form3 Command2") << f3 << QStringLiteral("Command2") << px(4500, 2400, 675, 315) << QStringLiteral("&Reply") << 2;
    QTest::newRow("Form3 Command1") << f3 << QStringLiteral("Command1") << px(5280, 2400, 675, 315) << QStringLiteral("&Close") << 1;
    QTest::newRow("Form3 Text1") << f3 << QStringLiteral("Text1") << px(60, 540, 5895, 1695) << QString() << 0;
    QTest::newRow("Form3 Label1") << f3 << QStringLiteral("Label1") << px(60, 120, 5835, 255) << QString() << -1;

    const QString f4 = QStringLiteral("Form4");
    QTest::newRow("Form4 Label3") << f4 << QStringLiteral("Label3") << px(420, 1800, 3195, 615)
                                  << QStringLiteral("This program is protected by copyright law; copying or passing it on "
                                                    "without the maker's leave is forbidden.")
                                  << -1;
    QTest::newRow("Form4 Label2") << f4 << QStringLiteral("Label2") << px(420, 1560, 2895, 315)
                                  << QStringLiteral("Copyright (C) 1997 Tolvex Software Works") << -1;
    QTest::newRow("Form4 Label1") << f4 << QStringLiteral("Label1") << px(360, 1320, 2295, 315)
                                  << QStringLiteral("Version 2.00 (Build 3 - \"Verno\")") << -1;
}

void TestLayouts::controls()
{
    QFETCH(QString, window);
    QFETCH(QString, control);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);
    QFETCH(int, tab);

    Windows windows;
    const std::unique_ptr<QWidget> form = windows.make(window);
    QVERIFY(form);
    auto *widget = form->findChild<QWidget *>(control, Qt::FindDirectChildrenOnly);
    QVERIFY2(widget, qPrintable(control));
    QCOMPARE(widget->geometry(), geometry);
    QCOMPARE(shownText(widget), text);
    QCOMPARE(tabOrderFromOpening(form.get()).indexOf(control), tab);
    QVERIFY(widget->isEnabled());
    QVERIFY(!widget->isHidden());
    if (auto *button = qobject_cast<QPushButton *>(widget)) {
        QVERIFY(!button->isDefault());
        QVERIFY(!button->autoDefault());
    }
}

void TestLayouts::windows_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QSize>("client");
    QTest::addColumn<QPoint>("position");
    QTest::addColumn<bool>("frameless");
    QTest::addColumn<QString>("firstFocus");
    QTest::addColumn<QStringList>("controls"); // the window's visible controls, creation order

    QTest::newRow("Form1") << QStringLiteral("Form1") << QStringLiteral("Tolvex - The Internet Pager") << QSize(348, 200)
                           << QPoint(100, 100) << true << QStringLiteral("Command1")
                           << QStringList{QStringLiteral("Picture1"), QStringLiteral("Command4"), QStringLiteral("Command3"),
                                          QStringLiteral("Command2"), QStringLiteral("List1"), QStringLiteral("Command1"),
                                          QStringLiteral("Label1")};
    QTest::newRow("Form2") << QStringLiteral("Form2") << QStringLiteral("Send Message") << QSize(269, 191)
                           << QPoint(94, 153) << false << QStringLiteral("Combo1")
                           << QStringList{QStringLiteral("Command1"), QStringLiteral("Text1"), QStringLiteral("Combo1"),
                                          QStringLiteral("Label2"), QStringLiteral("Label1")};
    QTest::newRow("Form3") << QStringLiteral("Form3") << QStringLiteral("Message Viewer") << QSize(403, 185)
                           << QPoint(32, 90) << false << QStringLiteral("Text1")
                           << QStringList{QStringLiteral("Command2"), QStringLiteral("Command1"), QStringLiteral("Text1"),
                                          QStringLiteral("Label1")};
    QTest::newRow("Form4") << QStringLiteral("Form4") << QStringLiteral("Form4") << QSize(350, 250)
                           << QPoint(225, 175) << true << QString()
                           << QStringList{QStringLiteral("Label3"), QStringLiteral("Label2"), QStringLiteral("Label1")};
}

void TestLayouts::windows()
{
    QFETCH(QString, window);
    QFETCH(QString, title);
    QFETCH(QSize, client);
    QFETCH(QPoint, position);
    QFETCH(bool, frameless);
    QFETCH(QString, firstFocus);
    QFETCH(QStringList, controls);

    Windows windows;
    const std::unique_ptr<QWidget> form = windows.make(window);
    QVERIFY(form);
    QCOMPARE(form->objectName(), window);
    QCOMPARE(form->windowTitle(), title);
    QVERIFY(form->isWindow());
    QCOMPARE(form->size(), client);
    // Fixed size: the user cannot resize any of the windows.
    QCOMPARE(form->minimumSize(), client);
    QCOMPARE(form->maximumSize(), client);
    QCOMPARE(form->pos(), position);
    const Qt::WindowFlags flags = form->windowFlags();
    QCOMPARE(bool(flags & Qt::FramelessWindowHint), frameless);
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    if (!frameless)
        QVERIFY(flags & Qt::WindowTitleHint);

    QStringList made;
    const auto children = form->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    for (const QWidget *child : children)
        if (!child->isHidden())
            made << child->objectName();
    QCOMPARE(made, controls);

    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    QCOMPARE(form->pos(), position);
    QCOMPARE(form->size(), client);
    if (!firstFocus.isEmpty()) {
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        QTRY_COMPARE(focusedControl(form.get()), firstFocus);
    } else {
        QCOMPARE(tabOrderFromOpening(form.get()), QStringList());
    }
}

void TestLayouts::splashPicture()
{
    Form4 splash([] {}, QSize(800, 600));
    QCOMPARE(form4Background().size(), QSize(350, 250));
    splash.show();
    QVERIFY(QTest::qWaitForWindowExposed(&splash));
    const QImage shot = splash.grab().toImage();
    QCOMPARE(shot.size(), QSize(350, 250));
    // The labels stand on the uniform grey field; the edge is bevelled (lighter top-left,
    // darker bottom-right); the splash shows its picture and nothing over it but the labels.
    QCOMPARE(shot.pixelColor(200, 160), QColor(189, 189, 189));
    QCOMPARE(shot.pixelColor(20, 120), QColor(189, 189, 189));
    QVERIFY(shot.pixelColor(1, 1).lightness() > 189);
    QVERIFY(shot.pixelColor(348, 248).lightness() < 189);
    const QImage picture = form4Background().toImage();
    QCOMPARE(shot.pixelColor(60, 40), picture.pixelColor(60, 40));
    // Some blue of the product name at the top left.
    bool blue = false;
    for (int x = 10; x < 170 && !blue; ++x)
        for (int y = 10; y < 80 && !blue; ++y) {
            const QColor c = shot.pixelColor(x, y);
            blue = c.blue() > 100 && c.red() < 80 && c.green() < 80;
        }
    QVERIFY(blue);
    // The version line wraps nothing and the notice wraps inside its label.
    QVERIFY(splash.Label3->wordWrap());
    QVERIFY(!splash.Label1->wordWrap());
}

void TestLayouts::mainPictureCutNotScaled()
{
    Windows windows;
    const auto form = windows.make(QStringLiteral("Form1"));
    QVERIFY(form);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    const QImage picture = form1Background().toImage();
    QCOMPARE(picture.size(), QSize(350, 200));
    const QImage shot = form->grab().toImage();
    QCOMPARE(shot.size(), QSize(348, 200));
    // Drawn at its own size from the top-left corner: the window's last column is the
    // picture's column 347, and the picture's last two columns are not seen.
    for (const QPoint p : {QPoint(0, 0), QPoint(347, 5), QPoint(347, 100), QPoint(200, 190), QPoint(20, 60)})
        QCOMPARE(shot.pixelColor(p), picture.pixelColor(p));
    QVERIFY(picture.pixelColor(349, 100) != picture.pixelColor(347, 100));
}

void TestLayouts::iconsOfTheirOwn()
{
    Windows windows;
    const auto f2 = windows.make(QStringLiteral("Form2"));
    const auto f3 = windows.make(QStringLiteral("Form3"));
    const QImage two = f2->windowIcon().pixmap(32, 32).toImage();
    const QImage three = f3->windowIcon().pixmap(32, 32).toImage();
    QVERIFY(!two.isNull());
    QVERIFY(!three.isNull());
    QVERIFY(two != three);
    QVERIFY(three != form1Icon().pixmap(32, 32).toImage());
    QVERIFY(form3Icon().availableSizes().contains(QSize(16, 16)));
    QVERIFY(form3Icon().availableSizes().contains(QSize(32, 32)));
}

QTEST_MAIN(TestLayouts)
#include "tst_layouts.moc"

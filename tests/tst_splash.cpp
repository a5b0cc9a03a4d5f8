#include <QApplication>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "shell/form4.h"

using namespace tolvex;

class TestSplash : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void centring_data();
    void centring();
    void placedWhenMade();
    void handsOverOnceAfterTheTimer();
    void clicksAndKeysDoNothing();
};

void TestSplash::centring_data()
{
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<QSize>("window");
    QTest::addColumn<QPoint>("expected");

    QTest::newRow("800 x 600") << QSize(800, 600) << QSize(350, 250) << QPoint(225, 175);
    QTest::newRow("1024 x 768") << QSize(1024, 768) << QSize(350, 250) << QPoint(337, 259);
    QTest::newRow("odd screen: halves in twips") << QSize(801, 601) << QSize(350, 250) << QPoint(225, 175);
    QTest::newRow("odd window") << QSize(1280, 1024) << QSize(351, 251) << QPoint(464, 386);
    QTest::newRow("screen as large as the splash") << QSize(350, 250) << QSize(350, 250) << QPoint(0, 0);
    QTest::newRow("smaller screen: overhangs evenly") << QSize(300, 200) << QSize(350, 250) << QPoint(-25, -25);
    QTest::newRow("smaller in one direction") << QSize(320, 600) << QSize(350, 250) << QPoint(-15, 175);
}

void TestSplash::centring()
{
    QFETCH(QSize, screen);
    QFETCH(QSize, window);
    QFETCH(QPoint, expected);
    QCOMPARE(splashPosition(screen, window), expected);
}

void TestSplash::placedWhenMade()
{
    Form4 splash([] {}, QSize(800, 600));
    QCOMPARE(splash.size(), QSize(350, 250));
    QCOMPARE(splash.pos(), QPoint(225, 175));
    Form4 overhanging([] {}, QSize(300, 200));
    QCOMPARE(overhanging.pos(), QPoint(-25, -25));
}

namespace {

// Counts the close requests a window receives.
class CloseCounter : public QObject
{
public:
    int closes = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Close)
            ++closes;
        return false;
    }
};

} // namespace

void TestSplash::handsOverOnceAfterTheTimer()
{
    // Runs the way the program does: the main window is made and shown inside the hand-over.
    Form4 *splash = nullptr;
    int calls = 0;
    bool splashVisibleDuring = true;
    bool timerActiveDuring = true;
    QStringList visibleDuring;
    QWidget main;
    main.setObjectName(QStringLiteral("main"));
    Form4 form([&] {
        ++calls;
        splashVisibleDuring = splash->isVisible();
        timerActiveDuring = splash->Timer1->isActive();
        const auto windows = QApplication::topLevelWidgets();
        for (QWidget *w : windows)
            if (w->isVisible())
                visibleDuring << w->objectName();
        main.show();
    }, QSize(800, 600));
    splash = &form;
    CloseCounter closes;
    form.installEventFilter(&closes);

    QCOMPARE(form.Timer1->interval(), 1500);
    QVERIFY(form.Timer1->isActive());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(calls, 0);

    QSignalSpy fired(form.Timer1, &QTimer::timeout);
    QVERIFY(fired.wait(5000));
    QCOMPARE(calls, 1);
    QVERIFY(!splashVisibleDuring);
    QVERIFY(!timerActiveDuring);
    QCOMPARE(visibleDuring, QStringList());
    QVERIFY(main.isVisible());

    // Hidden, not closed; the timer never fires again.
    QVERIFY(form.isHidden());
    QCOMPARE(closes.closes, 0);
    QVERIFY(!form.Timer1->isActive());
    QVERIFY(!fired.wait(2000));
    QCOMPARE(calls, 1);
    QVERIFY(form.isHidden());
}

void TestSplash::clicksAndKeysDoNothing()
{
    int calls = 0;
    Form4 form([&] { ++calls; }, QSize(800, 600));
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    QTest::mouseClick(&form, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseDClick(&form, Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mouseClick(form.Label1, Qt::LeftButton);
    QTest::mouseClick(form.Label3, Qt::RightButton);
    QTest::keyClick(&form, Qt::Key_Escape);
    QTest::keyClick(&form, Qt::Key_Return);
    QTest::keyClick(&form, Qt::Key_Space);
    QTest::keyClick(&form, Qt::Key_F4, Qt::AltModifier);

    QVERIFY(form.isVisible());
    QCOMPARE(form.pos(), QPoint(225, 175));
    QVERIFY(form.Timer1->isActive());
    QCOMPARE(calls, 0);
    // The display is not shortened: the hand-over still comes from the timer alone.
    QVERIFY(form.Timer1->remainingTime() > 0);
    QSignalSpy fired(form.Timer1, &QTimer::timeout);
    QVERIFY(fired.wait(5000));
    QCOMPARE(calls, 1);
}

QTEST_MAIN(TestSplash)
#include "tst_splash.moc"

#include <QApplication>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include "shell/messagelist_widgets.h"
#include "state/messagestore.h"

using namespace tolvex;

namespace {

// Files a line the way the receiver does: the line first, then the selection moves to it.
void fileLine(MessageStore &store, const QString &entry)
{
    store.appendLine(entry);
    store.select(store.lineCount() - 1);
    store.raiseCount();
}

QString entry(int i)
{
    return QStringLiteral("3/2/97 2:05:%1 PM from Ann (10.0.0.%2)").arg(i % 60, 2, 10, QLatin1Char('0')).arg(i % 256);
}

// Whether any pixel of the band of line `row` (counted from the top of the view) has `colour`.
bool bandHas(const QImage &image, int top, int height, const QColor &colour)
{
    for (int y = top; y < top + height && y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == colour)
                return true;
    return false;
}

} // namespace

class TestMessageList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void lineAfterKey_data();
    void lineAfterKey();
    void newestLineStaysInView();
    void drawsOnlyTheStoresLines();
    void clickAndDoubleClick_data();
    void clickAndDoubleClick();
    void keysMoveTheSelectionInView();
    void longLinesScrollSideways();

private:
    std::unique_ptr<MessageStore> store;
    std::unique_ptr<MessageList> list;
};

void TestMessageList::init()
{
    store = std::make_unique<MessageStore>();
    list = std::make_unique<MessageList>(*store);
    list->setFrameShape(QFrame::NoFrame);
    QPalette palette = list->palette();
    palette.setColor(QPalette::Base, Qt::black);
    palette.setColor(QPalette::Text, QColor(128, 255, 128));
    palette.setColor(QPalette::Highlight, QColor(0, 0, 255));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    list->setPalette(palette);
    list->resize(277, 81);
    list->show();
    QVERIFY(QTest::qWaitForWindowExposed(list.get()));
}

void TestMessageList::cleanup()
{
    list.reset();
    store.reset();
}

void TestMessageList::lineAfterKey_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<qsizetype>("selected");
    QTest::addColumn<qsizetype>("count");
    QTest::addColumn<qsizetype>("expected");
    QTest::newRow("down") << int(Qt::Key_Down) << qsizetype(3) << qsizetype(10) << qsizetype(4);
    QTest::newRow("down at the last line") << int(Qt::Key_Down) << qsizetype(9) << qsizetype(10) << qsizetype(9);
    QTest::newRow("up") << int(Qt::Key_Up) << qsizetype(3) << qsizetype(10) << qsizetype(2);
    QTest::newRow("up at the first line") << int(Qt::Key_Up) << qsizetype(0) << qsizetype(10) << qsizetype(0);
    QTest::newRow("page down") << int(Qt::Key_PageDown) << qsizetype(1) << qsizetype(10) << qsizetype(7);
    QTest::newRow("page down past the end") << int(Qt::Key_PageDown) << qsizetype(6) << qsizetype(10) << qsizetype(9);
    QTest::newRow("page up past the start") << int(Qt::Key_PageUp) << qsizetype(4) << qsizetype(10) << qsizetype(0);
    QTest::newRow("home") << int(Qt::Key_Home) << qsizetype(5) << qsizetype(10) << qsizetype(0);
    QTest::newRow("end") << int(Qt::Key_End) << qsizetype(5) << qsizetype(10) << qsizetype(9);
    QTest::newRow("end, nothing selected") << int(Qt::Key_End) << qsizetype(-1) << qsizetype(10) << qsizetype(9);
    QTest::newRow("down, nothing selected") << int(Qt::Key_Down) << qsizetype(-1) << qsizetype(10) << qsizetype(0);
    QTest::newRow("up, nothing selected") << int(Qt::Key_Up) << qsizetype(-1) << qsizetype(10) << qsizetype(0);
    QTest::newRow("empty list") << int(Qt::Key_Down) << qsizetype(-1) << qsizetype(0) << qsizetype(-1);
    QTest::newRow("a letter") << int(Qt::Key_A) << qsizetype(3) << qsizetype(10) << qsizetype(-1);
    QTest::newRow("tab") << int(Qt::Key_Tab) << qsizetype(3) << qsizetype(10) << qsizetype(-1);
}

void TestMessageList::lineAfterKey()
{
    QFETCH(int, key);
    QFETCH(qsizetype, selected);
    QFETCH(qsizetype, count);
    QFETCH(qsizetype, expected);
    QCOMPARE(tolvex::lineAfterKey(key, selected, count, 6), expected);
}

// Every arrival selects its line; the list follows it even when the user had scrolled away.
void TestMessageList::newestLineStaysInView()
{
    const int page = list->visibleLines();
    QVERIFY2(page >= 3, "the list shows a few lines at its size");
    for (int i = 0; i < 1000; ++i)
        fileLine(*store, entry(i));
    QCOMPARE(list->verticalScrollBar()->maximum(), 1000 - page);
    QCOMPARE(list->firstVisibleLine(), qsizetype(1000 - page));
    QCOMPARE(list->lineAt(QPoint(5, (page - 1) * list->lineHeight() + 1)), qsizetype(999));

    list->verticalScrollBar()->setValue(0);
    QCOMPARE(list->firstVisibleLine(), qsizetype(0));
    fileLine(*store, entry(1000));
    QCOMPARE(list->firstVisibleLine(), qsizetype(1001 - page));
    QCOMPARE(store->selectedIndex(), qsizetype(1000));
}

// The view shows the lines of the store, the selected one highlighted, and black below them.
void TestMessageList::drawsOnlyTheStoresLines()
{
    fileLine(*store, entry(0));
    fileLine(*store, entry(1));
    store->select(0);
    const QImage image = list->viewport()->grab().toImage();
    const int h = list->lineHeight();
    QVERIFY(bandHas(image, 0, h, QColor(0, 0, 255)));
    QVERIFY(bandHas(image, 0, h, Qt::white));
    QVERIFY(!bandHas(image, h, h, QColor(0, 0, 255)));
    QVERIFY(bandHas(image, h, h, QColor(128, 255, 128)));
    QVERIFY(!bandHas(image, 2 * h, image.height() - 2 * h, QColor(128, 255, 128)));
    QVERIFY(!bandHas(image, 2 * h, image.height() - 2 * h, QColor(0, 0, 255)));
}

void TestMessageList::clickAndDoubleClick_data()
{
    QTest::addColumn<bool>("doubleClick");
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("row");
    QTest::addColumn<qsizetype>("selected");
    QTest::addColumn<int>("doubleClicks");
    QTest::newRow("click on a line") << false << int(Qt::LeftButton) << 1 << qsizetype(1) << 0;
    QTest::newRow("click below the last line") << false << int(Qt::LeftButton) << 4 << qsizetype(2) << 0;
    QTest::newRow("right click on a line") << false << int(Qt::RightButton) << 0 << qsizetype(2) << 0;
    QTest::newRow("double-click on a line") << true << int(Qt::LeftButton) << 0 << qsizetype(0) << 1;
    QTest::newRow("double-click below the last line") << true << int(Qt::LeftButton) << 4 << qsizetype(2) << 1;
    QTest::newRow("right double-click") << true << int(Qt::RightButton) << 0 << qsizetype(2) << 0;
}

void TestMessageList::clickAndDoubleClick()
{
    QFETCH(bool, doubleClick);
    QFETCH(int, button);
    QFETCH(int, row);
    QFETCH(qsizetype, selected);
    QFETCH(int, doubleClicks);
    for (int i = 0; i < 3; ++i)
        fileLine(*store, entry(i));
    QSignalSpy spy(list.get(), &MessageList::doubleClicked);
    const QPoint at(20, row * list->lineHeight() + list->lineHeight() / 2);
    if (doubleClick)
        QTest::mouseDClick(list->viewport(), Qt::MouseButton(button), {}, at);
    else
        QTest::mouseClick(list->viewport(), Qt::MouseButton(button), {}, at);
    QCOMPARE(store->selectedIndex(), selected);
    QCOMPARE(spy.count(), doubleClicks);
}

void TestMessageList::keysMoveTheSelectionInView()
{
    for (int i = 0; i < 50; ++i)
        fileLine(*store, entry(i));
    list->setFocus();
    QTest::keyClick(list.get(), Qt::Key_Home);
    QCOMPARE(store->selectedIndex(), qsizetype(0));
    QCOMPARE(list->firstVisibleLine(), qsizetype(0));
    const int page = list->visibleLines();
    for (int i = 0; i < page; ++i)
        QTest::keyClick(list.get(), Qt::Key_Down);
    QCOMPARE(store->selectedIndex(), qsizetype(page));
    QCOMPARE(list->firstVisibleLine(), qsizetype(1));
    QTest::keyClick(list.get(), Qt::Key_End);
    QCOMPARE(store->selectedIndex(), qsizetype(49));
    QCOMPARE(list->firstVisibleLine(), qsizetype(50 - page));
    QTest::keyClick(list.get(), Qt::Key_PageUp);
    QCOMPARE(store->selectedIndex(), qsizetype(49 - page));
    QCOMPARE(list->firstVisibleLine(), qsizetype(49 - page));
}

// A long line (an IPv6 peer, a long name) can be scrolled to; nothing is cut off for good.
void TestMessageList::longLinesScrollSideways()
{
    fileLine(*store, entry(0));
    QCOMPARE(list->horizontalScrollBar()->maximum(), 0);
    const QString wide = QStringLiteral("3/2/97 2:05:09 PM from Zoë Kowalczyk-Øster (2001:db8:85a3::8a2e:370:7334)");
    fileLine(*store, wide);
    const int width = list->fontMetrics().horizontalAdvance(wide);
    QVERIFY(width > list->viewport()->width());
    QVERIFY(list->horizontalScrollBar()->maximum() >= width - list->viewport()->width());
    QTRY_VERIFY(list->horizontalScrollBar()->isVisible());
}

QTEST_MAIN(TestMessageList)
#include "tst_messagelist.moc"

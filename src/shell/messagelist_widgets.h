#pragma once

#include <QAbstractScrollArea>

namespace tolvex {

class MessageStore;

/// The main window's list of pages: one line per stored page, the selected line
/// highlighted. It lays nothing out: every line has the same height, and a repaint draws
/// only the lines in view. A new line, a new selection and a scroll therefore cost the same
/// with ten pages stored as with a hundred thousand.
///
/// The selection is the store's own; the list shows it, keeps it in view and moves it on a
/// click or a key, like any list box.
class MessageList : public QAbstractScrollArea
{
    Q_OBJECT

public:
    explicit MessageList(MessageStore &store, QWidget *parent = nullptr);

    /// Height of one line in pixels, from the list's font.
    int lineHeight() const;
    /// Number of whole lines the list shows at once (at least one).
    int visibleLines() const;
    /// Index of the topmost line in view.
    qsizetype firstVisibleLine() const;
    /// Index of the line at a point of the viewport, or -1 where there is no line.
    qsizetype lineAt(const QPoint &point) const;

Q_SIGNALS:
    /// A double-click of the left button anywhere in the list, on a line or below the
    /// last one. A double-click on a line has selected it first.
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void linesAppended(int first, int last);
    void selectionMoved();
    void measureAllLines();
    void updateScrollBars();

    MessageStore &store;
    // The widest line seen so far, in pixels: the horizontal scroll range.
    int widestLine = 0;
};

/// The line a list-box key moves the selection to, or -1 for a key that does not move it.
/// `selected` is the selected line (-1 for none), `count` the number of lines, `page` the
/// number of lines in view. Up and Down move by one, Page Up and Page Down by a page, Home
/// and End to the first and last line; with nothing selected, Up, Down, Page Up and Page
/// Down select the first line.
qsizetype lineAfterKey(int key, qsizetype selected, qsizetype count, int page);

} // namespace tolvex

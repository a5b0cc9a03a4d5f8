#include "messagelist_widgets.h"

#include <algorithm>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionFocusRect>

#include "state/messagestore.h"

namespace tolvex {

namespace {

// Room left of the text and right of the widest line, in pixels.
constexpr int TextMargin = 3;

} // namespace

qsizetype lineAfterKey(int key, qsizetype selected, qsizetype count, int page)
{
    if (count <= 0)
        return -1;
    const qsizetype last = count - 1;
    qsizetype step = 0;
    switch (key) {
    case Qt::Key_Home: return 0;
    case Qt::Key_End: return last;
    case Qt::Key_Up: step = -1; break;
    case Qt::Key_Down: step = 1; break;
    case Qt::Key_PageUp: step = -std::max(page, 1); break;
    case Qt::Key_PageDown: step = std::max(page, 1); break;
    default: return -1;
    }
    if (selected < 0)
        return 0;
    return std::clamp(selected + step, qsizetype(0), last);
}

MessageList::MessageList(MessageStore &store, QWidget *parent)
    : QAbstractScrollArea(parent)
    , store(store)
{
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setBackgroundRole(QPalette::Base);
    // Presses in the list are the list's: they must not reach the window and drag it.
    setAttribute(Qt::WA_NoMousePropagation);
    viewport()->setAttribute(Qt::WA_NoMousePropagation);
    connect(&store, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex &, int first, int last) { linesAppended(first, last); });
    connect(store.selection(), &QItemSelectionModel::selectionChanged, this, &MessageList::selectionMoved);
    measureAllLines();
}

int MessageList::lineHeight() const
{
    return fontMetrics().height() + 2;
}

int MessageList::visibleLines() const
{
    return std::max(1, viewport()->height() / lineHeight());
}

qsizetype MessageList::firstVisibleLine() const
{
    return verticalScrollBar()->value();
}

qsizetype MessageList::lineAt(const QPoint &point) const
{
    if (point.y() < 0 || point.x() < 0 || point.x() >= viewport()->width())
        return -1;
    const qsizetype line = firstVisibleLine() + point.y() / lineHeight();
    return line < store.lineCount() ? line : -1;
}

void MessageList::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    const int height = lineHeight();
    const int width = viewport()->width();
    const int left = TextMargin - horizontalScrollBar()->value();
    const qsizetype selected = store.selectedIndex();
    const QRect dirty = event->rect();
    // Only the lines that cross the part to repaint are drawn.
    qsizetype line = firstVisibleLine() + dirty.top() / height;
    for (int y = int(line - firstVisibleLine()) * height; y <= dirty.bottom() && line < store.lineCount();
         y += height, ++line) {
        const QRect row(0, y, width, height);
        QPalette::ColorRole text = QPalette::Text;
        if (line == selected) {
            painter.fillRect(row, palette().brush(QPalette::Highlight));
            text = QPalette::HighlightedText;
        }
        painter.setPen(palette().color(text));
        painter.drawText(QRect(left, y, widestLine + width, height),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, store.line(line));
        if (line == selected && hasFocus()) {
            QStyleOptionFocusRect focus;
            focus.initFrom(this);
            focus.rect = row;
            focus.backgroundColor = palette().color(QPalette::Highlight);
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
        }
    }
}

void MessageList::mousePressEvent(QMouseEvent *event)
{
    const qsizetype line = lineAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && line >= 0)
        store.select(line);
    event->accept();
}

void MessageList::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
}

void MessageList::mouseDoubleClickEvent(QMouseEvent *event)
{
    event->accept();
    if (event->button() != Qt::LeftButton)
        return;
    const qsizetype line = lineAt(event->position().toPoint());
    if (line >= 0)
        store.select(line);
    Q_EMIT doubleClicked();
}

void MessageList::keyPressEvent(QKeyEvent *event)
{
    const qsizetype line = event->modifiers() & ~Qt::KeypadModifier
                               ? -1
                               : lineAfterKey(event->key(), store.selectedIndex(), store.lineCount(), visibleLines());
    if (line < 0) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    store.select(line);
    event->accept();
}

void MessageList::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void MessageList::changeEvent(QEvent *event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        measureAllLines();
        viewport()->update();
    }
}

void MessageList::linesAppended(int first, int last)
{
    const QFontMetrics metrics = fontMetrics();
    for (int line = first; line <= last; ++line)
        widestLine = std::max(widestLine, metrics.horizontalAdvance(store.line(line)));
    updateScrollBars();
    // A new line is drawn only when it lands in view.
    if (first < firstVisibleLine() + visibleLines() + 1)
        viewport()->update();
}

void MessageList::selectionMoved()
{
    const qsizetype selected = store.selectedIndex();
    if (selected >= 0) {
        const qsizetype top = firstVisibleLine();
        if (selected < top)
            verticalScrollBar()->setValue(int(selected));
        else if (selected >= top + visibleLines())
            verticalScrollBar()->setValue(int(selected - visibleLines() + 1));
    }
    viewport()->update();
}

// Only when the font changes: every line is measured again.
void MessageList::measureAllLines()
{
    const QFontMetrics metrics = fontMetrics();
    widestLine = 0;
    for (qsizetype line = 0; line < store.lineCount(); ++line)
        widestLine = std::max(widestLine, metrics.horizontalAdvance(store.line(line)));
    updateScrollBars();
}

void MessageList::updateScrollBars()
{
    const int page = visibleLines();
    QScrollBar *vertical = verticalScrollBar();
    vertical->setSingleStep(1);
    vertical->setPageStep(page);
    vertical->setRange(0, int(std::max<qsizetype>(0, store.lineCount() - page)));
    QScrollBar *horizontal = horizontalScrollBar();
    horizontal->setSingleStep(std::max(1, fontMetrics().averageCharWidth() * 2));
    horizontal->setPageStep(viewport()->width());
    horizontal->setRange(0, std::max(0, widestLine + 2 * TextMargin - viewport()->width()));
}

} // namespace tolvex

#include "artwork.h"

#include <QFont>
#include <QPainter>

namespace tolvex {

namespace {

void bevel(QPainter &p, const QRect &r, const QColor &light, const QColor &dark, int width)
{
    for (int i = 0; i < width; ++i) {
        const QRect e = r.adjusted(i, i, -i, -i);
        p.setPen(light);
        p.drawLine(e.topLeft(), e.topRight());
        p.drawLine(e.topLeft(), e.bottomLeft());
        p.setPen(dark);
        p.drawLine(e.bottomLeft(), e.bottomRight());
        p.drawLine(e.topRight(), e.bottomRight());
    }
}

QPixmap iconImage(int size, const QColor &body, const QColor &mark, int shape)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    const int m = size / 8;
    const QRect box(m, m * 2, size - 2 * m - 1, size - 4 * m - 1);
    p.fillRect(box, body);
    bevel(p, box, Qt::white, Qt::black, 1);
    p.setPen(QPen(mark, qMax(1, size / 16)));
    if (shape == 0) { // pager: a screen with a lamp
        p.fillRect(box.adjusted(m, m, -m, -box.height() / 2), Qt::black);
        p.fillRect(QRect(box.right() - 2 * m, box.bottom() - 2 * m, m, m), mark);
    } else if (shape == 1) { // send: an envelope
        p.drawLine(box.topLeft(), box.center());
        p.drawLine(box.topRight(), box.center());
    } else { // viewer: lines of text
        for (int y = box.top() + m; y < box.bottom() - m / 2; y += qMax(2, size / 8))
            p.drawLine(box.left() + m, y, box.right() - m, y);
    }
    return pixmap;
}

QIcon makeIcon(const QColor &body, const QColor &mark, int shape)
{
    QIcon icon;
    icon.addPixmap(iconImage(32, body, mark, shape));
    icon.addPixmap(iconImage(16, body, mark, shape));
    return icon;
}

} // namespace

QPixmap form1Background()
{
    QPixmap pixmap(350, 200);
    pixmap.fill(QColor(192, 192, 192));
    QPainter p(&pixmap);
    bevel(p, pixmap.rect(), Qt::white, QColor(64, 64, 64), 2);
    const QRect panel(34, 22, 289, 113);
    p.fillRect(panel, QColor(96, 96, 96));
    bevel(p, panel, QColor(64, 64, 64), Qt::white, 2);
    const QRect band(8, 142, 334, 50);
    p.fillRect(band, QColor(176, 176, 176));
    bevel(p, band, Qt::white, QColor(128, 128, 128), 1);
    QFont font(QStringLiteral("Sans Serif"));
    font.setPixelSize(9);
    font.setItalic(true);
    p.setFont(font);
    p.setPen(QColor(0, 0, 128));
    p.drawText(QRect(170, 176, 166, 14), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("Tolvex Software Works"));
    return pixmap;
}

QPixmap form4Background()
{
    QPixmap pixmap(350, 250);
    pixmap.fill(QColor(189, 189, 189));
    QPainter p(&pixmap);
    bevel(p, pixmap.rect(), Qt::white, QColor(96, 96, 96), 3);
    QFont title(QStringLiteral("Serif"));
    title.setPixelSize(44);
    title.setItalic(true);
    title.setBold(true);
    p.setFont(title);
    p.setPen(QColor(0, 0, 160));
    p.drawText(QRect(20, 14, 320, 60), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Tolvex"));
    QFont maker(QStringLiteral("Sans Serif"));
    maker.setPixelSize(11);
    maker.setItalic(true);
    p.setFont(maker);
    p.drawText(QRect(150, 222, 188, 18), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("Tolvex Software Works"));
    return pixmap;
}

QIcon form1Icon() { return makeIcon(QColor(192, 192, 192), QColor(255, 0, 0), 0); }
QIcon form2Icon() { return makeIcon(QColor(255, 255, 128), QColor(0, 0, 128), 1); }
QIcon form3Icon() { return makeIcon(QColor(128, 192, 255), QColor(0, 0, 0), 2); }

} // namespace tolvex

#include "form4.h"

#include <utility>

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>

#include "layouts/artwork.h"
#include "layouts/form2layout.h"

namespace tolvex {

namespace {

constexpr int TwipsPerPixel = 15;

constexpr QSize SplashSize(twips(5250), twips(3750));
constexpr int SplashMilliseconds = 1500;

} // namespace

QPoint splashPosition(QSize screen, QSize window)
{
    const int left = (screen.width() * TwipsPerPixel) / 2 - (window.width() * TwipsPerPixel) / 2;
    const int top = (screen.height() * TwipsPerPixel) / 2 - (window.height() * TwipsPerPixel) / 2;
    return QPoint(left / TwipsPerPixel, top / TwipsPerPixel);
}

Form4::Form4(std::function<void()> handOver, std::optional<QSize> screen, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , handOver(std::move(handOver))
    , background(form4Background())
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Form4"));
    setFixedSize(SplashSize);
    setFocusPolicy(Qt::NoFocus);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(SplashMilliseconds);
    Timer1->setSingleShot(true);
    connect(Timer1, &QTimer::timeout, this, &Form4::handOverToMain);

    Label3 = plainLabel(QStringLiteral("This program is protected by copyright law; copying or "
                                        "passing it on without the maker's leave is forbidden."),
                        this, twipsRect(420, 1800, 3195, 615), QStringLiteral("Label3"));
    Label3->setWordWrap(true);
    Label3->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label2 = plainLabel(QStringLiteral("Copyright (C) 1997 Tolvex Software Works"),
                        this, twipsRect(420, 1560, 2895, 315), QStringLiteral("Label2"));
    Label1 = plainLabel(SplashVersion, this, twipsRect(360, 1320, 2295, 315), QStringLiteral("Label1"));
    // The version line's one display setting: right-aligned text.
    Label1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    QPoint origin;
    QSize screenSize = screen.value_or(QSize());
    if (!screen) {
        if (const QScreen *primary = QGuiApplication::primaryScreen()) {
            origin = primary->geometry().topLeft();
            screenSize = primary->geometry().size();
        }
    }
    move(origin + splashPosition(screenSize, size()));

    Timer1->start();
}

void Form4::handOverToMain()
{
    hide();
    Timer1->stop();
    if (handOver)
        handOver();
}

void Form4::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawPixmap(0, 0, background);
}

// The splash takes no input: clicks and keys are swallowed, and a close asked by the
// window system does not end it early.
void Form4::mousePressEvent(QMouseEvent *event) { event->accept(); }
void Form4::mouseReleaseEvent(QMouseEvent *event) { event->accept(); }
void Form4::mouseDoubleClickEvent(QMouseEvent *event) { event->accept(); }
void Form4::keyPressEvent(QKeyEvent *event) { event->accept(); }
void Form4::keyReleaseEvent(QKeyEvent *event) { event->accept(); }
void Form4::closeEvent(QCloseEvent *event)
{
    if (event->spontaneous())
        event->ignore();
    else
        QWidget::closeEvent(event);
}

} // namespace tolvex

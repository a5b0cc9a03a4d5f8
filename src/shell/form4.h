#pragma once

#include <functional>
#include <optional>

#include <QPoint>
#include <QSize>
#include <QWidget>

class QLabel;
class QTimer;

namespace tolvex {

/// The splash's version line.
inline const QString SplashVersion = QStringLiteral("Version 2.00 (Build 3 - \"Verno\")");

/// Where a window of `window` pixels is placed to stand centred on a screen of `screen`
/// pixels: each half is taken (in twips, whole numbers) before the subtraction. On a
/// screen smaller than the window the corner is negative, the window overhanging evenly.
/// 800 x 600 with 350 x 250 gives (225, 175).
QPoint splashPosition(QSize screen, QSize window);

/// The splash window: borderless, 350 x 250, our own artwork, the version line and two
/// notices. Centred when made, shown by the caller; 1500 ms after it is made `Timer1`
/// hands over: the splash hides (it is not closed), the timer stops for good and
/// `handOver` runs (the main window's start). It takes no clicks or keys.
class Form4 : public QWidget
{
    Q_OBJECT

public:
    /// `screen` is the screen size to centre on; without it, the primary screen's.
    explicit Form4(std::function<void()> handOver, std::optional<QSize> screen = std::nullopt,
                   QWidget *parent = nullptr);

    QLabel *Label1 = nullptr; ///< the version line
    QLabel *Label2 = nullptr; ///< the maker and the year
    QLabel *Label3 = nullptr; ///< the legal notice
    QTimer *Timer1 = nullptr; ///< ends the splash

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void handOverToMain();

    std::function<void()> handOver;
    QPixmap background;
};

} // namespace tolvex

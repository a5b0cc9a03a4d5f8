#pragma once

#include <memory>

#include <QPoint>
#include <QWidget>

#include "paging/alert.h"
#include "platform/settingsstore.h"
#include "platform/sockets.h"
#include "platform/soundplayer.h"
#include "state/appstate.h"

class QLabel;
class QPushButton;

namespace tolvex {

class MessageList;
class Pager;
class RemoteAccess;

/// The ports of the three socket controls, as the layout stores them (tests use others).
struct Form1Ports
{
    quint16 telnet = 23;
    quint16 pages = 24;
    quint16 pagesRemote = 24;
};

/// The main window: owns the state record, the message list, the status label, the
/// indicator, the three socket controls and the alarm player for the whole run, and
/// wires the paging and remote-access handlers to them.
class Form1 : public QWidget, public AlertWindow
{
    Q_OBJECT

public:
    Form1(SettingsStore &settings, SoundPlayer &player, Form1Ports ports = {}, QWidget *parent = nullptr);
    ~Form1() override;

    /// The start-up steps, in order. Returns what failed, in words a user can act on, or
    /// an empty text when the window is ready to be shown.
    QString startUp();

    /// The directory of the program, where alarm.wav and tolvex.log live.
    QString programDirectory() const;

    AppState state;
    TcpControl TCP1;
    TcpControl TCP2;
    UdpControl UDP1;
    SoundPlayer &MMControl1;
    Alert alert;

    MessageList *List1 = nullptr;
    QLabel *Label1 = nullptr;
    QWidget *Picture1 = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *Command2 = nullptr;
    QPushButton *Command3 = nullptr;
    QPushButton *Command4 = nullptr;

    // The new-message alert's view of the window.
    void setIndicatorColor(const QColor &color) override;
    void setTitle(const QString &title) override;
    void beep() override;
    void drawAttention() override;

    /// The colour the indicator shows now.
    QColor indicatorColor() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();

    SettingsStore &settings;
    SocketFailure bindFailure;
    bool bound = false;
    std::unique_ptr<Pager> pager;
    std::unique_ptr<RemoteAccess> remote;

    // Dragging the background: the point grabbed, and whether the window system moves us.
    QPoint grabbed;
    bool dragging = false;
    bool systemMove = false;
};

/// Words for a port that could not be opened, naming the port and what to do.
QString portFailureText(const QString &kind, quint16 port, const SocketFailure &failure);

/// Create the main window, run its start-up steps and show it. On a failure the user is
/// told in a message box and the program ends with status 1; returns null then.
Form1 *showForm1();

} // namespace tolvex

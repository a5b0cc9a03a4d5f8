#pragma once

#include <functional>

#include <QObject>
#include <QString>
#include <QTimer>

#include "remote/dispatcher.h"
#include "remote/telnetfilter.h"
#include "state/appstate.h"

namespace tolvex {

class Alert;
class AlertWindow;
class TcpControl;

/// Remote access over telnet: greets each caller that `TCP1` hands over, carries the one
/// session on `TCP2` through the telnet filter and the session dispatcher, and refuses a
/// second caller while a session is connected. Opening the listener is the owner's job.
class RemoteAccess : public QObject, private SessionLink
{
    Q_OBJECT

public:
    /// `setStatus` writes the main window's status label.
    RemoteAccess(AppState &state, TcpControl &TCP1, TcpControl &TCP2, Alert &alert, AlertWindow &window,
                 std::function<void(const QString &)> setStatus, QObject *parent = nullptr);

    /// Pause between a wrong passcode and its answer, in milliseconds (about two seconds).
    static constexpr int WrongPasscodePauseMs = 2000;

private:
    void onConnectionRequest(qintptr requestId);
    void onDataArrival();
    void onCallerHungUp();

    // SessionLink
    void send(const QString &text) override;
    void close() override;
    QString remoteAddress() const override;
    QString remoteHost() const override;
    void pauseBeforeRefusal() override;

    AppState &state;
    TcpControl &TCP1;
    TcpControl &TCP2;
    AlertWindow &window;
    std::function<void(const QString &)> setStatus;
    TelnetFilter filter;
    SessionDispatcher dispatcher;
    QTimer refusalTimer;
};

} // namespace tolvex

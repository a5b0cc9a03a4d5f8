#include "remoteaccess.h"

#include "paging/alert.h"
#include "platform/codepage.h"
#include "platform/sockets.h"

namespace tolvex {

RemoteAccess::RemoteAccess(AppState &state, TcpControl &TCP1, TcpControl &TCP2, Alert &alert,
                           AlertWindow &window, std::function<void(const QString &)> setStatus, QObject *parent)
    : QObject(parent)
    , state(state)
    , TCP1(TCP1)
    , TCP2(TCP2)
    , window(window)
    , setStatus(std::move(setStatus))
    , dispatcher(state, *this, alert)
{
    refusalTimer.setSingleShot(true);
    refusalTimer.setInterval(WrongPasscodePauseMs);
    connect(&refusalTimer, &QTimer::timeout, this, [this] { dispatcher.refusePasscode(); });
    connect(&TCP1, &TcpControl::connectionRequest, this, &RemoteAccess::onConnectionRequest);
    connect(&TCP2, &TcpControl::dataArrival, this, &RemoteAccess::onDataArrival);
    connect(&TCP2, &TcpControl::closeEvent, this, &RemoteAccess::onCallerHungUp);
}

void RemoteAccess::onConnectionRequest(qintptr requestId)
{
    if (TCP2.isConnected()) {
        // One caller at a time: the one connected keeps the pager.
        TcpControl::refuse(requestId, toAnsi(SessionDispatcher::busyLine()));
        return;
    }
    refusalTimer.stop();
    TCP2.accept(requestId);
    if (setStatus)
        setStatus(QStringLiteral("Login via Telnet detected   ") + TCP2.remoteHostIP());
    window.beep();
    filter.reset();
    TCP2.sendBytes(filter.offer());
    dispatcher.greet();
}

void RemoteAccess::onDataArrival()
{
    const TelnetFilter::Output out = filter.feed(TCP2.getDataBytes());
    if (!out.reply.isEmpty())
        TCP2.sendBytes(out.reply);
    if (out.data.isEmpty())
        return; // nothing but negotiation
    dispatcher.handleChunk(fromAnsi(out.data));
}

void RemoteAccess::onCallerHungUp()
{
    refusalTimer.stop();
    TCP2.close();
    state.SessionState = Idle;
}

void RemoteAccess::send(const QString &text)
{
    TCP2.sendBytes(filter.encode(toAnsi(text)));
}

void RemoteAccess::close()
{
    TCP2.close();
}

QString RemoteAccess::remoteAddress() const
{
    return TCP2.remoteHostIP();
}

QString RemoteAccess::remoteHost() const
{
    return TCP2.remoteHost();
}

void RemoteAccess::pauseBeforeRefusal()
{
    refusalTimer.start();
}

} // namespace tolvex

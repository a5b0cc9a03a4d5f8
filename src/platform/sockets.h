#pragma once

#include <optional>

#include <QAbstractSocket>
#include <QByteArray>
#include <QHostAddress>
#include <QNetworkDatagram>
#include <QObject>
#include <QString>

class QTcpSocket;
class QUdpSocket;

namespace tolvex {

class Listener;

/// An address as the program shows and stores it: IPv4 peers of a dual-stack socket as
/// dotted quads ("10.0.0.5", never "::ffff:10.0.0.5"), IPv6 peers in their usual form.
QString addressText(const QHostAddress &address);

/// A failure of a socket operation: what the operating system said, and its kind.
struct SocketFailure
{
    QAbstractSocket::SocketError error = QAbstractSocket::UnknownSocketError;
    QString reason;
};

/// A stream socket control. The listener (`TCP1`) listens and raises a connection request
/// per caller; the session socket (`TCP2`) accepts one request and then carries that
/// connection: data arrival, get data, send, remote host and address, close, close event.
/// Text crosses the wire one byte per character (see codepage.h).
class TcpControl : public QObject
{
    Q_OBJECT

public:
    explicit TcpControl(quint16 localPort, QObject *parent = nullptr);
    ~TcpControl() override;

    /// The local port listen() uses; 0 picks a free port (tests).
    quint16 LocalPort;

    /// Listen on LocalPort on every local address, IPv4 and IPv6.
    bool listen(SocketFailure *failure = nullptr);
    /// The port actually listened on.
    quint16 listeningPort() const;

    /// Take the connection of a request raised by a listener; a connection carried
    /// before is let go (its unsent bytes still go out).
    bool accept(qintptr requestId);
    /// Answer a request with `farewell` and close it, without touching this control.
    static void refuse(qintptr requestId, const QByteArray &farewell);

    /// True while an accepted connection is open and the caller has not hung up.
    bool isConnected() const;

    /// All bytes received and not yet read.
    QByteArray getDataBytes();
    /// All bytes received and not yet read, as text.
    QString getData();
    /// Send bytes after everything sent before; false when there is no connection.
    bool sendBytes(const QByteArray &bytes);
    /// Send text, one byte per character.
    bool send(const QString &text);

    /// The caller, in a form that a datagram's remote host accepts.
    QString remoteHost() const;
    /// The caller's numeric address.
    QString remoteHostIP() const;

    /// Listener: stop listening. Session: bytes sent before still go out, then the
    /// connection ends; no close event is raised for it.
    void close();

Q_SIGNALS:
    /// Listener: a caller wants in.
    void connectionRequest(qintptr requestId);
    /// Session: bytes have arrived.
    void dataArrival(qint64 bytesTotal);
    /// Session: the caller ended the connection (never raised by close()).
    void closeEvent();

private:
    void letGo();

    Listener *listener = nullptr;
    QTcpSocket *socket = nullptr;
    QHostAddress peer;
};

/// The datagram socket control (`UDP1`): bound to its local port as soon as it is made
/// to, receives one datagram per data arrival and sends datagrams to a remote host.
class UdpControl : public QObject
{
    Q_OBJECT

public:
    UdpControl(quint16 localPort, quint16 remotePort, QObject *parent = nullptr);

    /// The local port bind() uses (0 picks a free one) and the port send() sends to.
    quint16 LocalPort;
    quint16 RemotePort;

    /// Bind LocalPort on every local address, IPv4 and IPv6, with a receive buffer
    /// large enough for a burst of pages.
    bool bind(SocketFailure *failure = nullptr);
    /// The port actually bound.
    quint16 boundPort() const;
    /// The receive buffer the kernel granted, in bytes.
    int receiveBufferSize() const;

    /// True while a datagram waits.
    bool hasPendingData() const;
    /// The waiting datagram in full; remoteHost() then names its sender.
    QByteArray getDataBytes();
    /// The waiting datagram in full, as text.
    QString getData();

    /// Destination of later sends: a host name or a numeric address, as typed.
    void setRemoteHost(const QString &host);
    /// After a read, the sender of that datagram; otherwise the destination set last.
    QString remoteHost() const;

    /// Send one datagram to RemotePort of the remote host. A host name is resolved in
    /// the background; sendFailed() reports a host that cannot be found or a failed send.
    void send(const QByteArray &datagram);

    /// This workstation's host name.
    static QString localHostName();
    /// This workstation's numeric address (the first one that is not a loopback address).
    static QString localHostIP();

Q_SIGNALS:
    /// One datagram waits to be read.
    void dataArrival(qint64 bytesTotal);
    /// A send to `host` failed; `reason` says why in words a user can act on.
    void sendFailed(const QString &host, const QString &reason);

private:
    void deliverPending();
    void sendTo(const QString &host, const QHostAddress &address, const QByteArray &datagram);

    static constexpr qint64 MaxDatagram = 65536;
    QUdpSocket *socket = nullptr;
    QString host;
    std::optional<QNetworkDatagram> arrived;
};

} // namespace tolvex

#include "sockets.h"

#include <sys/socket.h>

#include <functional>
#include <optional>

#include <QHostInfo>
#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUdpSocket>

#include "platform/codepage.h"

namespace tolvex {

QString addressText(const QHostAddress &address)
{
    bool mapped = false;
    const quint32 v4 = address.toIPv4Address(&mapped);
    if (mapped && address.protocol() == QAbstractSocket::IPv6Protocol)
        return QHostAddress(v4).toString();
    return address.toString();
}

namespace {

SocketFailure failureOf(const QAbstractSocket::SocketError error, const QString &reason)
{
    return SocketFailure{error, reason};
}

} // namespace

// The listening half of a stream control: hands each incoming connection on as a
// request identifier (the connection's descriptor) instead of accepting it itself.
class Listener : public QTcpServer
{
public:
    explicit Listener(std::function<void(qintptr)> onRequest, QObject *parent)
        : QTcpServer(parent)
        , onRequest(std::move(onRequest))
    {
    }

protected:
    void incomingConnection(qintptr descriptor) override { onRequest(descriptor); }

private:
    std::function<void(qintptr)> onRequest;
};

TcpControl::TcpControl(quint16 localPort, QObject *parent)
    : QObject(parent)
    , LocalPort(localPort)
{
}

TcpControl::~TcpControl()
{
    letGo();
}

bool TcpControl::listen(SocketFailure *failure)
{
    if (!listener)
        listener = new Listener([this](qintptr id) { Q_EMIT connectionRequest(id); }, this);
    if (listener->isListening())
        return true;
    if (listener->listen(QHostAddress::Any, LocalPort))
        return true;
    if (failure)
        *failure = failureOf(listener->serverError(), listener->errorString());
    return false;
}

quint16 TcpControl::listeningPort() const
{
    return listener && listener->isListening() ? listener->serverPort() : 0;
}

bool TcpControl::accept(qintptr requestId)
{
    letGo();
    socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(requestId)) {
        delete socket;
        socket = nullptr;
        return false;
    }
    peer = socket->peerAddress();
    connect(socket, &QTcpSocket::readyRead, this, [this] { Q_EMIT dataArrival(socket->bytesAvailable()); });
    connect(socket, &QTcpSocket::disconnected, this, &TcpControl::closeEvent);
    return true;
}

void TcpControl::refuse(qintptr requestId, const QByteArray &farewell)
{
    auto *refused = new QTcpSocket;
    if (!refused->setSocketDescriptor(requestId)) {
        delete refused;
        return;
    }
    QObject::connect(refused, &QTcpSocket::disconnected, refused, &QObject::deleteLater);
    refused->write(farewell);
    refused->disconnectFromHost();
    if (refused->state() == QAbstractSocket::UnconnectedState)
        refused->deleteLater();
}

bool TcpControl::isConnected() const
{
    return socket && socket->state() == QAbstractSocket::ConnectedState;
}

QByteArray TcpControl::getDataBytes()
{
    return socket ? socket->readAll() : QByteArray();
}

QString TcpControl::getData()
{
    return fromAnsi(getDataBytes());
}

bool TcpControl::sendBytes(const QByteArray &bytes)
{
    if (!isConnected())
        return false;
    return socket->write(bytes) == bytes.size();
}

bool TcpControl::send(const QString &text)
{
    return sendBytes(toAnsi(text));
}

QString TcpControl::remoteHost() const
{
    return addressText(peer);
}

QString TcpControl::remoteHostIP() const
{
    return addressText(peer);
}

void TcpControl::close()
{
    if (listener)
        listener->close();
    letGo();
}

// Lets the carried connection go: no more events from it, its unsent bytes still go out,
// and it deletes itself once closed.
void TcpControl::letGo()
{
    if (!socket)
        return;
    QTcpSocket *old = socket;
    socket = nullptr;
    old->disconnect(this);
    old->setParent(nullptr);
    connect(old, &QTcpSocket::disconnected, old, &QObject::deleteLater);
    old->disconnectFromHost();
    if (old->state() == QAbstractSocket::UnconnectedState)
        old->deleteLater();
}

UdpControl::UdpControl(quint16 localPort, quint16 remotePort, QObject *parent)
    : QObject(parent)
    , LocalPort(localPort)
    , RemotePort(remotePort)
    , socket(new QUdpSocket(this))
{
    connect(socket, &QUdpSocket::readyRead, this, &UdpControl::deliverPending);
}

bool UdpControl::bind(SocketFailure *failure)
{
    if (!socket->bind(QHostAddress::Any, LocalPort)) {
        if (failure)
            *failure = failureOf(socket->error(), socket->errorString());
        return false;
    }
    // A burst of pages must not overflow the kernel's queue: ask for a large buffer, past
    // the system's ceiling where we are allowed to (SO_RCVBUFFORCE), within it otherwise.
    const int wanted = 16 * 1024 * 1024;
    const int fd = int(socket->socketDescriptor());
    if (::setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &wanted, sizeof wanted) != 0)
        ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &wanted, sizeof wanted);
    return true;
}

quint16 UdpControl::boundPort() const
{
    return socket->localPort();
}

int UdpControl::receiveBufferSize() const
{
    int size = 0;
    socklen_t length = sizeof size;
    ::getsockopt(int(socket->socketDescriptor()), SOL_SOCKET, SO_RCVBUF, &size, &length);
    return size;
}

bool UdpControl::hasPendingData() const
{
    return arrived.has_value() || socket->hasPendingDatagrams();
}

QByteArray UdpControl::getDataBytes()
{
    if (!arrived) {
        QNetworkDatagram datagram = socket->receiveDatagram(MaxDatagram);
        if (!datagram.isValid())
            return {};
        arrived = std::move(datagram);
    }
    host = addressText(arrived->senderAddress());
    const QByteArray bytes = arrived->data();
    arrived.reset();
    return bytes;
}

QString UdpControl::getData()
{
    return fromAnsi(getDataBytes());
}

void UdpControl::setRemoteHost(const QString &newHost)
{
    host = newHost;
}

QString UdpControl::remoteHost() const
{
    return host;
}

// One data arrival per datagram. Each datagram is taken from the kernel with one read
// (no peeking at sizes first) and handed to the handler through getData().
void UdpControl::deliverPending()
{
    for (;;) {
        QNetworkDatagram datagram = socket->receiveDatagram(MaxDatagram);
        if (!datagram.isValid())
            break;
        arrived = std::move(datagram);
        Q_EMIT dataArrival(arrived->data().size());
        arrived.reset(); // a datagram the handler did not read is dropped, never handed out twice
    }
}

void UdpControl::send(const QByteArray &datagram)
{
    const QString target = host;
    const QHostAddress numeric(target);
    if (!numeric.isNull()) {
        sendTo(target, numeric, datagram);
        return;
    }
    if (target.trimmed().isEmpty()) {
        Q_EMIT sendFailed(target, tr("No host name was given. Type the name or address of the workstation to page."));
        return;
    }
    QPointer<UdpControl> self(this);
    QHostInfo::lookupHost(target, this, [self, target, datagram](const QHostInfo &info) {
        if (!self)
            return;
        QHostAddress chosen;
        for (const QHostAddress &address : info.addresses()) {
            if (chosen.isNull() || (chosen.protocol() != QAbstractSocket::IPv4Protocol
                                    && address.protocol() == QAbstractSocket::IPv4Protocol))
                chosen = address;
        }
        if (info.error() != QHostInfo::NoError || chosen.isNull()) {
            const QString why = info.error() != QHostInfo::NoError ? info.errorString() : tr("the name has no address");
            Q_EMIT self->sendFailed(target, tr("The host could not be found (%1). Check the name or use its address.").arg(why));
            return;
        }
        self->sendTo(target, chosen, datagram);
    });
}

void UdpControl::sendTo(const QString &target, const QHostAddress &address, const QByteArray &datagram)
{
    if (socket->writeDatagram(datagram, address, RemotePort) != datagram.size())
        Q_EMIT sendFailed(target, tr("The page could not be sent (%1).").arg(socket->errorString()));
}

QString UdpControl::localHostName()
{
    return QHostInfo::localHostName();
}

QString UdpControl::localHostIP()
{
    QHostAddress fallback(QHostAddress::LocalHost);
    QHostAddress firstV6;
    const auto addresses = QNetworkInterface::allAddresses();
    for (const QHostAddress &address : addresses) {
        if (address.isLoopback() || address.isLinkLocal())
            continue;
        if (address.protocol() == QAbstractSocket::IPv4Protocol)
            return addressText(address);
        if (firstV6.isNull())
            firstV6 = address;
    }
    return addressText(firstV6.isNull() ? fallback : firstV6);
}

} // namespace tolvex

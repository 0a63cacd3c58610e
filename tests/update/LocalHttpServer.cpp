#include "LocalHttpServer.h"

#include <QNetworkProxy>
#include <QTimer>

namespace pexa {

LocalHttpServer::LocalHttpServer()
{
    m_server.listen(QHostAddress::LocalHost, 0);
    connect(&m_server, &QTcpServer::newConnection, this, &LocalHttpServer::acceptConnection);
    answer(200, QByteArray());
}

void LocalHttpServer::answer(int status, const QByteArray& body)
{
    m_answer = "HTTP/1.1 " + QByteArray::number(status) + " Test answer\r\n" +
               "Content-Type: text/plain; charset=gb2312\r\n" +
               "Content-Length: " + QByteArray::number(body.size()) + "\r\n" +
               "Connection: close\r\n\r\n" + body;
}

QString LocalHttpServer::host() const
{
    return QStringLiteral("127.0.0.1:%1").arg(m_server.serverPort());
}

QString LocalHttpServer::address(const QString& path) const
{
    return QStringLiteral("http://") + host() + path;
}

RefusingPort::RefusingPort()
{
    // Without shared addresses, no other socket can bind the port while this one holds it.
    m_socket.bind(QHostAddress::LocalHost, 0, QAbstractSocket::DontShareAddress);
}

QString RefusingPort::host() const
{
    return QStringLiteral("127.0.0.1:%1").arg(m_socket.localPort());
}

void LocalHttpServer::acceptConnection()
{
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        m_buffers.insert(socket, QByteArray());
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readRequest(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            m_buffers.remove(socket);
            socket->deleteLater();
        });
    }
}

void LocalHttpServer::readRequest(QTcpSocket* socket)
{
    QByteArray& buffer = m_buffers[socket];
    buffer += socket->readAll();
    if (!buffer.contains("\r\n\r\n"))
        return;
    // "GET /mireva/zazure.txt HTTP/1.1": the path is the second word of the request line.
    m_requestedPaths.append(QString::fromLatin1(buffer.split(' ').value(1)));
    buffer.clear();
    emit requestReceived();
    if (m_answers)
        QTimer::singleShot(m_delay, socket, [this, socket] { sendAnswer(socket); });
}

void LocalHttpServer::sendAnswer(QTcpSocket* socket)
{
    socket->write(m_answer);
    socket->disconnectFromHost();
}

void sendRequestsDirectly()
{
    QNetworkProxyFactory::setUseSystemConfiguration(false);
    QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
}

} // namespace pexa

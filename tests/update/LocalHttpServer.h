#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <chrono>

namespace pexa {

// A tiny HTTP server on 127.0.0.1 for the update tests: it answers every GET with the same
// prepared answer, and can answer late or never. It listens only on the loopback address, on a
// port the system picks, and stops when it is destroyed.
class LocalHttpServer : public QObject
{
    Q_OBJECT

public:
    LocalHttpServer();

    // The answer to every request from now on: a status and the body bytes as sent.
    void answer(int status, const QByteArray& body);
    // Holds every answer back this long after the request arrived.
    void answerAfter(std::chrono::milliseconds delay) { m_delay = delay; }
    // Accepts connections and reads requests but never answers them.
    void neverAnswer() { m_answers = false; }

    // "127.0.0.1:<port>", usable as the update host.
    QString host() const;
    // "http://127.0.0.1:<port>" + path.
    QString address(const QString& path) const;

    // The path of every request received, in order.
    const QStringList& requestedPaths() const { return m_requestedPaths; }
    // Connections that the client has not yet closed.
    int openConnections() const { return m_buffers.size(); }

signals:
    void requestReceived();

private:
    void acceptConnection();
    void readRequest(QTcpSocket* socket);
    void sendAnswer(QTcpSocket* socket);

    QTcpServer m_server;
    QHash<QTcpSocket*, QByteArray> m_buffers;
    QStringList m_requestedPaths;
    QByteArray m_answer;
    std::chrono::milliseconds m_delay{0};
    bool m_answers = true;
};

// A port on 127.0.0.1 that this process holds bound without listening: connections to it are
// refused, and no other program can take the port while the object lives.
class RefusingPort
{
public:
    RefusingPort();

    // "127.0.0.1:<port>", usable as the update host.
    QString host() const;

private:
    QTcpSocket m_socket;
};

// Makes this process's requests go straight to their address, whatever proxy the environment
// names, so a test request can reach nothing but the local server.
void sendRequestsDirectly();

} // namespace pexa

#include "FloodServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace pexa {

namespace {

const std::string filler(4096, 'a');

} // namespace

FloodServer::FloodServer(Flood flood, std::size_t limitBytes)
    : m_flood(flood), m_limitBytes(limitBytes)
{
    m_listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (m_listener < 0 || bind(m_listener, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
        listen(m_listener, 4) != 0 || pipe(m_stopPipe) != 0 ||
        getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &size) != 0)
        throw std::runtime_error("the flood server cannot listen on 127.0.0.1");
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] { serve(); });
}

FloodServer::~FloodServer()
{
    [[maybe_unused]] const ssize_t written = write(m_stopPipe[1], "x", 1);
    m_thread.join();
    close(m_listener);
    close(m_stopPipe[0]);
    close(m_stopPipe[1]);
}

std::string FloodServer::address(const std::string& path) const
{
    return "http://127.0.0.1:" + std::to_string(m_port) + path;
}

void FloodServer::serve()
{
    while (waitUntil(m_listener, POLLIN)) {
        const int connection = accept(m_listener, nullptr, nullptr);
        if (connection < 0)
            return;
        char request[4096];
        if (waitUntil(connection, POLLIN) && recv(connection, request, sizeof request, 0) > 0)
            answer(connection);
        close(connection);
    }
}

void FloodServer::answer(int connection)
{
    switch (m_flood) {
    case Flood::ChunkedBody:
        if (!sendAll(connection, "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"))
            return;
        while (m_bytesSent < m_limitBytes)
            if (!sendAll(connection, "1000\r\n" + filler + "\r\n"))
                return;
        sendAll(connection, "0\r\n\r\n");
        return;
    case Flood::AnnouncedBody:
        if (!sendAll(connection, "HTTP/1.1 200 OK\r\nContent-Length: " +
                                     std::to_string(m_limitBytes) + "\r\n\r\n"))
            return;
        while (m_bytesSent < m_limitBytes)
            if (!sendAll(connection, filler))
                return;
        return;
    case Flood::HeaderLines:
        if (!sendAll(connection, "HTTP/1.1 200 OK\r\n"))
            return;
        for (long line = 0; m_bytesSent < m_limitBytes; ++line)
            if (!sendAll(connection, "X-Flood-" + std::to_string(line) + ": a\r\n"))
                return;
        sendAll(connection, "Content-Length: 5\r\n\r\n9.4\r\n");
        return;
    }
}

// False once the client has hung up or the server is stopping.
bool FloodServer::sendAll(int connection, const std::string& bytes)
{
    for (std::size_t sent = 0; sent < bytes.size();) {
        if (!waitUntil(connection, POLLOUT))
            return false;
        const ssize_t written =
            send(connection, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (written <= 0)
            return false;
        sent += std::size_t(written);
        m_bytesSent += std::size_t(written);
    }
    return true;
}

// Waits for `events` on `socket`; false when the server is told to stop first.
bool FloodServer::waitUntil(int socket, short events)
{
    pollfd watched[] = {{socket, events, 0}, {m_stopPipe[0], POLLIN, 0}};
    while (poll(watched, 2, -1) < 0) {
    }
    return watched[1].revents == 0 && (watched[0].revents & (events | POLLHUP | POLLERR));
}

} // namespace pexa

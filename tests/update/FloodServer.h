#pragma once

#include <atomic>
#include <cstddef>
#include <string>
#include <thread>

namespace pexa {

// A hostile HTTP server on 127.0.0.1: it answers every request with a flood, written as fast as the
// connection takes it, until the client hangs up or `limitBytes` are out. It runs on a thread of
// its own, so it keeps sending while the client's thread is busy or blocked.
class FloodServer
{
public:
    enum class Flood
    {
        ChunkedBody,   // a chunked body without announced size
        AnnouncedBody, // a body whose Content-Length announces all limitBytes
        HeaderLines,   // header lines up to limitBytes, then a five-byte body "9.4\r\n"
    };

    FloodServer(Flood flood, std::size_t limitBytes);
    ~FloodServer();
    FloodServer(const FloodServer&) = delete;
    FloodServer& operator=(const FloodServer&) = delete;

    // "http://127.0.0.1:<port>" + path.
    std::string address(const std::string& path) const;
    // Bytes of answers sent so far, over all connections.
    std::size_t bytesSent() const { return m_bytesSent; }

private:
    void serve();
    void answer(int connection);
    bool sendAll(int connection, const std::string& bytes);
    bool waitUntil(int socket, short events);

    const Flood m_flood;
    const std::size_t m_limitBytes;
    int m_listener = -1;
    int m_stopPipe[2] = {-1, -1};
    int m_port = 0;
    std::atomic<std::size_t> m_bytesSent{0};
    std::thread m_thread;
};

} // namespace pexa

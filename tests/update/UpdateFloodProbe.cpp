// Measures what a hostile update server does to the waiting window: the longest stall of the
// event loop while the fetch runs, the fetch's duration, and the process's memory before, at its
// peak, right after the fetch, three seconds later, and three seconds after the server stopped.
// With "exit", the program is asked to end 300 ms into the fetch, as the window's confirmed close
// does, and the probe prints how long the event loop took to give way.
//
// Usage: pexa_update_flood chunked|announced|headers MEGABYTES [exit]
#include "FloodServer.h"
#include "Module1.h"
#include "StallMeter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QNetworkProxy>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <map>

namespace {

using namespace std::chrono_literals;
using pexa::FloodServer;
using pexa::StallMeter;

// "VmRSS" or "VmHWM" of this process in MB.
double memoryMb(const QByteArray& field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field + ':'))
            return line.mid(field.size() + 1).trimmed().split(' ').first().toDouble() / 1024.0;
    return -1;
}

void report(const char* when)
{
    std::printf("  %-40s memory %4.0f MB, peak %4.0f MB\n", when, memoryMb("VmRSS"),
                memoryMb("VmHWM"));
}

} // namespace

int main(int argc, char* argv[])
{
    const std::map<std::string, FloodServer::Flood> floods = {
        {"chunked", FloodServer::Flood::ChunkedBody},
        {"announced", FloodServer::Flood::AnnouncedBody},
        {"headers", FloodServer::Flood::HeaderLines}};
    if (argc < 3 || !floods.contains(argv[1])) {
        std::fprintf(stderr, "usage: %s chunked|announced|headers MEGABYTES [exit]\n", argv[0]);
        return 2;
    }
    const bool exitDuringFetch = argc > 3 && std::strcmp(argv[3], "exit") == 0;
    QCoreApplication app(argc, argv);
    QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
    report("before the fetch:");
    std::optional<FloodServer> server(std::in_place, floods.at(argv[1]),
                                      std::size_t(std::atof(argv[2]) * 1024 * 1024));
    const QString address = QString::fromStdString(server->address("/mireva/zazure.txt"));

    StallMeter stalls;
    QElapsedTimer sinceExitRequest;
    if (exitDuringFetch)
        QTimer::singleShot(300ms, &app, [&] {
            sinceExitRequest.start();
            QCoreApplication::exit(0);
        });
    QTimer::singleShot(0, &app, [&] {
        QElapsedTimer fetchTime;
        fetchTime.start();
        const std::optional<QString> fetched = pexa::Module1::FetchText(address, 10s);
        std::printf("%s %s: %s after %lld ms, %.1f MB sent, longest stall %lld ms\n", argv[1],
                    argv[2], fetched ? "text" : "nothing", fetchTime.elapsed(),
                    double(server->bytesSent()) / (1024 * 1024), stalls.longestMs());
        report("right after the fetch:");
        if (exitDuringFetch)
            return;
        QTimer::singleShot(3s, &app, [&] {
            report("three seconds later:");
            server.reset();
            QTimer::singleShot(3s, &app, [] {
                report("three seconds after the server stopped:");
                QCoreApplication::exit(0);
            });
        });
    });
    QCoreApplication::exec();
    if (sinceExitRequest.isValid())
        std::printf("  the event loop gave way %lld ms after the exit request\n",
                    sinceExitRequest.elapsed());
    return 0;
}

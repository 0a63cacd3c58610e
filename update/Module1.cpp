#include "Module1.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStringDecoder>
#include <QThread>
#include <QTimer>
#include <memory>
#include <utility>
#include <vector>

namespace pexa::Module1 {

namespace {

// How much the network layer reads ahead of us. With a limit, Qt stops reading the connection while
// this much is waiting, so a server that sends faster than we read fills no memory.
constexpr qint64 readAheadBytes = 16 * 1024;

// A transfer without error and with a 2xx status. Error pages (404, 500) are failures, not
// answers, and a redirect that was not followed has no body worth reading.
bool succeeded(const QNetworkReply& reply)
{
    const int status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    return reply.error() == QNetworkReply::NoError && status >= 200 && status < 300;
}

// Collects the body as it arrives and aborts the reply as soon as it passes maxBodyBytes, or a
// larger body is announced, or `giveUpAfter` has passed; an aborted reply finishes with an error
// like any failed one. Holds at most maxBodyBytes + 1 bytes of body.
class BodyCollector
{
public:
    BodyCollector(QNetworkReply& reply, std::chrono::milliseconds giveUpAfter) : m_reply(reply)
    {
        m_reply.setReadBufferSize(readAheadBytes);
        QTimer::singleShot(giveUpAfter, &m_reply, &QNetworkReply::abort);
        QObject::connect(&m_reply, &QNetworkReply::metaDataChanged, &m_connections, [this] {
            if (m_reply.header(QNetworkRequest::ContentLengthHeader).toLongLong() > maxBodyBytes)
                m_reply.abort();
        });
        QObject::connect(&m_reply, &QNetworkReply::readyRead, &m_connections,
                         [this] { collect(); });
    }

    // The whole body once the reply has finished well; nothing otherwise.
    std::optional<QByteArray> body()
    {
        if (!m_reply.isFinished() || !succeeded(m_reply))
            return std::nullopt;
        collect();
        if (m_body.size() > maxBodyBytes)
            return std::nullopt;
        return m_body;
    }

private:
    void collect()
    {
        m_body += m_reply.read(maxBodyBytes + 1 - m_body.size());
        if (m_body.size() > maxBodyBytes)
            m_reply.abort();
    }

    QNetworkReply& m_reply;
    QByteArray m_body;
    // Ends the connections above with the collector, should the reply still signal afterwards.
    QObject m_connections;
};

// The GET itself, run on the fetch thread with that thread's own event loop. Returns when the reply
// has finished or the thread is told to quit; deleting the manager then waits for Qt's own
// connection thread, here and not in the window.
std::optional<QByteArray> fetchBody(const QUrl& address, std::chrono::milliseconds giveUpAfter)
{
    QNetworkAccessManager network;
    // Declared after the manager so that it is deleted first, aborting an unfinished transfer.
    const std::unique_ptr<QNetworkReply> reply(network.get(QNetworkRequest(address)));
    BodyCollector collector(*reply, giveUpAfter);
    if (!reply->isFinished()) {
        QEventLoop loop;
        QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return collector.body();
}

// Fetch threads called off because the program is ending. They need no event loop to finish, so
// the application waits for them as it is destroyed, after the window has gone, and no thread
// outlives it.
std::vector<QThread*>& calledOffFetches()
{
    static std::vector<QThread*> threads;
    return threads;
}

void finishCalledOffFetches()
{
    for (QThread* thread : std::exchange(calledOffFetches(), {})) {
        thread->wait();
        delete thread;
    }
}

void callOff(QThread* fetchThread)
{
    fetchThread->quit();
    if (calledOffFetches().empty())
        qAddPostRoutine(finishCalledOffFetches);
    calledOffFetches().push_back(fetchThread);
}

} // namespace

std::optional<QString> FetchText(const QString& address, std::chrono::milliseconds giveUpAfter)
{
    // The transfer runs on a thread of its own: Qt reads a response's header byte by byte and, on
    // deleting its network manager, waits up to seconds for its connection thread, so a hostile
    // server could otherwise hold the window still.
    const auto fetched = std::make_shared<std::optional<QByteArray>>();
    QThread* const fetchThread = QThread::create(
        [url = QUrl(address), giveUpAfter, fetched] { *fetched = fetchBody(url, giveUpAfter); });
    QEventLoop loop;
    QObject::connect(fetchThread, &QThread::finished, &loop, &QEventLoop::quit);
    fetchThread->start();
    loop.exec();
    // QCoreApplication::exit ends every event loop, this one included: the program is ending.
    if (!fetchThread->isFinished()) {
        callOff(fetchThread);
        return std::nullopt;
    }
    fetchThread->wait();
    delete fetchThread;
    if (!*fetched)
        return std::nullopt;
    return DecodeBody(**fetched, QStringLiteral("gb2312"));
}

std::optional<QString> DecodeBody(QByteArrayView bytes, const QString& charset)
{
    // Stateless: a sequence cut off at the end of the bytes is an error too, not a pending state.
    QStringDecoder decoder(charset.toLatin1().constData(), QStringConverter::Flag::Stateless);
    if (!decoder.isValid())
        return std::nullopt;
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

} // namespace pexa::Module1

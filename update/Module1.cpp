#include "Module1.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStringDecoder>
#include <QTimer>
#include <memory>

namespace pexa::Module1 {

namespace {

// Aborts the reply when the answer takes longer than `giveUpAfter` in total or announces or
// delivers more than maxBodyBytes; an aborted reply finishes with an error like any failed one.
void limitReply(QNetworkReply& reply, std::chrono::milliseconds giveUpAfter)
{
    QTimer::singleShot(giveUpAfter, &reply, &QNetworkReply::abort);
    QObject::connect(&reply, &QNetworkReply::downloadProgress, &reply,
                     [&reply](qint64 received, qint64 total) {
                         if (received > maxBodyBytes || total > maxBodyBytes)
                             reply.abort();
                     });
}

// Runs a nested event loop until the reply finishes. Returns false when the loop was ended from
// outside instead: QCoreApplication::exit ends every running event loop, nested ones included.
bool waitForReply(QNetworkReply& reply)
{
    if (reply.isFinished())
        return true;
    QEventLoop loop;
    QObject::connect(&reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    return reply.isFinished();
}

// A transfer without error and with a 2xx status. Error pages (404, 500) are failures, not
// answers, and a redirect that was not followed has no body worth reading.
bool succeeded(const QNetworkReply& reply)
{
    const int status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    return reply.error() == QNetworkReply::NoError && status >= 200 && status < 300;
}

} // namespace

std::optional<QString> FetchText(const QString& address, std::chrono::milliseconds giveUpAfter)
{
    QNetworkAccessManager network;
    // Declared after the manager so that it is deleted first, on every path.
    const std::unique_ptr<QNetworkReply> reply(network.get(QNetworkRequest(QUrl(address))));
    limitReply(*reply, giveUpAfter);
    // When the program ends during the wait, the unfinished reply is aborted as it is deleted.
    if (!waitForReply(*reply) || !succeeded(*reply))
        return std::nullopt;
    const QByteArray body = reply->read(maxBodyBytes + 1);
    if (body.size() > maxBodyBytes)
        return std::nullopt;
    return DecodeBody(body, QStringLiteral("gb2312"));
}

std::optional<QString> DecodeBody(QByteArrayView bytes, const QString& charset)
{
    QStringDecoder decoder(charset.toLatin1().constData());
    if (!decoder.isValid())
        return std::nullopt;
    return QString(decoder.decode(bytes));
}

} // namespace pexa::Module1

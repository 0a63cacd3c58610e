#include "FloodServer.h"
#include "LocalHttpServer.h"
#include "Module1.h"
#include "StallMeter.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QTest>
#include <QTimer>

using namespace pexa;
using namespace std::chrono_literals;

namespace {

const QString versionFilePath = QStringLiteral("/mireva/zazure.txt");

// "中文" CR LF "版本说明：修正错误。" CR LF, in GB2312.
const QByteArray chineseLinesInGb2312("\xd6\xd0\xce\xc4\r\n"
                                      "\xb0\xe6\xb1\xbe\xcb\xb5\xc3\xf7\xa3\xba"
                                      "\xd0\xde\xd5\xfd\xb4\xed\xce\xf3\xa1\xa3\r\n");
const QString chineseLines = QStringLiteral("中文\r\n版本说明：修正错误。\r\n");

// Far more than any fetch may read, so a fetch that reads on shows in the bytes sent.
constexpr std::size_t floodBytes = 256 * 1024 * 1024;

QString floodAddress(const FloodServer& server)
{
    return QString::fromStdString(server.address(versionFilePath.toStdString()));
}

} // namespace

Q_DECLARE_METATYPE(pexa::FloodServer::Flood)

class FetchTextTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { sendRequestsDirectly(); }

    // Decoding ----------------------------------------------------------------------------------

    void decodesGb2312BytesToTheSameCharacters()
    {
        QCOMPARE(Module1::DecodeBody(chineseLinesInGb2312, QStringLiteral("gb2312")), chineseLines);
    }

    void decodingFailsForAnUnknownCharacterSet()
    {
        QCOMPARE(Module1::DecodeBody("9.4", QStringLiteral("no-such-charset")), std::nullopt);
    }

    // Such bodies once reached the question box as substitution characters.
    void bytesThatAreNotCleanGb2312DecodeToNothing_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("invalid bytes") << QByteArray("\xff\xfe\xfd\x80\r\n");
        QTest::newRow("UTF-16 with its mark") << QByteArray("\xff\xfe"
                                                            "9\0.\0"
                                                            "4\0",
                                                            8);
        QTest::newRow("sequence cut at the end") << QByteArray("9.4\xb0");
    }

    void bytesThatAreNotCleanGb2312DecodeToNothing()
    {
        QFETCH(QByteArray, bytes);
        QCOMPARE(Module1::DecodeBody(bytes, QStringLiteral("gb2312")), std::nullopt);
    }

    // Answers -----------------------------------------------------------------------------------

    void fetchesTheBodyWithEveryLineAndCrLf()
    {
        LocalHttpServer server;
        server.answer(200, chineseLinesInGb2312);
        QCOMPARE(Module1::FetchText(server.address(versionFilePath)), chineseLines);
        QCOMPARE(server.requestedPaths(), QStringList{versionFilePath});
    }

    void emptyBodyGivesEmptyText()
    {
        LocalHttpServer server;
        server.answer(200, QByteArray());
        const std::optional<QString> text = Module1::FetchText(server.address(versionFilePath));
        QVERIFY(text.has_value());
        QVERIFY(text->isEmpty());
    }

    void errorPagesCountAsFailedFetches_data()
    {
        QTest::addColumn<int>("status");
        QTest::newRow("not found") << 404;
        QTest::newRow("server error") << 500;
    }

    void errorPagesCountAsFailedFetches()
    {
        QFETCH(int, status);
        LocalHttpServer server;
        server.answer(status, "<html><body>Error</body></html>\r\n");
        QCOMPARE(Module1::FetchText(server.address(versionFilePath)), std::nullopt);
    }

    void bodyUpToTheSizeLimitIsRead()
    {
        LocalHttpServer server;
        server.answer(200, QByteArray(Module1::maxBodyBytes, 'a'));
        QCOMPARE(Module1::FetchText(server.address(versionFilePath)).value_or(QString()).size(),
                 Module1::maxBodyBytes);
    }

    void bodyOverTheSizeLimitCountsAsFailed()
    {
        LocalHttpServer server;
        server.answer(200, "9.4\r\n" + QByteArray(Module1::maxBodyBytes, 'a'));
        QCOMPARE(Module1::FetchText(server.address(versionFilePath)), std::nullopt);
    }

    // Waiting -----------------------------------------------------------------------------------

    // A refusal must end the fetch by itself: with a give-up time of an hour, only the test's time
    // limit would end a fetch that waited for it.
    void nothingListeningGivesNothing()
    {
        const RefusingPort refusing;
        const QString address = QStringLiteral("http://") + refusing.host() + versionFilePath;
        QCOMPARE(Module1::FetchText(address, 1h), std::nullopt);
    }

    void serverThatNeverAnswersIsGivenUp()
    {
        LocalHttpServer server;
        server.neverAnswer();
        QCOMPARE(Module1::FetchText(server.address(versionFilePath), 200ms), std::nullopt);
        QCOMPARE(server.requestedPaths().size(), 1);
        QTRY_COMPARE(server.openConnections(), 0);
    }

    // A wait that polls never lets the event loop sleep; one that waits for events does.
    void waitingForASlowAnswerSleepsInsteadOfPolling()
    {
        LocalHttpServer server;
        server.answer(200, "9.4\r\n");
        server.answerAfter(200ms);
        int sleeps = 0;
        const QMetaObject::Connection counting =
            connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock,
                    this, [&sleeps] { ++sleeps; });
        const std::optional<QString> fetched = Module1::FetchText(server.address(versionFilePath));
        disconnect(counting);
        QCOMPARE(fetched, QStringLiteral("9.4\r\n"));
        QVERIFY(sleeps > 0);
    }

    void programExitDuringTheWaitDropsTheRequest()
    {
        LocalHttpServer server;
        server.neverAnswer();
        // The window's confirmed close calls the real exit while the fetch still waits.
        connect(
            &server, &LocalHttpServer::requestReceived, qApp, [] { QCoreApplication::exit(7); },
            Qt::QueuedConnection);
        std::optional<std::optional<QString>> fetched;
        QTimer::singleShot(0, qApp,
                           [&] { fetched = Module1::FetchText(server.address(versionFilePath)); });

        QCOMPARE(QCoreApplication::exec(), 7);
        QVERIFY2(fetched.has_value(), "the fetch must return when the program ends");
        QCOMPARE(*fetched, std::nullopt);
        QTRY_COMPARE(server.openConnections(), 0);
    }

    // Floods ------------------------------------------------------------------------------------

    // A fast flood once filled hundreds of MB before the size limit acted. Now the network layer
    // reads only a little ahead, so the fetch gives up after the limit and some socket buffers.
    void floodedBodyIsCutOffSoonAfterTheSizeLimit_data()
    {
        QTest::addColumn<FloodServer::Flood>("flood");
        QTest::newRow("chunked") << FloodServer::Flood::ChunkedBody;
        QTest::newRow("announced size") << FloodServer::Flood::AnnouncedBody;
    }

    void floodedBodyIsCutOffSoonAfterTheSizeLimit()
    {
        QFETCH(FloodServer::Flood, flood);
        const FloodServer server(flood, floodBytes);
        QCOMPARE(Module1::FetchText(floodAddress(server)), std::nullopt);
        QVERIFY2(server.bytesSent() < floodBytes / 8,
                 qPrintable(QStringLiteral("%1 bytes sent").arg(server.bytesSent())));
    }

    // Qt reads a header byte by byte and, when its network manager is deleted, waits up to five
    // seconds for its connection thread, which a header flood keeps busy. That wait once held the
    // window still when the fetch was given up or the program ended. The bound is far above the
    // few milliseconds the loop needs and far below the seconds of Qt's wait.
    void headerFloodNeverHoldsTheWindowStill_data()
    {
        QTest::addColumn<bool>("programEnds");
        QTest::newRow("fetch given up") << false;
        QTest::newRow("program ending") << true;
    }

    void headerFloodNeverHoldsTheWindowStill()
    {
        QFETCH(bool, programEnds);
        const FloodServer server(FloodServer::Flood::HeaderLines, floodBytes);
        const StallMeter stalls;
        std::optional<std::optional<QString>> fetched;
        QTimer::singleShot(0, qApp, [&] {
            fetched = Module1::FetchText(floodAddress(server), programEnds ? 1h : 300ms);
            QCoreApplication::exit(0);
        });
        if (programEnds)
            QTimer::singleShot(300ms, qApp, [] { QCoreApplication::exit(0); });

        QCoreApplication::exec();

        QVERIFY(fetched.has_value());
        QCOMPARE(*fetched, std::nullopt);
        QVERIFY2(stalls.longestMs() < 1000, qPrintable(QString::number(stalls.longestMs())));
    }
};

QTEST_MAIN(FetchTextTest)
#include "FetchTextTest.moc"

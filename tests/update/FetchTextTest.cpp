#include "LocalHttpServer.h"
#include "Module1.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <ctime>

using namespace pexa;
using namespace std::chrono_literals;

namespace {

const QString versionFilePath = QStringLiteral("/mireva/zazure.txt");

// "中文" CR LF "版本说明：修正错误。" CR LF, in GB2312.
const QByteArray chineseLinesInGb2312("\xd6\xd0\xce\xc4\r\n"
                                      "\xb0\xe6\xb1\xbe\xcb\xb5\xc3\xf7\xa3\xba"
                                      "\xd0\xde\xd5\xfd\xb4\xed\xce\xf3\xa1\xa3\r\n");
const QString chineseLines = QStringLiteral("中文\r\n版本说明：修正错误。\r\n");

} // namespace

class FetchTextTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { sendRequestsDirectly(); }

    void decodesGb2312BytesToTheSameCharacters()
    {
        QCOMPARE(Module1::DecodeBody(chineseLinesInGb2312, QStringLiteral("gb2312")), chineseLines);
    }

    void decodingFailsForAnUnknownCharacterSet()
    {
        QCOMPARE(Module1::DecodeBody("9.4", QStringLiteral("no-such-charset")), std::nullopt);
    }

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

    void nothingListeningGivesNothingWithoutHanging()
    {
        QElapsedTimer clock;
        clock.start();
        const QString address = QStringLiteral("http://127.0.0.1:%1%2")
                                    .arg(LocalHttpServer::closedPort())
                                    .arg(versionFilePath);
        QCOMPARE(Module1::FetchText(address), std::nullopt);
        QVERIFY2(clock.elapsed() < 5000, "a refused connection must not wait for the give-up time");
    }

    void serverThatNeverAnswersIsGivenUp()
    {
        LocalHttpServer server;
        server.neverAnswer();
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(Module1::FetchText(server.address(versionFilePath), 200ms), std::nullopt);
        QVERIFY(clock.elapsed() < 5000);
        QCOMPARE(server.requestedPaths().size(), 1);
        QTRY_COMPARE(server.openConnections(), 0);
    }

    void waitingForASlowAnswerLeavesTheProcessorIdle()
    {
        LocalHttpServer server;
        server.answer(200, "9.4\r\n");
        server.answerAfter(600ms);
        const std::clock_t processorBefore = std::clock();
        QCOMPARE(Module1::FetchText(server.address(versionFilePath)), QStringLiteral("9.4\r\n"));
        const double processorMs = 1000.0 * double(std::clock() - processorBefore) / CLOCKS_PER_SEC;
        // A polling wait would keep one core busy for the whole 600 ms.
        QVERIFY2(processorMs < 150,
                 qPrintable(QStringLiteral("%1 ms of processor time").arg(processorMs)));
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
};

QTEST_MAIN(FetchTextTest)
#include "FetchTextTest.moc"

#include "UpdateCheck.h"

#include "FakeDesktopServices.h"
#include "LocalHttpServer.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <memory>

using namespace pexa;
using namespace std::chrono_literals;

class UpdateCheckTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { sendRequestsDirectly(); }

    void init()
    {
        m_server = std::make_unique<LocalHttpServer>();
        m_desktop = std::make_unique<FakeDesktop>();
    }

    void asksOnlyWhenTheFirstLineDiffersFromTheBuiltInVersion_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("versionFile");
        QTest::addColumn<QString>("expectedPrompt"); // empty: no question at all

        QTest::newRow("same version") << 200 << QByteArray("9.3\r\nnotes\r\n") << QString();
        QTest::newRow("older version")
            << 200 << QByteArray("9.2\r\nnotes\r\n") << QStringLiteral("最新版本9.2，是否更新？");
        QTest::newRow("trailing blank")
            << 200 << QByteArray("9.3 \r\n") << QStringLiteral("最新版本9.3 ，是否更新？");
        QTest::newRow("LF line ends") << 200 << QByteArray("9.3\nnotes\n")
                                      << QStringLiteral("最新版本9.3\nnotes\n，是否更新？");
        QTest::newRow("exactly 9.3") << 200 << QByteArray("9.3") << QString();
        QTest::newRow("empty file") << 200 << QByteArray() << QString();
        QTest::newRow("empty first line") << 200 << QByteArray("\r\n9.4\r\n") << QString();
        // "9.4版" in GB2312.
        QTest::newRow("Chinese in GB2312")
            << 200 << QByteArray("9.4\xb0\xe6\r\n") << QStringLiteral("最新版本9.4版，是否更新？");
        QTest::newRow("not found page") << 404 << QByteArray("404 Not Found\r\n") << QString();
        QTest::newRow("server error page") << 500 << QByteArray("Internal Error\r\n") << QString();
    }

    void asksOnlyWhenTheFirstLineDiffersFromTheBuiltInVersion()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, versionFile);
        QFETCH(QString, expectedPrompt);
        m_server->answer(status, versionFile);

        runCheck();

        QCOMPARE(m_server->requestedPaths(), QStringList{QStringLiteral("/mireva/zazure.txt")});
        const QStringList shownTexts = promptTexts();
        QCOMPARE(shownTexts,
                 expectedPrompt.isEmpty() ? QStringList() : QStringList{expectedPrompt});
    }

    void unreachableServerShowsNothing()
    {
        UpdateCheck check(m_desktop->services(),
                          QStringLiteral("127.0.0.1:%1").arg(LocalHttpServer::closedPort()));
        check.run();
        QVERIFY(m_desktop->messages.shown.isEmpty());
    }

    void okOpensTheDownloadPage()
    {
        m_server->answer(200, "9.4\r\n");
        m_desktop->messages.setNextAnswer(MessageAnswer::Ok);

        runCheck();

        QCOMPARE(m_desktop->messages.shown.size(), 1);
        const MessagePrompt& question = m_desktop->messages.shown.first();
        QCOMPARE(question.caption, QStringLiteral("发现最新版本"));
        QCOMPARE(question.buttons, MessageButtons::OkCancelQuestion);
        QCOMPARE(m_desktop->urls.opened, QList<QUrl>{QUrl(m_server->address("/mireva/"))});
    }

    void cancelOpensNothing()
    {
        m_server->answer(200, "9.4\r\n");
        m_desktop->messages.setNextAnswer(MessageAnswer::Cancel);

        runCheck();

        QCOMPARE(m_desktop->messages.shown.size(), 1);
        QVERIFY(m_desktop->urls.opened.isEmpty());
    }

    void runsOncePerStartWhenTriggeredAgain()
    {
        // A trigger that keeps firing, also while the first check still waits for the server.
        m_server->answer(200, "9.4\r\n");
        m_server->answerAfter(100ms);
        m_desktop->messages.setNextAnswer(MessageAnswer::Cancel);
        UpdateCheck check(m_desktop->services(), m_server->host());
        QTimer trigger;
        trigger.setInterval(10);
        connect(&trigger, &QTimer::timeout, &check, &UpdateCheck::run);
        trigger.start();

        QTRY_COMPARE(m_desktop->messages.shown.size(), 1);
        QTest::qWait(100);

        QCOMPARE(m_server->requestedPaths().size(), 1);
        QCOMPARE(m_desktop->messages.shown.size(), 1);
    }

    void versionWithMarkupIsShownAsPlainText()
    {
        m_server->answer(200, "<b>9.4</b>\r\n");
        QtMessageBoxService realMessages;
        UpdateCheck check({realMessages, m_desktop->clipboard, m_desktop->urls}, m_server->host());
        QString shownText;
        Qt::TextFormat shownFormat = Qt::AutoText;
        QTimer boxWatcher;
        connect(&boxWatcher, &QTimer::timeout, &boxWatcher, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            boxWatcher.stop();
            shownText = box->text();
            shownFormat = box->textFormat();
            box->button(QMessageBox::Cancel)->click();
        });
        boxWatcher.start(20);

        check.run();

        QCOMPARE(shownText, QStringLiteral("最新版本<b>9.4</b>，是否更新？"));
        QCOMPARE(shownFormat, Qt::PlainText);
        QVERIFY(m_desktop->urls.opened.isEmpty());
    }

private:
    void runCheck()
    {
        UpdateCheck check(m_desktop->services(), m_server->host());
        check.run();
    }

    QStringList promptTexts() const
    {
        QStringList texts;
        for (const MessagePrompt& prompt : m_desktop->messages.shown)
            texts.append(prompt.text);
        return texts;
    }

    std::unique_ptr<LocalHttpServer> m_server;
    std::unique_ptr<FakeDesktop> m_desktop;
};

QTEST_MAIN(UpdateCheckTest)
#include "UpdateCheckTest.moc"

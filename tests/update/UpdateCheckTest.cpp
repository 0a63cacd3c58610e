#include "UpdateCheck.h"

#include "FakeDesktopServices.h"
#include "LocalHttpServer.h"
#include "ModalBoxAnswerer.h"

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

    // Such files once showed the question with substitution characters, a NUL, or a line of
    // thousands of characters in a box wider than the screen.
    void hostileVersionFileShowsNothing_data()
    {
        QTest::addColumn<QByteArray>("versionFile");
        QTest::newRow("invalid GB2312") << QByteArray("\xff\xfe\xfd\x80\r\n");
        QTest::newRow("UTF-16") << QByteArray("\xff\xfe"
                                              "9\0.\0"
                                              "4\0\r\0\n\0",
                                              12);
        QTest::newRow("NUL in the line") << QByteArray("9.4\r\n").insert(2, '\0');
        QTest::newRow("tab in the line") << QByteArray("9.4\tbeta\r\n");
        QTest::newRow("escape in the line") << QByteArray("\x1b[2J9.4\r\n");
        QTest::newRow("line one longer than a version")
            << QByteArray(UpdateCheck::maxVersionLength + 1, '9') + "\r\n";
        QTest::newRow("60 KB first line") << QByteArray(60 * 1024, 'x') + "\r\n";
    }

    void hostileVersionFileShowsNothing()
    {
        QFETCH(QByteArray, versionFile);
        m_server->answer(200, versionFile);
        runCheck();
        QCOMPARE(m_server->requestedPaths().size(), 1);
        QVERIFY(m_desktop->messages.shown.isEmpty());
    }

    void versionOfTheLongestLengthIsStillOffered()
    {
        const QByteArray version(UpdateCheck::maxVersionLength, '9');
        m_server->answer(200, version + "\r\n");
        runCheck();
        QCOMPARE(promptTexts(),
                 QStringList{
                     QStringLiteral("最新版本%1，是否更新？").arg(QString::fromLatin1(version))});
    }

    void unreachableServerShowsNothing()
    {
        const RefusingPort refusing;
        UpdateCheck check(m_desktop->services(), refusing.host());
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
        const ModalBoxAnswerer answerer(QMessageBox::Cancel);

        check.run();

        QCOMPARE(answerer.shown().text, QStringLiteral("最新版本<b>9.4</b>，是否更新？"));
        QCOMPARE(answerer.shown().textFormat, Qt::PlainText);
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

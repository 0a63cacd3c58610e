#include "FakeDesktopServices.h"
#include "Form1.h"
#include "LocalHttpServer.h"
#include "UpdateCheckModule.h"

#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <memory>

using namespace pexa;
using namespace std::chrono_literals;

// The update check wired to the real window the way the program does it: Timer1's first tick
// loads the update-check module and runs its check, and the window stays in use while the check
// waits for the server.
class UpdateCheckInWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { sendRequestsDirectly(); }

    void init()
    {
        m_desktop = std::make_unique<FakeDesktop>();
        m_server = std::make_unique<LocalHttpServer>();
        m_window = std::make_unique<Form1>(
            LazyRewriter(PhraseDictionary::fromEntries({u"今天=今日"})), m_desktop->services());
        connect(m_window.get(), &Form1::updateCheckDue, m_window.get(), [this] {
            QVERIFY(updatemodule::startUpdateCheck(QStringLiteral(PEXA_UPDATE_MODULE_FOLDER),
                                                   m_desktop->services(), m_server->host(),
                                                   m_window.get()));
        });
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    void cleanup()
    {
        m_window.reset();
        m_server.reset();
        m_desktop.reset();
    }

    void questionComesOnTimer1sFirstTick()
    {
        m_server->answer(200, "9.4\r\n");
        startTimer1Now();

        QTRY_COMPARE(m_desktop->messages.shown.size(), 1);

        QCOMPARE(m_desktop->messages.shown.first().text, QStringLiteral("最新版本9.4，是否更新？"));
        QCOMPARE(m_server->requestedPaths().size(), 1);
    }

    void windowHandlesAClickDuringASlowAnswer()
    {
        m_server->answer(200, "9.4\r\n");
        m_server->answerAfter(400ms);
        qsizetype questionsAtClick = -1;
        connect(
            m_server.get(), &LocalHttpServer::requestReceived, m_window.get(),
            [&] {
                questionsAtClick = m_desktop->messages.shown.size();
                QTest::mouseClick(control<QPushButton>("Command4"), Qt::LeftButton);
            },
            Qt::QueuedConnection);
        startTimer1Now();

        QTRY_COMPARE(m_desktop->messages.shown.size(), 1);

        QCOMPARE(questionsAtClick, 0);
        QVERIFY2(control<QPlainTextEdit>("Text2")->toPlainText().isEmpty(),
                 "the clear command ran while the check waited");
    }

    void closingTheWindowDuringTheWaitEndsTheProgramSilently()
    {
        m_server->neverAnswer();
        m_desktop->messages.setNextAnswer(MessageAnswer::Ok); // "真的退出吗?"
        connect(m_server.get(), &LocalHttpServer::requestReceived, m_window.get(), &QWidget::close,
                Qt::QueuedConnection);
        // Connected after the check, so it runs once the check has returned.
        bool checkReturned = false;
        connect(m_window.get(), &Form1::updateCheckDue, this, [&] { checkReturned = true; });
        startTimer1Now();

        QCOMPARE(QCoreApplication::exec(), 0);

        QVERIFY(checkReturned);
        QCOMPARE(m_desktop->messages.shown.size(), 1);
        QCOMPARE(m_desktop->messages.shown.first().caption, QStringLiteral("退出"));
        QTRY_COMPARE(m_server->openConnections(), 0);
    }

    void missingModuleStartsNoCheck()
    {
        QCOMPARE(updatemodule::startUpdateCheck(QStringLiteral(PEXA_UPDATE_MODULE_FOLDER "/absent"),
                                                m_desktop->services(), m_server->host(),
                                                m_window.get()),
                 nullptr);
        QCOMPARE(m_server->requestedPaths().size(), 0);
    }

private:
    template <typename Control> Control* control(const char* name) const
    {
        return m_window->findChild<Control*>(QLatin1String(name));
    }

    // Timer1 at a short interval, so the check starts without the two-second wait.
    void startTimer1Now() { m_window->setTimer1Interval(10ms); }

    std::unique_ptr<FakeDesktop> m_desktop;
    std::unique_ptr<LocalHttpServer> m_server;
    std::unique_ptr<Form1> m_window;
};

QTEST_MAIN(UpdateCheckInWindowTest)
#include "UpdateCheckInWindowTest.moc"

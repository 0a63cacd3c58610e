#pragma once

#include "DesktopServices.h"
#include "LazyRewriter.h"
#include "RandomSource.h"
#include "ScriptConverter.h"

#include <QString>
#include <QWidget>
#include <chrono>
#include <functional>
#include <optional>

class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace pexa {

// The program's one window: the input box, the button row and the result box on a light-blue
// ground. Each handler reads the controls, calls the engine and writes the controls back.
//
// The controls carry their historic names as object names (Text2, Command1, ...), which is how the
// handlers below and the tests refer to them. Text1 and Text4 are never seen, so they are plain
// data.
class Form1 : public QWidget
{
    Q_OBJECT

public:
    // What the confirmed close does; the program's default ends every event loop at once.
    using ExitRequest = std::function<void()>;

    // Takes the working dictionary (its rewriter is made once the window is first painted, or by
    // the first rewrite) and starts Timer1.
    Form1(LazyRewriter rewriter, DesktopServices desktop, QWidget* parent = nullptr);
    ~Form1() override;

    // Replaces the clock-seeded shuffle source (tests use a seeded one); `random` must outlive us.
    void setRandomSource(RandomSource& random) { m_random = &random; }
    void setExitRequest(ExitRequest exitRequest) { m_exitRequest = std::move(exitRequest); }
    // Replaces the converter built on OpenCC's installed data; `converter` must outlive us.
    void setScriptConverter(const ScriptConverter& converter) { m_scriptConverter = &converter; }
    // Restarts Timer1 with `interval` instead of its two seconds (tests use a few milliseconds).
    void setTimer1Interval(std::chrono::milliseconds interval);

    // The two boxes that hold data but are never seen.
    const QString& text1() const { return m_text1; }
    const QString& text4() const { return m_text4; }

signals:
    // Timer1's first and only tick: time for the start-up update check.
    void updateCheckDue();

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void arrangeTabOrder();
    void centreOnScreen();
    void prepareRewriterSoon();
    void rehearseResultSoon();

    void command1Click();
    void command2Click();
    void command3Click();
    void command4Click();
    void command5Click();
    void command6Click();
    void text2Click();
    void text3Click();
    void timer1Timer();

    std::optional<QString> convertScript(const QString& text, Script target);
    void showMessage(const QString& text);

    DesktopServices m_desktop;
    LazyRewriter m_rewriter;
    bool m_rewriterPrepared = false; // asked for once the window was first painted
    bool m_resultRehearsalPending = false; // an input change waits for the next idle moment
    ScriptConverter m_installedScriptConverter;
    const ScriptConverter* m_scriptConverter = &m_installedScriptConverter;
    ClockRandom m_clockRandom;
    RandomSource* m_random = &m_clockRandom;
    ExitRequest m_exitRequest;

    QPlainTextEdit* m_text2 = nullptr;
    QPlainTextEdit* m_text3 = nullptr;
    QPushButton* m_command1 = nullptr;
    QPushButton* m_command2 = nullptr;
    QPushButton* m_command3 = nullptr;
    QPushButton* m_command4 = nullptr;
    QPushButton* m_command5 = nullptr;
    QPushButton* m_command6 = nullptr;
    QTimer* m_timer1 = nullptr;

    QString m_text1 = QStringLiteral("Text1");
    QString m_text4 = QStringLiteral("Text4");
    // The two sides of the last script conversion.
    QString m_simplifiedText;
    QString m_traditionalText;
};

} // namespace pexa

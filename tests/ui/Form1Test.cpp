#include "Form1.h"

#include "FakeDesktopServices.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <memory>

using namespace pexa;
using namespace std::chrono_literals;

namespace {

const QString inputPlaceholder = QStringLiteral("请输入要伪原创的内容\n");
const QString resultPlaceholder = QStringLiteral("结果，部分\n");

PhraseDictionary smallDictionary()
{
    return PhraseDictionary::fromEntries({u"今天=今日", u"天气=天候", u"今日=今朝"});
}

} // namespace

class Form1Test : public QObject
{
    Q_OBJECT

private:
    FakeDesktop m_desktop;
    SeededRandom m_random{20240601};
    std::unique_ptr<Form1> m_window;
    int m_exitRequests = 0;

    template <typename Control> Control* control(const char* name)
    {
        auto* found = m_window->findChild<Control*>(QLatin1String(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }
    QPlainTextEdit* box(const char* name) { return control<QPlainTextEdit>(name); }
    QPushButton* button(const char* name) { return control<QPushButton>(name); }
    void press(const char* name) { QTest::mouseClick(button(name), Qt::LeftButton); }
    void clickInto(const char* name) { QTest::mouseClick(box(name)->viewport(), Qt::LeftButton); }
    QString text(const char* name) { return box(name)->toPlainText(); }
    void setText(const char* name, const QString& text) { box(name)->setPlainText(text); }

    QStringList shownMessages() const
    {
        QStringList texts;
        for (const MessagePrompt& prompt : m_desktop.messages.shown)
            texts.append(prompt.text);
        return texts;
    }

private slots:
    void init()
    {
        m_desktop = FakeDesktop();
        m_exitRequests = 0;
        m_window = std::make_unique<Form1>(LazyRewriter(smallDictionary()), m_desktop.services());
        m_window->setRandomSource(m_random);
        m_window->setExitRequest([this] { ++m_exitRequests; });
    }

    void cleanup() { m_window.reset(); }

    // Layout -------------------------------------------------------------------------------------

    void clientAreaIsFixedAndCentred()
    {
        QCOMPARE(m_window->size(), QSize(564, 333));
        QCOMPARE(m_window->minimumSize(), QSize(564, 333));
        QCOMPARE(m_window->maximumSize(), QSize(564, 333));
        const QPoint screenCentre = m_window->screen()->availableGeometry().center();
        QVERIFY((m_window->geometry().center() - screenCentre).manhattanLength() <= 2);
    }

    void controlsSitWhereTheLayoutPutsThem_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<QString>("initialText");
        QTest::newRow("Text2") << "Text2" << QRect(8, 8, 545, 129) << inputPlaceholder;
        QTest::newRow("Text3") << "Text3" << QRect(8, 184, 545, 145) << resultPlaceholder;
        QTest::newRow("Command2") << "Command2" << QRect(8, 144, 89, 33) << "开始伪原创";
        QTest::newRow("Command1") << "Command1" << QRect(104, 144, 97, 33) << "打乱次序";
        QTest::newRow("Command6") << "Command6" << QRect(208, 144, 73, 33) << "简→繁";
        QTest::newRow("Command3") << "Command3" << QRect(288, 144, 81, 33) << "复制结果";
        QTest::newRow("Command4") << "Command4" << QRect(376, 144, 89, 33) << "清空内容";
        QTest::newRow("Command5") << "Command5" << QRect(472, 144, 81, 33) << "访问官网";
    }

    void controlsSitWhereTheLayoutPutsThem()
    {
        QFETCH(QString, name);
        QFETCH(QRect, geometry);
        QFETCH(QString, initialText);
        auto* widget = m_window->findChild<QWidget*>(name);
        QVERIFY(widget);
        QCOMPARE(widget->geometry(), geometry);
        if (auto* textBox = qobject_cast<QPlainTextEdit*>(widget))
            QCOMPARE(textBox->toPlainText(), initialText);
        else
            QCOMPARE(qobject_cast<QPushButton*>(widget)->text(), initialText);
    }

    void onlyTheSixButtonsAndTwoBoxesAreVisibleControls()
    {
        QCOMPARE(m_window->findChildren<QPushButton*>().size(), 6);
        QCOMPARE(m_window->findChildren<QPlainTextEdit*>().size(), 2);
        QCOMPARE(m_window->text1(), QStringLiteral("Text1"));
        QCOMPARE(m_window->text4(), QStringLiteral("Text4"));
    }

    void textBoxesHaveNoScrollBarsAndPassTabOn()
    {
        for (const char* name : {"Text2", "Text3"}) {
            QCOMPARE(box(name)->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
            QCOMPARE(box(name)->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
            QVERIFY(box(name)->tabChangesFocus());
        }
    }

    void captionNamesProductPublisherAndContact()
    {
        QCOMPARE(m_window->windowTitle(),
                 QStringLiteral("Pexa伪原创工具V1.0  派克萨工作室www.pexa.example  QQ:00000000"));
    }

    void backgroundIsLightBlue()
    {
        const QImage image = m_window->grab().toImage();
        for (const QPoint at : {QPoint(2, 2), QPoint(100, 140), QPoint(560, 330)})
            QCOMPARE(image.pixelColor(at), QColor(0xE5, 0xF6, 0xFE));
    }

    void focusStartsOnTheShuffleButtonAndTabWalksTheVisibleControls()
    {
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        QCOMPARE(QApplication::focusWidget(), button("Command1"));

        const QStringList expected = {"Text2",    "Command2", "Text3",    "Command3",
                                      "Command4", "Command5", "Command6", "Command1"};
        for (const QString& next : expected) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget()->objectName(), next);
        }
        QCOMPARE(text("Text2"), inputPlaceholder);
    }

    // 开始伪原创 ----------------------------------------------------------------------------------

    void rewriteWritesResultAndCopy()
    {
        setText("Text2", "今天天气好，今天\n真好。");
        press("Command2");
        QCOMPARE(text("Text3"), QStringLiteral("今朝天候好，今朝\n真好。"));
        QCOMPARE(m_window->text1(), text("Text3"));
        QVERIFY(m_desktop.messages.shown.isEmpty());
        QCOMPARE(text("Text2"), QStringLiteral("今天天气好，今天\n真好。"));
    }

    // The window rehearses a press in the idle moment after each input change; the writer sees
    // nothing of it, even for input a press would refuse.
    void idleAfterInputChangeLeavesResultAndMessagesAlone()
    {
        for (const QString& input : {QStringLiteral("今天天气好"), inputPlaceholder, QString()}) {
            setText("Text2", input);
            QCoreApplication::processEvents();
            QCOMPARE(text("Text3"), resultPlaceholder);
            QCOMPARE(m_window->text1(), QStringLiteral("Text1"));
            QVERIFY(m_desktop.messages.shown.isEmpty());
            QCOMPARE(text("Text2"), input);
        }
    }

    void rewriteRefusesMissingInput_data()
    {
        QTest::addColumn<QString>("input");
        QTest::newRow("initial text") << inputPlaceholder;
        QTest::newRow("empty") << QString();
        QTest::newRow("marker after other text") << "今天天气好请输入要伪原创的内容";
    }

    void rewriteRefusesMissingInput()
    {
        QFETCH(QString, input);
        setText("Text2", input);
        press("Command2");
        QCOMPARE(m_desktop.messages.shown.size(), 1);
        const MessagePrompt& prompt = m_desktop.messages.shown.first();
        QCOMPARE(prompt.text, QStringLiteral("请输入要伪原创的内容"));
        QCOMPARE(prompt.buttons, MessageButtons::Ok);
        QCOMPARE(prompt.caption, QStringLiteral("Pexa伪原创"));
        QCOMPARE(text("Text3"), resultPlaceholder);
        QCOMPARE(m_window->text1(), QStringLiteral("Text1"));
    }

    // 打乱次序 ------------------------------------------------------------------------------------

    void shuffleRefusesWithItsMessages_data()
    {
        QTest::addColumn<QString>("result");
        QTest::addColumn<QString>("message");
        const QString nothing = QStringLiteral("请先进行伪原创后再打乱次序！");
        const QString tooFew = QStringLiteral("最少需要2句话！才能打乱次序！");
        QTest::newRow("initial text") << resultPlaceholder << nothing;
        QTest::newRow("empty") << QString() << nothing;
        QTest::newRow("one sentence") << "今天天气好！" << tooFew;
        QTest::newRow("line breaks only") << "\n\n" << tooFew;
    }

    void shuffleRefusesWithItsMessages()
    {
        QFETCH(QString, result);
        QFETCH(QString, message);
        setText("Text3", result);
        press("Command1");
        QCOMPARE(shownMessages(), QStringList{message});
        QCOMPARE(m_desktop.messages.shown.first().caption, QStringLiteral("Pexa伪原创"));
        QCOMPARE(text("Text3"), result);
    }

    void shuffleReordersTheSentencesOfTheResultOnly()
    {
        setText("Text3", "甲，一。乙。丙。丁");
        press("Command1");
        QStringList pieces = text("Text3").split(',');
        pieces.sort();
        QCOMPARE(pieces, (QStringList{"丁", "丙", "乙", "甲，一"}));
        QVERIFY(m_desktop.messages.shown.isEmpty());
        QCOMPARE(m_window->text1(), QStringLiteral("Text1"));
        QCOMPARE(m_window->text4(), QStringLiteral("Text4"));
        QCOMPARE(button("Command6")->text(), QStringLiteral("简→繁"));
    }

    // 复制结果, 清空内容, 访问官网
    // -----------------------------------------------------------------

    void copyPutsTheResultOnTheClipboard_data()
    {
        QTest::addColumn<QString>("result");
        QTest::newRow("rewritten text") << "今朝天候好\n第二行";
        QTest::newRow("empty") << QString();
    }

    void copyPutsTheResultOnTheClipboard()
    {
        QFETCH(QString, result);
        setText("Text3", result);
        press("Command3");
        QCOMPARE(m_desktop.clipboard.texts, QStringList{result});
        QCOMPARE(shownMessages(), QStringList{"全部域名复制成功，您可以粘贴到任意处！"});
        QCOMPARE(m_desktop.messages.shown.first().buttons, MessageButtons::Ok);
    }

    void clearEmptiesTheBoxesAndKeepsTheToggle()
    {
        setText("Text2", "今天天气好");
        press("Command2");
        press("Command6");
        const QString storedTraditional = m_window->text4();
        press("Command4");
        QCOMPARE(text("Text2"), QString());
        QCOMPARE(text("Text3"), QString());
        QCOMPARE(m_window->text1(), QString());
        QCOMPARE(m_window->text4(), storedTraditional);
        QCOMPARE(button("Command6")->text(), QStringLiteral("繁→简"));

        press("Command2");
        QCOMPARE(shownMessages(), QStringList{"请输入要伪原创的内容"});
    }

    void websiteOpensThePublishersPage()
    {
        press("Command5");
        QCOMPARE(m_desktop.urls.opened, QList<QUrl>{QUrl("http://www.pexa.example/pexa")});
        QVERIFY(m_desktop.messages.shown.isEmpty());
    }

    // 简→繁 / 繁→简 ------------------------------------------------------------------------------

    void toggleGoesToTraditionalAndBack()
    {
        setText("Text3", "这是简单的头发\n后来");
        press("Command6");
        QCOMPARE(button("Command6")->text(), QStringLiteral("繁→简"));
        QCOMPARE(text("Text3"), QStringLiteral("這是簡單的頭髮\n後來"));
        QCOMPARE(m_window->text4(), text("Text3"));

        press("Command6");
        QCOMPARE(button("Command6")->text(), QStringLiteral("简→繁"));
        QCOMPARE(text("Text3"), QStringLiteral("这是简单的头发\n后来"));
        QCOMPARE(m_window->text4(), QStringLiteral("這是簡單的頭髮\n後來"));
    }

    // The way back converts what the box shows now, not the older stored text.
    void toggleBackKeepsWorkDoneInTraditional_data()
    {
        QTest::addColumn<QString>("afterFirstPress");
        QTest::addColumn<QString>("expected");
        QTest::newRow("edited") << "開發軟件"
                                << "开发软件";
        QTest::newRow("cleared") << QString() << QString();
        QTest::newRow("rewritten anew") << "今天天气好"
                                        << "今朝天候好";
    }

    void toggleBackKeepsWorkDoneInTraditional()
    {
        QFETCH(QString, afterFirstPress);
        QFETCH(QString, expected);
        setText("Text3", "这是简单的头发");
        press("Command6");
        if (QTest::currentDataTag() == QByteArray("rewritten anew")) {
            setText("Text2", afterFirstPress);
            press("Command2");
        } else {
            setText("Text3", afterFirstPress);
        }
        press("Command6");
        QCOMPARE(text("Text3"), expected);
        QCOMPARE(m_window->text4(), QStringLiteral("這是簡單的頭髮"));
    }

    void toggleOnEmptyResultOnlyFlipsTheCaption()
    {
        setText("Text3", QString());
        press("Command6");
        QCOMPARE(button("Command6")->text(), QStringLiteral("繁→简"));
        QCOMPARE(text("Text3"), QString());
        QCOMPARE(m_window->text4(), QString());
        QVERIFY(m_desktop.messages.shown.isEmpty());
    }

    // Without OpenCC's data the converter throws; that once ended the program and lost both boxes.
    void missingConversionDataKeepsTheBoxesAndTheCaption_data()
    {
        QTest::addColumn<bool>("wayBack");
        QTest::newRow("to traditional") << false;
        QTest::newRow("back to simplified") << true;
    }

    void missingConversionDataKeepsTheBoxesAndTheCaption()
    {
        QFETCH(bool, wayBack);
        setText("Text2", "我的文章");
        setText("Text3", "这是简单的头发");
        if (wayBack)
            press("Command6");
        const QString caption = button("Command6")->text();
        const QString result = text("Text3");
        const QString stored = m_window->text4();
        const ScriptConverter withoutData("/nonexistent/opencc");
        m_window->setScriptConverter(withoutData);

        press("Command6");

        QCOMPARE(button("Command6")->text(), caption);
        QCOMPARE(text("Text3"), result);
        QCOMPARE(m_window->text4(), stored);
        QCOMPARE(text("Text2"), QStringLiteral("我的文章"));
        QCOMPARE(m_desktop.messages.shown.size(), 1);
        const MessagePrompt& message = m_desktop.messages.shown.first();
        QCOMPARE(message.buttons, MessageButtons::Ok);
        QVERIFY2(message.text.contains(QStringLiteral("libopencc-data")), qPrintable(message.text));
    }

    // Clicks into the boxes ---------------------------------------------------------------------

    void clickClearsAnUntouchedPlaceholder()
    {
        clickInto("Text2");
        QCOMPARE(text("Text2"), QString());
        clickInto("Text3");
        QCOMPARE(text("Text3"), QString());
    }

    void clickKeepsTextThatMerelyContainsTheMarker_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("content");
        QTest::newRow("input typed after placeholder") << "Text2"
                                                       << "请输入要伪原创的内容\n我的文章";
        QTest::newRow("input quoting marker") << "Text2"
                                              << "他说请输入要伪原创的内容。";
        QTest::newRow("result with the phrase") << "Text3"
                                                << "考试结果，部分同学满意。";
        QTest::newRow("result marker alone") << "Text3"
                                             << "结果，部分";
    }

    void clickKeepsTextThatMerelyContainsTheMarker()
    {
        QFETCH(QString, name);
        QFETCH(QString, content);
        const QByteArray nameBytes = name.toLatin1();
        const char* boxName = nameBytes.constData();
        setText(boxName, content);
        clickInto(boxName);
        QCOMPARE(text(boxName), content);
    }

    // Closing -----------------------------------------------------------------------------------

    void closeAsksAndCancelKeepsEverything()
    {
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        setText("Text2", "我的文章");
        m_desktop.messages.setNextAnswer(MessageAnswer::Cancel);
        QVERIFY(!m_window->close());
        QVERIFY(m_window->isVisible());
        QCOMPARE(text("Text2"), QStringLiteral("我的文章"));
        QCOMPARE(text("Text3"), resultPlaceholder);
        QCOMPARE(m_exitRequests, 0);

        QCOMPARE(m_desktop.messages.shown.size(), 1);
        const MessagePrompt& prompt = m_desktop.messages.shown.first();
        QCOMPARE(prompt.text, QStringLiteral("真的退出吗?"));
        QCOMPARE(prompt.caption, QStringLiteral("退出"));
        QCOMPARE(prompt.buttons, MessageButtons::OkCancelQuestion);
    }

    void closeConfirmedEndsTheProgram()
    {
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        m_desktop.messages.setNextAnswer(MessageAnswer::Ok);
        QVERIFY(m_window->close());
        QCOMPARE(m_exitRequests, 1);
    }

    // Timer1 ------------------------------------------------------------------------------------

    void timer1IsSetForTwoSecondsAfterCreation()
    {
        const auto* timer1 = control<QTimer>("Timer1");
        QVERIFY(timer1->isActive());
        QCOMPARE(timer1->intervalAsDuration(), 2000ms);
    }

    void updateCheckIsDueOnceOnTimer1sFirstTick()
    {
        QSignalSpy due(m_window.get(), &Form1::updateCheckDue);
        m_window->setTimer1Interval(1ms);
        QVERIFY(due.wait());
        QCOMPARE(due.size(), 1);
        QVERIFY2(!control<QTimer>("Timer1")->isActive(), "the check must not come again");
    }
};

QTEST_MAIN(Form1Test)
#include "Form1Test.moc"

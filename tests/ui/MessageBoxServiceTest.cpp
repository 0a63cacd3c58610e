#include "MessageBoxService.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <functional>

using namespace pexa;

// The real message boxes: opened for a moment, looked at and answered from a timer.
class MessageBoxServiceTest : public QObject
{
    Q_OBJECT

private:
    // Runs `inspect` on the box once it is open; `inspect` must close it.
    static MessageAnswer showAndInspect(const MessagePrompt& prompt,
                                        const std::function<void(QMessageBox&)>& inspect)
    {
        QTimer::singleShot(0, [inspect] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            inspect(*box);
        });
        QtMessageBoxService service;
        return service.show(prompt);
    }

private slots:
    void okBoxHasNoIconAndTheApplicationTitle()
    {
        const MessageAnswer answer =
            showAndInspect({QStringLiteral("复制成功")}, [](QMessageBox& box) {
                QCOMPARE(box.windowTitle(), QStringLiteral("Pexa伪原创"));
                QCOMPARE(box.icon(), QMessageBox::NoIcon);
                QCOMPARE(box.standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
                box.button(QMessageBox::Ok)->click();
            });
        QCOMPARE(answer, MessageAnswer::Ok);
    }

    void questionBoxAnswersOkOrCancel()
    {
        const MessagePrompt question{QStringLiteral("真的退出吗?"),
                                     MessageButtons::OkCancelQuestion, QStringLiteral("退出")};
        for (const auto& [pressed, expected] :
             {std::pair{QMessageBox::Ok, MessageAnswer::Ok},
              std::pair{QMessageBox::Cancel, MessageAnswer::Cancel}}) {
            const MessageAnswer answer = showAndInspect(question, [pressed](QMessageBox& box) {
                QCOMPARE(box.windowTitle(), QStringLiteral("退出"));
                QCOMPARE(box.icon(), QMessageBox::Question);
                QCOMPARE(box.standardButtons(), QMessageBox::Ok | QMessageBox::Cancel);
                box.button(pressed)->click();
            });
            QCOMPARE(answer, expected);
        }
    }

    void closingTheQuestionBoxCountsAsCancel()
    {
        const MessagePrompt question{QStringLiteral("真的退出吗?"),
                                     MessageButtons::OkCancelQuestion, QStringLiteral("退出")};
        const MessageAnswer answer = showAndInspect(
            question, [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); });
        QCOMPARE(answer, MessageAnswer::Cancel);
    }

    void textIsNeverReadAsRichText()
    {
        const QString markup = QStringLiteral("<b>粗体</b> &amp; <a href=\"x\">链接</a>");
        showAndInspect({markup}, [markup](QMessageBox& box) {
            QCOMPARE(box.textFormat(), Qt::PlainText);
            QCOMPARE(box.text(), markup);
            box.button(QMessageBox::Ok)->click();
        });
    }
};

QTEST_MAIN(MessageBoxServiceTest)
#include "MessageBoxServiceTest.moc"

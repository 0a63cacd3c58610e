#include "MessageBoxService.h"

#include "ModalBoxAnswerer.h"

#include <QTest>

using namespace pexa;

Q_DECLARE_METATYPE(pexa::MessageAnswer)

// The real message boxes, opened for a moment and answered as soon as they are open. The checks
// look at what the box showed once it has gone, so a failing check never leaves a box open.
class MessageBoxServiceTest : public QObject
{
    Q_OBJECT

private:
    static MessageAnswer showAndAnswer(const MessagePrompt& prompt,
                                       QMessageBox::StandardButton answer, ShownBox& shown)
    {
        const ModalBoxAnswerer answerer(answer);
        QtMessageBoxService service;
        const MessageAnswer given = service.show(prompt);
        shown = answerer.shown();
        return given;
    }

    const MessagePrompt m_question{QStringLiteral("真的退出吗?"), MessageButtons::OkCancelQuestion,
                                   QStringLiteral("退出")};

private slots:
    void okBoxHasNoIconAndTheApplicationTitle()
    {
        ShownBox shown;
        QCOMPARE(showAndAnswer({QStringLiteral("复制成功")}, QMessageBox::Ok, shown),
                 MessageAnswer::Ok);
        QVERIFY(shown.seen);
        QCOMPARE(shown.title, QStringLiteral("Pexa伪原创"));
        QCOMPARE(shown.icon, QMessageBox::NoIcon);
        QCOMPARE(shown.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    }

    void questionBoxAnswersOkOrCancel_data()
    {
        QTest::addColumn<QMessageBox::StandardButton>("pressed");
        QTest::addColumn<MessageAnswer>("expected");
        QTest::newRow("OK") << QMessageBox::Ok << MessageAnswer::Ok;
        QTest::newRow("Cancel") << QMessageBox::Cancel << MessageAnswer::Cancel;
        // NoButton makes the answerer press Escape, as closing the box does.
        QTest::newRow("closed") << QMessageBox::NoButton << MessageAnswer::Cancel;
    }

    void questionBoxAnswersOkOrCancel()
    {
        QFETCH(QMessageBox::StandardButton, pressed);
        QFETCH(MessageAnswer, expected);
        ShownBox shown;
        QCOMPARE(showAndAnswer(m_question, pressed, shown), expected);
        QCOMPARE(shown.title, QStringLiteral("退出"));
        QCOMPARE(shown.icon, QMessageBox::Question);
        QCOMPARE(shown.buttons, QMessageBox::Ok | QMessageBox::Cancel);
    }

    void textIsNeverReadAsRichText()
    {
        const QString markup = QStringLiteral("<b>粗体</b> &amp; <a href=\"x\">链接</a>");
        ShownBox shown;
        showAndAnswer({markup}, QMessageBox::Ok, shown);
        QCOMPARE(shown.textFormat, Qt::PlainText);
        QCOMPARE(shown.text, markup);
    }
};

QTEST_MAIN(MessageBoxServiceTest)
#include "MessageBoxServiceTest.moc"

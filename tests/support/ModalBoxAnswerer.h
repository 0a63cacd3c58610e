#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

namespace pexa {

// What a real message box showed, noted just before it was answered.
struct ShownBox
{
    bool seen = false;
    QString title;
    QString text;
    Qt::TextFormat textFormat = Qt::AutoText;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
};

// Answers the next modal message box as soon as it is open: notes what it shows, then presses
// `answer` (Escape when it is NoButton). The answer never depends on what the box shows, so a
// test's checks, made on the note once the box is gone, cannot leave a box waiting in exec().
class ModalBoxAnswerer
{
public:
    explicit ModalBoxAnswerer(QMessageBox::StandardButton answer) : m_answer(answer)
    {
        QObject::connect(&m_watch, &QTimer::timeout, &m_watch, [this] { answerOpenBox(); });
        m_watch.start(0);
    }

    const ShownBox& shown() const { return m_shown; }

private:
    void answerOpenBox()
    {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        m_watch.stop();
        m_shown = {true,        box->windowTitle(),    box->text(), box->textFormat(),
                   box->icon(), box->standardButtons()};
        if (QAbstractButton* button = box->button(m_answer))
            button->click();
        else
            QTest::keyClick(box, Qt::Key_Escape);
    }

    QMessageBox::StandardButton m_answer;
    QTimer m_watch;
    ShownBox m_shown;
};

} // namespace pexa

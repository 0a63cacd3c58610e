#include "MessageBoxService.h"

#include <QMessageBox>

namespace pexa {

MessageAnswer QtMessageBoxService::show(const MessagePrompt& prompt)
{
    const bool asks = prompt.buttons == MessageButtons::OkCancelQuestion;
    QMessageBox box(asks ? QMessageBox::Question : QMessageBox::NoIcon, prompt.caption, prompt.text,
                    asks ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Ok, m_parent);
    box.setTextFormat(Qt::PlainText);
    if (asks)
        box.setEscapeButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
}

} // namespace pexa

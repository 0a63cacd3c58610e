#pragma once

#include <QString>

class QWidget;

namespace pexa {

// The caption of every message box that names none of its own.
inline QString applicationTitle()
{
    return QStringLiteral("Pexa伪原创");
}

enum class MessageButtons
{
    Ok = 0,                // the OK button only, no icon
    OkCancelQuestion = 33, // OK and Cancel with the question icon
};

enum class MessageAnswer
{
    Ok = 1,
    Cancel = 2, // also when the box is closed
};

struct MessagePrompt
{
    QString text;
    MessageButtons buttons = MessageButtons::Ok;
    QString caption = applicationTitle();
};

// Modal message boxes. Tests answer them through a fake instead of blocking on a real dialog.
class MessageBoxService
{
public:
    virtual ~MessageBoxService() = default;
    virtual MessageAnswer show(const MessagePrompt& prompt) = 0;
};

// Shows a QMessageBox over `parent`. Texts are always plain text, never rich text.
class QtMessageBoxService : public MessageBoxService
{
public:
    explicit QtMessageBoxService(QWidget* parent = nullptr) : m_parent(parent) {}

    void setParent(QWidget* parent) { m_parent = parent; }
    MessageAnswer show(const MessagePrompt& prompt) override;

private:
    QWidget* m_parent;
};

} // namespace pexa

#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

#include "DesktopServices.h"
#include "MessageBoxService.h"

namespace pexa {

// Records every message box and answers it from a queue (OK when the queue is empty).
class FakeMessageBoxService : public MessageBoxService
{
public:
    void setNextAnswer(MessageAnswer answer) { m_answers.append(answer); }

    MessageAnswer show(const MessagePrompt& prompt) override
    {
        shown.append(prompt);
        return m_answers.isEmpty() ? MessageAnswer::Ok : m_answers.takeFirst();
    }

    QList<MessagePrompt> shown;

private:
    QList<MessageAnswer> m_answers;
};

class FakeClipboardWriter : public ClipboardWriter
{
public:
    void setPlainText(const QString& text) override { texts.append(text); }

    QStringList texts;
};

class FakeUrlOpener : public UrlOpener
{
public:
    bool open(const QUrl& address) override
    {
        opened.append(address);
        return true;
    }

    QList<QUrl> opened;
};

// One set of fakes, handed to the code under test as its desktop services.
struct FakeDesktop
{
    FakeMessageBoxService messages;
    FakeClipboardWriter clipboard;
    FakeUrlOpener urls;

    DesktopServices services() { return {messages, clipboard, urls}; }
};

} // namespace pexa

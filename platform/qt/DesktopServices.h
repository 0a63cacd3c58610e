#pragma once

#include <QString>
#include <QUrl>

namespace pexa {

class MessageBoxService;

// Puts text on the system clipboard as plain text, replacing what was there.
class ClipboardWriter
{
public:
    virtual ~ClipboardWriter() = default;
    virtual void setPlainText(const QString& text) = 0;
};

// Opens a web address in the user's browser and returns at once.
class UrlOpener
{
public:
    virtual ~UrlOpener() = default;
    virtual bool open(const QUrl& address) = 0;
};

class QtClipboardWriter : public ClipboardWriter
{
public:
    void setPlainText(const QString& text) override;
};

class QtUrlOpener : public UrlOpener
{
public:
    bool open(const QUrl& address) override;
};

// The desktop services the window and the update check lean on, owned by the caller.
struct DesktopServices
{
    MessageBoxService& messages;
    ClipboardWriter& clipboard;
    UrlOpener& urls;
};

} // namespace pexa

#include "DesktopServices.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>

namespace pexa {

void QtClipboardWriter::setPlainText(const QString& text)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
}

bool QtUrlOpener::open(const QUrl& address)
{
    return QDesktopServices::openUrl(address);
}

} // namespace pexa

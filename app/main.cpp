#include "BuiltinDictionary.h"
#include "DesktopServices.h"
#include "Form1.h"
#include "MessageBoxService.h"
#include "Publisher.h"
#include "UpdateCheck.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pexa伪原创"));
    QApplication::setApplicationVersion(QStringLiteral(PEXA_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("pexa"));
    QIcon icon;
    for (int size : {16, 24, 32, 48})
        icon.addFile(QStringLiteral(":/icons/pexa-%1.png").arg(size), QSize(size, size));
    QApplication::setWindowIcon(icon);

    pexa::QtMessageBoxService messages;
    pexa::QtClipboardWriter clipboard;
    pexa::QtUrlOpener urls;
    pexa::Form1 window(pexa::LazyRewriter(pexa::loadBuiltinDictionary()),
                       {messages, clipboard, urls});
    messages.setParent(&window);

    pexa::UpdateCheck updateCheck({messages, clipboard, urls},
                                  QStringView(pexa::publisher::updateHost).toString());
    QObject::connect(&window, &pexa::Form1::updateCheckDue, &updateCheck, &pexa::UpdateCheck::run);

    window.show();
    return QApplication::exec();
}

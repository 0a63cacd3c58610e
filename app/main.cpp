#include "DesktopServices.h"
#include "Form1.h"
#include "MessageBoxService.h"
#include "Publisher.h"
#include "UpdateCheckModule.h"
#include "WindowIcon.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pexa伪原创"));
    QApplication::setApplicationVersion(QStringLiteral(PEXA_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("pexa"));
    QApplication::setWindowIcon(pexa::windowIcon());

    pexa::QtMessageBoxService messages;
    pexa::QtClipboardWriter clipboard;
    pexa::QtUrlOpener urls;
    pexa::Form1 window(pexa::LazyRewriter(), {messages, clipboard, urls});
    messages.setParent(&window);

    // Timer1 fires once; the update check is loaded only then.
    QObject::connect(&window, &pexa::Form1::updateCheckDue, &window, [&] {
        const QString moduleFolder =
            QCoreApplication::applicationDirPath() + QStringLiteral("/" PEXA_MODULE_FOLDER);
        pexa::updatemodule::startUpdateCheck(moduleFolder, {messages, clipboard, urls},
                                             QStringView(pexa::publisher::updateHost).toString(),
                                             &window);
    });

    window.show();
    return QApplication::exec();
}

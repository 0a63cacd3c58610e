// Times the first and the second press of 开始伪原创 in a window started as the program starts it,
// on one article: prints the two times in milliseconds on one line. The first press is the one
// that would pay for anything the window leaves until it is needed.
//
// Usage: pexa_press_timer ARTICLE (UTF-8); run on the offscreen platform by scripts/bench.sh.
#include "DesktopServices.h"
#include "Form1.h"
#include "MessageBoxService.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <cstdio>

namespace {

double millisecondsOfPress(QPushButton& button)
{
    QElapsedTimer timer;
    timer.start();
    button.click();
    return double(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QFile article(argc == 2 ? QString::fromLocal8Bit(argv[1]) : QString());
    if (!article.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "usage: pexa_press_timer ARTICLE\n");
        return 2;
    }
    pexa::QtMessageBoxService messages;
    pexa::QtClipboardWriter clipboard;
    pexa::QtUrlOpener urls;
    pexa::Form1 window(pexa::LazyRewriter(), {messages, clipboard, urls});
    window.show();
    QApplication::processEvents();

    // As if pasted: the input box lays the text out before the press.
    window.findChild<QPlainTextEdit*>(QStringLiteral("Text2"))
        ->setPlainText(QString::fromUtf8(article.readAll()));
    QApplication::processEvents();
    auto* command2 = window.findChild<QPushButton*>(QStringLiteral("Command2"));
    const double first = millisecondsOfPress(*command2);
    const double second = millisecondsOfPress(*command2);
    std::printf("%.3f %.3f\n", first, second);
    return 0;
}

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

    // Each press as a writer makes it: the article pasted, so the input box lays it out, then the
    // press. The second press thus starts from the same state as the first, less what the first
    // left prepared.
    auto* text2 = window.findChild<QPlainTextEdit*>(QStringLiteral("Text2"));
    auto* command2 = window.findChild<QPushButton*>(QStringLiteral("Command2"));
    const QString text = QString::fromUtf8(article.readAll());
    auto pasteAndPress = [&] {
        text2->setPlainText(text);
        QApplication::processEvents();
        return millisecondsOfPress(*command2);
    };
    const double first = pasteAndPress();
    const double second = pasteAndPress();
    std::printf("%.3f %.3f\n", first, second);
    return 0;
}

// Times the first and the second press of 开始伪原创 in a window started as the program starts it:
// prints the two times in milliseconds on one line. The first press is the one that would pay for
// anything the window leaves until it is needed.
//
// Each press rewrites its own article of the same size, as a writer's presses do: pressing again on
// the very same text runs every step on data and branches the processor has just seen, which makes
// a repeat faster whatever the window prepares. Run the two orders alternately to cancel out any
// difference between the articles (tools/measure-press.sh does).
//
// Usage: pexa_press_timer FIRST_ARTICLE SECOND_ARTICLE (UTF-8), on the offscreen platform.
#include "DesktopServices.h"
#include "Form1.h"
#include "MessageBoxService.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <cstdio>
#include <optional>

namespace {

std::optional<QString> readArticle(const char* path)
{
    QFile article(QString::fromLocal8Bit(path));
    if (!article.open(QIODevice::ReadOnly))
        return std::nullopt;
    return QString::fromUtf8(article.readAll());
}

double millisecondsOfPress(QPushButton& button)
{
    QElapsedTimer timer;
    timer.start();
    button.click();
    return double(timer.nsecsElapsed()) / 1e6;
}

// Each press has a function of its own so that callgrind can count the instructions of one press
// alone (tools/measure-press.sh --instructions); noipa keeps the compiler from merging the two.
__attribute__((noipa)) double millisecondsOfFirstPress(QPushButton& button)
{
    return millisecondsOfPress(button);
}

__attribute__((noipa)) double millisecondsOfSecondPress(QPushButton& button)
{
    return millisecondsOfPress(button);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const std::optional<QString> firstArticle = argc == 3 ? readArticle(argv[1]) : std::nullopt;
    const std::optional<QString> secondArticle = argc == 3 ? readArticle(argv[2]) : std::nullopt;
    if (!firstArticle || !secondArticle) {
        std::fprintf(stderr, "usage: pexa_press_timer FIRST_ARTICLE SECOND_ARTICLE\n");
        return 2;
    }
    pexa::QtMessageBoxService messages;
    pexa::QtClipboardWriter clipboard;
    pexa::QtUrlOpener urls;
    pexa::Form1 window(pexa::LazyRewriter(), {messages, clipboard, urls});
    window.show();
    QApplication::processEvents();

    // Each press as a writer makes it: the article pasted, so the input box lays it out, then the
    // press.
    auto* text2 = window.findChild<QPlainTextEdit*>(QStringLiteral("Text2"));
    auto* command2 = window.findChild<QPushButton*>(QStringLiteral("Command2"));
    auto pasteAndPress = [&](const QString& article, double (*press)(QPushButton&)) {
        text2->setPlainText(article);
        QApplication::processEvents();
        return press(*command2);
    };
    const double first = pasteAndPress(*firstArticle, millisecondsOfFirstPress);
    const double second = pasteAndPress(*secondArticle, millisecondsOfSecondPress);
    std::printf("%.3f %.3f\n", first, second);
    return 0;
}

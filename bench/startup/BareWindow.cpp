// The yardstick for the program's start-up: a window with the same controls, the same texts and
// the same size, but no dictionary, no engine and no timer behind it.
#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>

namespace {

struct Control
{
    QRect geometry;
    const char16_t* text;
};

const Control textBoxes[] = {{{8, 8, 545, 129}, u"请输入要伪原创的内容\n"},
                             {{8, 184, 545, 145}, u"结果，部分\n"}};
const Control buttons[] = {{{8, 144, 89, 33}, u"开始伪原创"}, {{104, 144, 97, 33}, u"打乱次序"},
                           {{208, 144, 73, 33}, u"简→繁"},    {{288, 144, 81, 33}, u"复制结果"},
                           {{376, 144, 89, 33}, u"清空内容"}, {{472, 144, 81, 33}, u"访问官网"}};

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Pexa伪原创工具V1.0"));
    window.setFixedSize(564, 333);
    for (const Control& box : textBoxes) {
        auto* edit = new QPlainTextEdit(QString::fromUtf16(box.text), &window);
        edit->setGeometry(box.geometry);
        edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }
    for (const Control& button : buttons)
        (new QPushButton(QString::fromUtf16(button.text), &window))->setGeometry(button.geometry);
    window.show();
    return QApplication::exec();
}

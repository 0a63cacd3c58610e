#include "Form1.h"

#include "MessageBoxService.h"
#include "Placeholders.h"
#include "Publisher.h"
#include "SentenceShuffle.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QTimer>
#include <QUrl>

namespace pexa {
namespace {

// The layout is kept in twips, 15 to a pixel at 96 dots per inch, measured in the client area.
constexpr int twipsPerPixel = 15;
constexpr QSize clientSizeTwips(8460, 4995);
const QColor backgroundBlue(0xE5, 0xF6, 0xFE);
constexpr std::chrono::milliseconds timer1Interval(2000);
// How much of the input's top the rehearsal of a press rewrites and lays out: a long article, and
// more than the result box shows at once.
constexpr qsizetype rehearsedLength = 4096;

const QString toTraditionalCaption = QStringLiteral("简→繁");
const QString toSimplifiedCaption = QStringLiteral("繁→简");

QRect fromTwips(int left, int top, int width, int height)
{
    return QRect(left / twipsPerPixel, top / twipsPerPixel, width / twipsPerPixel,
                 height / twipsPerPixel);
}

QString toQString(std::u16string_view text)
{
    return QStringView(text).toString();
}

std::u16string_view toView(const QString& text)
{
    return std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                               static_cast<std::size_t>(text.size()));
}

// "Pexa伪原创工具V1.0", then the publisher, its website and a contact, each group two blanks apart.
QString caption()
{
    return QStringLiteral("Pexa伪原创工具V1.0  ") + toQString(publisher::name) +
           toQString(publisher::websiteHost) + QStringLiteral("  ") + toQString(publisher::contact);
}

// A multi-line box as the window wants it: no scroll bars, and Tab moves on instead of typing.
QPlainTextEdit* createTextBox(QWidget* parent, const QString& name, const QRect& geometry,
                              std::u16string_view initialText)
{
    auto* box = new QPlainTextEdit(toQString(initialText), parent);
    box->setObjectName(name);
    box->setGeometry(geometry);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setTabChangesFocus(true);
    return box;
}

QPushButton* createButton(QWidget* parent, const QString& name, const QRect& geometry,
                          const QString& caption)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(geometry);
    button->setAutoDefault(false);
    return button;
}

bool isLeftClick(const QEvent* event)
{
    return event->type() == QEvent::MouseButtonRelease &&
           static_cast<const QMouseEvent*>(event)->button() == Qt::LeftButton;
}

// The first `limit` characters of the document (lines joined by "\n"), reading no more lines than
// that takes.
QString leadingText(const QTextDocument& document, qsizetype limit)
{
    QString text;
    for (QTextBlock block = document.begin(); block.isValid() && text.size() < limit;
         block = block.next())
        text += block.text() + u'\n';
    return text.left(limit);
}

// Lays `text` out as `box` would, out of sight: the characters are shaped and their glyphs measured
// with the box's font, which the font caches keep for when the box itself shows them.
void layOutLike(const QPlainTextEdit& box, const QString& text)
{
    QTextLayout layout(text, box.font());
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine())
        line.setLineWidth(box.viewport()->width());
    layout.endLayout();
}

} // namespace

Form1::Form1(LazyRewriter rewriter, DesktopServices desktop, QWidget* parent)
    : QWidget(parent), m_desktop(desktop), m_rewriter(std::move(rewriter)),
      m_exitRequest([] { QCoreApplication::exit(0); })
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(caption());
    setFixedSize(clientSizeTwips / twipsPerPixel);
    createControls();
    arrangeTabOrder();
    centreOnScreen();
    m_command1->setFocus();
    connect(m_text2, &QPlainTextEdit::textChanged, this, &Form1::rehearseResultSoon);

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    connect(m_timer1, &QTimer::timeout, this, &Form1::timer1Timer);
    m_timer1->start(timer1Interval);
}

Form1::~Form1() = default;

void Form1::setTimer1Interval(std::chrono::milliseconds interval)
{
    m_timer1->start(interval);
}

void Form1::createControls()
{
    m_text2 = createTextBox(this, QStringLiteral("Text2"), fromTwips(120, 120, 8175, 1935),
                            placeholders::inputText);
    m_text3 = createTextBox(this, QStringLiteral("Text3"), fromTwips(120, 2760, 8175, 2175),
                            placeholders::resultText);
    m_text2->viewport()->installEventFilter(this);
    m_text3->viewport()->installEventFilter(this);

    m_command2 = createButton(this, QStringLiteral("Command2"), fromTwips(120, 2160, 1335, 495),
                              QStringLiteral("开始伪原创"));
    m_command1 = createButton(this, QStringLiteral("Command1"), fromTwips(1560, 2160, 1455, 495),
                              QStringLiteral("打乱次序"));
    m_command6 = createButton(this, QStringLiteral("Command6"), fromTwips(3120, 2160, 1095, 495),
                              toTraditionalCaption);
    m_command3 = createButton(this, QStringLiteral("Command3"), fromTwips(4320, 2160, 1215, 495),
                              QStringLiteral("复制结果"));
    m_command4 = createButton(this, QStringLiteral("Command4"), fromTwips(5640, 2160, 1335, 495),
                              QStringLiteral("清空内容"));
    m_command5 = createButton(this, QStringLiteral("Command5"), fromTwips(7080, 2160, 1215, 495),
                              QStringLiteral("访问官网"));

    connect(m_command1, &QPushButton::clicked, this, &Form1::command1Click);
    connect(m_command2, &QPushButton::clicked, this, &Form1::command2Click);
    connect(m_command3, &QPushButton::clicked, this, &Form1::command3Click);
    connect(m_command4, &QPushButton::clicked, this, &Form1::command4Click);
    connect(m_command5, &QPushButton::clicked, this, &Form1::command5Click);
    connect(m_command6, &QPushButton::clicked, this, &Form1::command6Click);
}

// The focus walks the visible controls in the order the window has always used: it starts on the
// shuffle button, not on the first button of the row.
void Form1::arrangeTabOrder()
{
    QWidget* const order[] = {m_command1, m_text2,    m_command2, m_text3,
                              m_command3, m_command4, m_command5, m_command6};
    for (std::size_t at = 1; at < std::size(order); ++at)
        setTabOrder(order[at - 1], order[at]);
}

void Form1::centreOnScreen()
{
    const QRect available = screen()->availableGeometry();
    move(available.center() - rect().center());
}

void Form1::paintEvent(QPaintEvent*)
{
    QPainter(this).fillRect(rect(), backgroundBlue);
    prepareRewriterSoon();
}

// The rewriter is made, and its index read into the processor's cache, in the first idle moment
// after the window is on screen: neither the start nor the first 开始伪原创 press waits for it.
void Form1::prepareRewriterSoon()
{
    if (m_rewriterPrepared)
        return;
    m_rewriterPrepared = true;
    QTimer::singleShot(0, this, [this] { m_rewriter.prepare(); });
}

// After a paste or an edit, while the writer reaches for 开始伪原创, the rewrite of the input's top
// is laid out once with the result box's font. The characters the dictionary brings into the text
// are then shaped before the press, which would otherwise wait for each one the result box shows
// for the first time. Changes made within one pass of the event loop are rehearsed once.
void Form1::rehearseResultSoon()
{
    if (m_resultRehearsalPending)
        return;
    m_resultRehearsalPending = true;
    QTimer::singleShot(0, this, [this] {
        m_resultRehearsalPending = false;
        const QString top = leadingText(*m_text2->document(), rehearsedLength);
        if (const std::optional<std::u16string> rewritten =
                rewriteArticle(toView(top), m_rewriter.get()))
            layOutLike(*m_text3, toQString(*rewritten));
    });
}

// Clicks into the two boxes: the handlers run after the box has taken the click.
bool Form1::eventFilter(QObject* watched, QEvent* event)
{
    if (isLeftClick(event)) {
        if (watched == m_text2->viewport())
            text2Click();
        else if (watched == m_text3->viewport())
            text3Click();
    }
    return QWidget::eventFilter(watched, event);
}

// 打乱次序: shuffles the sentences of the result box.
void Form1::command1Click()
{
    const ShuffleOutcome outcome = shuffleSentences(toView(m_text3->toPlainText()), *m_random);
    switch (outcome.status) {
    case ShuffleStatus::NothingRewritten:
        showMessage(QStringLiteral("请先进行伪原创后再打乱次序！"));
        break;
    case ShuffleStatus::TooFewSentences:
        showMessage(QStringLiteral("最少需要2句话！才能打乱次序！"));
        break;
    case ShuffleStatus::Shuffled:
        m_text3->setPlainText(toQString(outcome.text));
        break;
    }
}

// 开始伪原创: rewrites the input box into the result box and keeps a copy in Text1.
void Form1::command2Click()
{
    const std::optional<std::u16string> rewritten =
        rewriteArticle(toView(m_text2->toPlainText()), m_rewriter.get());
    if (!rewritten) {
        showMessage(toQString(placeholders::inputMarker));
        return;
    }
    m_text3->setPlainText(toQString(*rewritten));
    m_text1 = m_text3->toPlainText();
}

// 复制结果: whatever the result box holds goes to the clipboard, even when it is empty.
void Form1::command3Click()
{
    m_desktop.clipboard.setPlainText(m_text3->toPlainText());
    showMessage(QStringLiteral("全部域名复制成功，您可以粘贴到任意处！"));
}

// 清空内容: empties both boxes and the copy; the script toggle keeps its state.
void Form1::command4Click()
{
    m_text1.clear();
    m_text2->clear();
    m_text3->clear();
}

// 访问官网: opens the publisher's website in the browser.
void Form1::command5Click()
{
    const QString address =
        QStringLiteral("http://") + toQString(publisher::websiteHost) + QStringLiteral("/pexa");
    m_desktop.urls.open(QUrl(address));
}

// 简→繁 / 繁→简: the caption is the toggle's state and names the next conversion. Both ways convert
// what the result box shows now, so edits, a new rewrite or a shuffle made while the box showed
// traditional characters are kept on the way back. Text4 keeps the last traditional text. When the
// conversion fails, the boxes and the caption stay exactly as they were.
void Form1::command6Click()
{
    const bool toTraditional = m_command6->text() == toTraditionalCaption;
    const QString source = m_text3->toPlainText();
    const std::optional<QString> converted =
        convertScript(source, toTraditional ? Script::Traditional : Script::Simplified);
    if (!converted)
        return;
    if (toTraditional) {
        m_command6->setText(toSimplifiedCaption);
        m_simplifiedText = source;
        m_traditionalText = *converted;
        m_text4 = m_traditionalText;
        m_text3->setPlainText(m_text4);
    } else {
        m_command6->setText(toTraditionalCaption);
        m_traditionalText = source;
        m_simplifiedText = *converted;
        m_text3->setPlainText(m_simplifiedText);
    }
}

// The converted text, or nothing once the user has been told which package's data is missing: an
// installation without OpenCC's data must not cost the writer the text in the boxes.
std::optional<QString> Form1::convertScript(const QString& text, Script target)
{
    try {
        return toQString(m_scriptConverter->convert(toView(text), target));
    } catch (const ScriptDataMissing& missing) {
        const QString what = QString::fromStdString(
            missing.file().empty() ? std::string(missing.what()) : missing.file());
        showMessage(QStringLiteral("简繁转换的数据无法载入：%1\n请安装软件包 %2 后再试。")
                        .arg(what, QString::fromStdString(missing.package())));
        return std::nullopt;
    }
}

// A click clears a box only while it still shows its untouched initial text, so a writer's own
// text is never wiped because it happens to contain the placeholder's words.
void Form1::text2Click()
{
    if (m_text2->toPlainText() == toQString(placeholders::inputText))
        m_text2->clear();
}

void Form1::text3Click()
{
    if (m_text3->toPlainText() == toQString(placeholders::resultText))
        m_text3->clear();
}

// The first tick starts the update check, once per start.
void Form1::timer1Timer()
{
    m_timer1->stop();
    emit updateCheckDue();
}

void Form1::closeEvent(QCloseEvent* event)
{
    const MessagePrompt confirmation{QStringLiteral("真的退出吗?"),
                                     MessageButtons::OkCancelQuestion, QStringLiteral("退出")};
    if (m_desktop.messages.show(confirmation) != MessageAnswer::Ok) {
        event->ignore();
        return;
    }
    event->accept();
    m_exitRequest();
}

void Form1::showMessage(const QString& text)
{
    m_desktop.messages.show(MessagePrompt{text});
}

} // namespace pexa

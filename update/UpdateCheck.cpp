#include "UpdateCheck.h"

#include "MessageBoxService.h"
#include "Module1.h"

#include <QUrl>
#include <algorithm>

namespace pexa {

namespace {

// Everything before the first CR LF; the whole text when it holds none. Lines ending in LF alone
// therefore give the whole text, which then differs from any version.
QString firstLine(const QString& text)
{
    return text.left(text.indexOf(QStringLiteral("\r\n")));
}

// A version as the version file gives it: short, and free of control characters other than the
// CR and LF that a file with other line ends leaves in its first line. Anything else (a NUL from a
// UTF-16 file, a whole page on one line) is not a version and must not reach the question box.
bool looksLikeVersion(const QString& line)
{
    if (line.isEmpty() || line.size() > UpdateCheck::maxVersionLength)
        return false;
    return std::none_of(line.cbegin(), line.cend(), [](QChar character) {
        return character.category() == QChar::Other_Control && character != u'\r' &&
               character != u'\n';
    });
}

} // namespace

UpdateCheck::UpdateCheck(DesktopServices desktop, QString updateHost, QObject* parent)
    : QObject(parent), m_desktop(desktop), m_updateHost(std::move(updateHost))
{
}

QString UpdateCheck::builtInVersion()
{
    // Major "9." and minor "3", compared exactly: no trimming and no numeric reading.
    return QStringLiteral("9.") + QStringLiteral("3");
}

void UpdateCheck::run()
{
    if (m_hasRun)
        return;
    m_hasRun = true;
    const QString newestVersion =
        firstLine(Module1::FetchText(versionFileAddress()).value_or(QString()));
    if (!looksLikeVersion(newestVersion) || newestVersion == builtInVersion())
        return;
    offerUpdate(newestVersion);
}

QString UpdateCheck::versionFileAddress() const
{
    return QStringLiteral("http://") + m_updateHost + QStringLiteral("/mireva/zazure.txt");
}

QString UpdateCheck::downloadPageAddress() const
{
    return QStringLiteral("http://") + m_updateHost + QStringLiteral("/mireva/");
}

void UpdateCheck::offerUpdate(const QString& newestVersion)
{
    // The version comes from the network: the message box shows it as plain text, never as markup.
    const MessagePrompt question{QStringLiteral("最新版本") + newestVersion +
                                     QStringLiteral("，是否更新？"),
                                 MessageButtons::OkCancelQuestion, QStringLiteral("发现最新版本")};
    if (m_desktop.messages.show(question) == MessageAnswer::Ok)
        m_desktop.urls.open(QUrl(downloadPageAddress()));
}

} // namespace pexa

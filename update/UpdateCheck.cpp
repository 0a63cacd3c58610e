#include "UpdateCheck.h"

#include "MessageBoxService.h"
#include "Module1.h"

#include <QUrl>

namespace pexa {

namespace {

// Everything before the first CR LF; the whole text when it holds none. Lines ending in LF alone
// therefore give the whole text, which then differs from any version.
QString firstLine(const QString& text)
{
    return text.left(text.indexOf(QStringLiteral("\r\n")));
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
    if (newestVersion.isEmpty() || newestVersion == builtInVersion())
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

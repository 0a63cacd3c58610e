#pragma once

#include "DesktopServices.h"

#include <QObject>
#include <QString>

namespace pexa {

// Asks the update server for the newest version and, when it differs from this build's version,
// offers to open the download page. The window's timer triggers it shortly after start; every
// failure on the way is silent, and the one question is the only thing the user ever sees of it.
class UpdateCheck : public QObject
{
    Q_OBJECT

public:
    // `updateHost` is a host name, optionally with a port: "update.pexa.example", "127.0.0.1:8080".
    UpdateCheck(DesktopServices desktop, QString updateHost, QObject* parent = nullptr);

    // This build's version, "9.3", compared as text with the first line of the version file.
    static QString builtInVersion();

    // A longer first line is not a version, and the check stays silent about it.
    static constexpr qsizetype maxVersionLength = 64;

public slots:
    // Fetches the version file and asks about the update when the versions differ. Runs once per
    // start: later calls, including those that arrive while the fetch waits, do nothing.
    void run();

private:
    QString versionFileAddress() const;
    QString downloadPageAddress() const;
    void offerUpdate(const QString& newestVersion);

    DesktopServices m_desktop;
    QString m_updateHost;
    bool m_hasRun = false;
};

} // namespace pexa

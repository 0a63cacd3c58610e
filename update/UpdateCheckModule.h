#pragma once

#include "DesktopServices.h"

#include <QObject>
#include <QString>

namespace pexa::updatemodule {

// The update check, and the network libraries it needs, live in a module of their own that the
// program loads only when the check is due: the start does not pay for loading them.

// The module's file name without the platform's prefix and suffix (libNAME.so).
inline constexpr char fileName[] = "pexa-update-check";

// The one function the module exports: makes an UpdateCheck for `updateHost`, owned by `parent`.
using CreateFunction = QObject* (*)(const DesktopServices& desktop, const QString& updateHost,
                                    QObject* parent);
inline constexpr char createFunctionName[] = "pexaCreateUpdateCheck";

// Loads the module from `folder`, makes its UpdateCheck and runs it. Returns the check, or nullptr
// when the module is missing or broken: the check is silent about every failure, this one too.
QObject* startUpdateCheck(const QString& folder, const DesktopServices& desktop,
                          const QString& updateHost, QObject* parent);

} // namespace pexa::updatemodule

// The entry point of the update-check module (see UpdateCheckModule.h).
#include "UpdateCheck.h"
#include "UpdateCheckModule.h"

#include <type_traits>

extern "C" Q_DECL_EXPORT QObject* pexaCreateUpdateCheck(const pexa::DesktopServices& desktop,
                                                        const QString& updateHost, QObject* parent)
{
    static_assert(std::is_same_v<decltype(&pexaCreateUpdateCheck), pexa::updatemodule::CreateFunction>);
    return new pexa::UpdateCheck(desktop, updateHost, parent);
}

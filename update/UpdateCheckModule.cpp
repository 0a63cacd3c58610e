#include "UpdateCheckModule.h"

#include <QLibrary>

namespace pexa::updatemodule {

QObject* startUpdateCheck(const QString& folder, const DesktopServices& desktop,
                          const QString& updateHost, QObject* parent)
{
    // The module stays loaded for the rest of the run: the check it made lives on in `parent`.
    QLibrary module(folder + u'/' + QLatin1StringView(fileName));
    const auto create = reinterpret_cast<CreateFunction>(module.resolve(createFunctionName));
    if (!create)
        return nullptr;
    QObject* check = create(desktop, updateHost, parent);
    QMetaObject::invokeMethod(check, "run");
    return check;
}

} // namespace pexa::updatemodule

// Module load and unload: the module's dialog templates, tab bitmap and icons become
// available to the resource lookup while the library is loaded.
#include "PageRegistry.h"
#include "TempResourceOverride.h"
#include "ZQPDMSearchFunction.h"
#include <QFile>

namespace {

QString resourcePath(const char* kind, int id)
{
    return QStringLiteral(":/zqpdmsearch/%1%2.xpm").arg(QLatin1String(kind)).arg(id);
}

QPixmap moduleBitmap(int id)
{
    const QString path = resourcePath("bitmap", id);
    return QFile::exists(path) ? QPixmap(path) : QPixmap();
}

QIcon moduleIcon(int id)
{
    const QString path = resourcePath("icon", id);
    return QFile::exists(path) ? QIcon(path) : QIcon();
}

class ModuleRegistration {
public:
    ModuleRegistration()
    {
        zq::RegisterModuleResources({QString::fromLatin1(CZQPDMSearchFunction::kModuleName),
                                     &zq::FindModuleTemplate, &moduleBitmap, &moduleIcon});
    }
    ~ModuleRegistration() { zq::UnregisterModuleResources(QString::fromLatin1(CZQPDMSearchFunction::kModuleName)); }
    ModuleRegistration(const ModuleRegistration&) = delete;
    ModuleRegistration& operator=(const ModuleRegistration&) = delete;
};

const ModuleRegistration kModule;

} // namespace

// Module load and unload: the module's dialog templates, tab bitmap and icons become
// available to the resource lookup while the library is loaded.
#include "PageRegistry.h"
#include "TempResourceOverride.h"
#include "ZQPDMSearchFunction.h"
#include <QFile>
#include <QImageReader>

namespace {

QString resourcePath(const char* kind, int id)
{
    return QStringLiteral(":/zqpdmsearch/%1%2.xpm").arg(QLatin1String(kind)).arg(id);
}

// The module's pictures are XPM, which Qt reads itself: told so, the reader does not load every
// image plugin of the system to ask whether one of them reads it (a tenth of the start-up).
QPixmap readXpm(const QString& path)
{
    if (!QFile::exists(path))
        return QPixmap();
    QImageReader reader(path, "xpm");
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

QPixmap moduleBitmap(int id)
{
    return readXpm(resourcePath("bitmap", id));
}

QIcon moduleIcon(int id)
{
    const QPixmap pixmap = readXpm(resourcePath("icon", id));
    return pixmap.isNull() ? QIcon() : QIcon(pixmap);
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

#include "QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace zq {

namespace {

// A text of Qt's that every translation of it has: the standard "Cancel" button.
bool QtTextsTranslated()
{
    return QCoreApplication::translate("QPlatformTheme", "Cancel") != QLatin1String("Cancel");
}

} // namespace

QString QtTranslationsFolder()
{
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
}

bool LoadQtChineseTranslations()
{
    QCoreApplication* application = QCoreApplication::instance();
    if (!application)
        return false;
    if (QtTextsTranslated())
        return true;
    // Owned by the application, which removes it when it goes.
    auto* translator = new QTranslator(application);
    if (!translator->load(QStringLiteral("qtbase_zh_CN"), QtTranslationsFolder())
        || !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return QtTextsTranslated();
}

} // namespace zq

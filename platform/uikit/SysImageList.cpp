#include "SysImageList.h"
#include <QApplication>
#include <QFileIconProvider>
#include <QIcon>
#include <QMimeDatabase>
#include <QStandardPaths>

namespace {

// The extension of a file name, lower case; folders given with either separator are ignored.
QString extensionOf(const QString& fileName)
{
    const qsizetype slash = std::max(fileName.lastIndexOf(u'/'), fileName.lastIndexOf(u'\\'));
    const QString base = fileName.mid(slash + 1);
    const qsizetype dot = base.lastIndexOf(u'.');
    return dot < 0 ? QString() : base.mid(dot + 1).toLower();
}

// Outside a desktop session Qt knows no icon theme beyond hicolor, which has no file-type icons;
// Adwaita (installed with the program) then supplies them. A desktop's own theme is kept.
void ensureFileTypeIconTheme()
{
    static const bool done = [] {
        QStringList paths = QIcon::themeSearchPaths();
        for (const QString& dir : QStandardPaths::locateAll(QStandardPaths::GenericDataLocation,
                                                            QStringLiteral("icons"),
                                                            QStandardPaths::LocateDirectory)) {
            if (!paths.contains(dir))
                paths << dir;
        }
        QIcon::setThemeSearchPaths(paths);
        const QString theme = QIcon::themeName();
        if (theme.isEmpty() || theme == u"hicolor")
            QIcon::setThemeName(QStringLiteral("Adwaita"));
        return true;
    }();
    (void)done;
}

// The icon of a file type: the theme's icon for its mime type, else the style's file icon.
QIcon iconFor(const QString& extension)
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return {};   // no widgets application: icons cannot be made, indexes still work
    ensureFileTypeIconTheme();
    if (!extension.isEmpty()) {
        const QMimeType type = QMimeDatabase().mimeTypeForFile(QStringLiteral("x.") + extension,
                                                              QMimeDatabase::MatchExtension);
        if (type.isValid() && !type.isDefault()) {
            const QIcon themed = QIcon::fromTheme(type.iconName(), QIcon::fromTheme(type.genericIconName()));
            if (!themed.isNull())
                return themed;
        }
    }
    return QFileIconProvider().icon(QFileIconProvider::File);
}

} // namespace

CSysImageList& CSysImageList::instance()
{
    static CSysImageList list;
    return list;
}

int CSysImageList::GetIconIndex(const QString& fileName)
{
    const QString extension = extensionOf(fileName);
    const auto found = m_byType.constFind(extension);
    if (found != m_byType.constEnd())
        return *found;
    const int index = m_images.Add(iconFor(extension));
    m_byType.insert(extension, index);
    return index;
}

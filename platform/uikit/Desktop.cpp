#include "Desktop.h"
#include "QtDesktop.h"

namespace zq {

namespace {
Desktop* g_installed = nullptr;
} // namespace

Desktop& Desktop::current()
{
    static QtDesktop real;
    return g_installed ? *g_installed : real;
}

void Desktop::install(Desktop* desktop) { g_installed = desktop; }

QList<QPair<QString, QString>> parseFilter(const QString& filter)
{
    QList<QPair<QString, QString>> pairs;
    const QStringList parts = filter.split(u'|');
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty())
            break;   // "||" ends the filter
        pairs.append({parts[i], parts[i + 1]});
    }
    return pairs;
}

QStringList toQtNameFilters(const QString& filter)
{
    QStringList filters;
    for (const auto& [description, pattern] : parseFilter(filter)) {
        // Qt takes the patterns from the last parentheses, so a pattern shown in the
        // description is replaced by the real one.
        QString text = description.trimmed();
        if (text.endsWith(u')')) {
            const qsizetype open = text.lastIndexOf(u'(');
            if (open >= 0)
                text = text.left(open).trimmed();
        }
        QStringList patterns = pattern.split(u';', Qt::SkipEmptyParts);
        for (QString& p : patterns)
            p = p.trimmed();
        filters.append(QStringLiteral("%1 (%2)").arg(text, patterns.join(u' ')));
    }
    return filters;
}

QString AddDefaultExtension(const QString& path, const QString& defaultExt)
{
    QString ext = defaultExt;
    while (ext.startsWith(u'.'))
        ext.remove(0, 1);
    if (path.isEmpty() || ext.isEmpty())
        return path;
    const qsizetype slash = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    const QString name = path.mid(slash + 1);
    if (name.isEmpty() || name.contains(u'.'))
        return path;
    return path + u'.' + ext;
}

} // namespace zq

#include "PageList.h"
#include "GbkText.h"
#include "ZQPDMFC.h"

namespace zq {

QString PageListPath()
{
    return ResolvePathCaseInsensitive(InstallDirectory() + QStringLiteral("\\Support\\Search.cfg"));
}

std::optional<QStringList> ReadPageList(const QString& path)
{
    bool ok = false;
    const QString text = ReadTextFile(path, &ok);
    if (!ok)
        return std::nullopt;
    return PageListLines(text);
}

QStringList PageListLines(const QString& text)
{
    if (text.isEmpty())
        return {};
    QStringList lines = text.split(QLatin1Char('\n'));
    if (lines.last().isEmpty())
        lines.removeLast();
    for (QString& line : lines)
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    return lines;
}

const KnownPage* FindKnownPage(const QString& line)
{
    for (const KnownPage& page : KnownPages())
        if (EqualsNoCase(line, QString::fromUtf8(page.caption)))
            return &page;
    return nullptr;
}

} // namespace zq

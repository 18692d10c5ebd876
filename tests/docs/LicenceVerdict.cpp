#include "LicenceVerdict.h"

#include <QRegularExpression>
#include <QStringList>

namespace zq::docs {

namespace {

bool TermAllowed(QString term)
{
    term = term.trimmed().toLower();
    if (term.isEmpty())
        return false;
    static const QRegularExpression withException(QStringLiteral("^(\\S+)\\s+with\\s+(.+?)\\s*(?:exception)?$"));
    if (const QRegularExpressionMatch match = withException.match(term); match.hasMatch()) {
        const QString base = match.captured(1);
        const QString exception = match.captured(2);
        // The GCC Runtime Library Exception lets any program link the compiler's runtimes.
        if (base.startsWith(QStringLiteral("gpl")) && exception.contains(QStringLiteral("gcc")))
            return true;
        term = base;
    }
    static const QStringList permitted = {
        QStringLiteral("lgpl"), QStringLiteral("mit"), QStringLiteral("expat"), QStringLiteral("bsd"),
        QStringLiteral("apache"), QStringLiteral("bsl"), QStringLiteral("boost"), QStringLiteral("zlib"),
        QStringLiteral("icu"), QStringLiteral("unicode"), QStringLiteral("postgresql"), QStringLiteral("curl"),
        QStringLiteral("isc"), QStringLiteral("x11"), QStringLiteral("ftl"), QStringLiteral("libpng"),
        QStringLiteral("openldap"), QStringLiteral("hylafax"), QStringLiteral("public-domain"), QStringLiteral("pd"),
        QStringLiteral("cc0"), QStringLiteral("mpl"), QStringLiteral("afl"), QStringLiteral("fsfullr"),
        QStringLiteral("fsfap"), QStringLiteral("tcl"),
    };
    for (const QString& name : permitted)
        if (term.startsWith(name))   // "LGPL-2.1+", "BSD-3-clause", "BSD3"; no GPL-only name starts so
            return true;
    // Short names of permissive notices: "Janik-permissive", "Iconv-PD".
    return term.endsWith(QStringLiteral("-permissive")) || term.endsWith(QStringLiteral("-pd"));
}

} // namespace

bool LicenceAllowsClosedLinking(const QString& expression)
{
    // "A or B, and C": a comma ends the alternatives before it.
    for (const QString& group : expression.split(QRegularExpression(QStringLiteral(",\\s*and\\s+")), Qt::SkipEmptyParts)) {
        bool groupAllowed = false;
        for (const QString& alternative : group.split(QRegularExpression(QStringLiteral("\\s+or\\s+")), Qt::SkipEmptyParts)) {
            bool all = true;
            for (const QString& part : alternative.split(QRegularExpression(QStringLiteral("\\s+and\\s+")), Qt::SkipEmptyParts))
                all = all && TermAllowed(part);
            groupAllowed = groupAllowed || all;
        }
        if (!groupAllowed)
            return false;
    }
    return !expression.trimmed().isEmpty();
}

LicenceVerdict JudgeCopyrightFile(const QString& copyright)
{
    LicenceVerdict verdict;
    if (!copyright.startsWith(QStringLiteral("Format:")))
        return verdict;   // free-form: a person reads it
    // Paragraphs are separated by blank lines; a field continues on lines starting with a space.
    for (const QString& paragraph : copyright.split(QRegularExpression(QStringLiteral("\\n[ \\t]*\\n")))) {
        QString files;
        QString licence;
        QString* field = nullptr;
        for (const QString& line : paragraph.split(u'\n')) {
            if (!line.isEmpty() && (line[0] == u' ' || line[0] == u'\t')) {
                if (field == &files)
                    files += u' ' + line.trimmed();
                continue;
            }
            field = nullptr;
            if (line.startsWith(QStringLiteral("Files:"))) {
                files = line.mid(6).trimmed();
                field = &files;
            } else if (line.startsWith(QStringLiteral("License:"))) {
                licence = line.mid(8).trimmed();
            }
        }
        if (files.split(u' ', Qt::SkipEmptyParts).contains(QStringLiteral("*")) && !licence.isEmpty()) {
            verdict.known = true;
            verdict.licence = licence;
            verdict.allowed = LicenceAllowsClosedLinking(licence);
            return verdict;
        }
    }
    return verdict;
}

} // namespace zq::docs

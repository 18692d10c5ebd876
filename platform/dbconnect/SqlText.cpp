#include "SqlText.h"
#include "ZQPDMFC.h"

namespace zq {

QString SqlValueText(const QString& value)
{
    const qsizetype end = value.indexOf(QChar(0));
    return WithoutLoneSurrogates(end < 0 ? value : value.left(end));
}

QString TypedSqlText(const QString& typed)
{
    return SqlValueText(typed).trimmed();
}

QString PatternToSql(const QString& pattern)
{
    QString sql;
    sql.reserve(pattern.size() + 4);
    for (QChar c : SqlValueText(pattern)) {
        if (c == u'*')
            sql += u'%';
        else if (c == u'?')
            sql += u'_';
        else if (c == u'\'')
            sql += QStringLiteral("''");
        else
            sql += c;
    }
    return sql;
}

QString SqlQuote(const QString& value)
{
    QString quoted = SqlValueText(value);
    quoted.replace(u'\'', QStringLiteral("''"));
    return quoted;
}

} // namespace zq

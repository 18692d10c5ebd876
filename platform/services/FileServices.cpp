#include "FileServices.h"
#include "CallLog.h"
#include "Desktop.h"
#include "DesktopOpener.h"
#include "LocalTarget.h"
#include "ServiceDatabase.h"
#include "ZQDBConnect.h"
#include "ZQPDMFC.h"
#include <QRegularExpression>
#include <optional>

namespace {

// The select list of "SELECT [DISTINCT] a, b FROM ...": its items as written, and where it lies.
struct SelectList {
    QStringList items;
    qsizetype start = 0;
    qsizetype length = 0;
};

std::optional<SelectList> parseSelectList(const QString& sql)
{
    static const QRegularExpression select(QStringLiteral("^\\s*SELECT\\s+(?:DISTINCT\\s+)?(.*?)\\s+FROM\\s"),
                                           QRegularExpression::CaseInsensitiveOption |
                                               QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch match = select.match(sql);
    if (!match.hasMatch())
        return std::nullopt;
    SelectList list;
    list.start = match.capturedStart(1);
    list.length = match.capturedLength(1);
    int depth = 0;
    QString current;
    for (QChar c : match.captured(1)) {
        if (c == QLatin1Char('('))
            ++depth;
        else if (c == QLatin1Char(')'))
            --depth;
        if (c == QLatin1Char(',') && depth == 0) {
            list.items.append(current);
            current.clear();
        } else {
            current += c;
        }
    }
    list.items.append(current);
    return list;
}

// The position of a column in the list, matched by its name or alias, ignoring case and any table
// prefix; -1 when it is not named.
int indexOf(const SelectList& list, const QString& column)
{
    for (int i = 0; i < list.items.size(); ++i) {
        const QString name = list.items.at(i).trimmed().section(QRegularExpression(QStringLiteral("\\s+")), -1)
                                 .section(QLatin1Char('.'), -1);
        if (name.compare(column, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

// The statement with one item of its list replaced; the other items keep their places.
QString withItem(const QString& sql, const SelectList& list, int index, const QString& expression)
{
    QStringList items = list.items;
    items[index] = (index > 0 ? QStringLiteral(" ") : QString()) + expression;
    return sql.left(list.start) + items.join(QLatin1Char(',')) + sql.mid(list.start + list.length);
}

// The statement that fetches a blob within limits: its length is asked first, and a longer blob is
// refused (*refused says why, "" returned) or only its start asked for. A blob that cannot be
// named on its own (an alias, an expression) is fetched as it is and cut afterwards.
QString boundedBlobSql(zq::CZQDBConnect& db, const QString& sql, const QString& blobColumn,
                       const zq::svc::FetchLimits& limits, QString* refused)
{
    const auto list = parseSelectList(sql);
    const int index = list ? indexOf(*list, blobColumn) : -1;
    if (!limits.bounded() || index < 0)
        return sql;
    const QString item = list->items.at(index).trimmed();
    if (item.contains(QRegularExpression(QStringLiteral("\\s"))))
        return sql;
    const auto length = zq::svc::QueryFirstRow(db, withItem(sql, *list, index, QStringLiteral("DATALENGTH(%1)").arg(item)));
    if (!length || length->value(index).isNull() || length->value(index).toLongLong() <= limits.maxBytes)
        return sql;
    if (!limits.startWillDo) {
        *refused = zq::svc::TooLargeMessage(length->value(index).toLongLong(), limits.maxBytes);
        return {};
    }
    return withItem(sql, *list, index,
                    QStringLiteral("SUBSTRING(%1, 1, %2)").arg(item, QString::number(limits.maxBytes)));
}

} // namespace

void CCommonBrowserTool::BrowseFile(const QString& path, int mode)
{
    zq::CallLog::Record(QStringLiteral("CCommonBrowserTool"), QStringLiteral("BrowseFile"), {path, QString::number(mode)});
    if (!path.isEmpty())
        zq::OpenFileOrSayWhere(path);
}

QString CZQSaveFileToDB::PopFileFromDB(const QString& sql, const QString& localPath, const QString& blobColumn,
                                       const QString& database)
{
    const QString component = QStringLiteral("CZQSaveFileToDB");
    const QString operation = QStringLiteral("PopFileFromDB");
    zq::CallLog::Record(component, operation, {sql, localPath, blobColumn, database});
    const auto fail = [&](const QString& reason) {
        zq::CallLog::RecordFailure(component, operation, reason);
        return QString();
    };
    const QString target = zq::svc::SafeLocalPath(localPath);
    if (target.isEmpty())
        return fail(QStringLiteral("本地路径无效: ") + localPath);
    zq::CZQDBConnect* db = zq::svc::Database();
    if (!db)
        return fail(QStringLiteral("没有数据库连接"));
    try {
        QString refused;
        const QString fetch = boundedBlobSql(*db, sql, blobColumn, m_limits, &refused);
        if (fetch.isEmpty())
            return fail(refused);
        const auto row = zq::svc::QueryFirstRow(*db, fetch);
        if (!row)
            return fail(QStringLiteral("数据库中没有这个文件"));
        const auto list = parseSelectList(sql);
        int index = list ? indexOf(*list, blobColumn) : -1;
        if (index < 0 || index >= row->size()) {
            // Not named in the statement (SELECT *, an expression): the first binary field.
            index = -1;
            for (int i = 0; i < row->size() && index < 0; ++i)
                if (row->at(i).typeId() == QMetaType::QByteArray)
                    index = i;
        }
        if (index < 0 || row->at(index).isNull())
            return fail(QStringLiteral("数据库中的文件内容是空的"));
        QByteArray bytes = row->at(index).toByteArray();
        if (m_limits.bounded() && bytes.size() > m_limits.maxBytes) {
            if (!m_limits.startWillDo)
                return fail(zq::svc::TooLargeMessage(bytes.size(), m_limits.maxBytes));
            bytes.truncate(m_limits.maxBytes);
        }
        QString error;
        if (!zq::svc::WriteFileAtomically(target, bytes, &error)) {
            zq::svc::Tell(error);
            return fail(error);
        }
        return target;
    } catch (const zq::_com_error& e) {
        zq::svc::ReportDatabaseError(e);
        return fail(e.Description());
    }
}

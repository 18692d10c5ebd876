#include "FileServices.h"
#include "CallLog.h"
#include "Desktop.h"
#include "DesktopOpener.h"
#include "LocalTarget.h"
#include "ServiceDatabase.h"
#include "ZQDBConnect.h"
#include "ZQPDMFC.h"
#include <QRegularExpression>

namespace {

// The position of a column in the select list of sql ("SELECT DocSaved, DocContent FROM ..."),
// matched by its name or alias, ignoring case and any table prefix; -1 when it is not named.
int selectListIndex(const QString& sql, const QString& column)
{
    static const QRegularExpression select(QStringLiteral("^\\s*SELECT\\s+(?:DISTINCT\\s+)?(.*?)\\s+FROM\\s"),
                                           QRegularExpression::CaseInsensitiveOption |
                                               QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch match = select.match(sql);
    if (!match.hasMatch())
        return -1;
    const QString list = match.captured(1);
    QStringList items;
    int depth = 0;
    QString current;
    for (QChar c : list) {
        if (c == QLatin1Char('('))
            ++depth;
        else if (c == QLatin1Char(')'))
            --depth;
        if (c == QLatin1Char(',') && depth == 0) {
            items.append(current);
            current.clear();
        } else {
            current += c;
        }
    }
    items.append(current);
    for (int i = 0; i < items.size(); ++i) {
        const QString name = items.at(i).trimmed().section(QRegularExpression(QStringLiteral("\\s+")), -1)
                                 .section(QLatin1Char('.'), -1);
        if (name.compare(column, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
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
        const auto row = zq::svc::QueryFirstRow(*db, sql);
        if (!row)
            return fail(QStringLiteral("数据库中没有这个文件"));
        int index = selectListIndex(sql, blobColumn);
        if (index < 0 || index >= row->size()) {
            // Not named in the statement (SELECT *, an expression): the first binary field.
            index = -1;
            for (int i = 0; i < row->size() && index < 0; ++i)
                if (row->at(i).typeId() == QMetaType::QByteArray)
                    index = i;
        }
        if (index < 0 || row->at(index).isNull())
            return fail(QStringLiteral("数据库中的文件内容是空的"));
        QString error;
        if (!zq::svc::WriteFileAtomically(target, row->at(index).toByteArray(), &error)) {
            zq::svc::Tell(error);
            return fail(error);
        }
        return target;
    } catch (const zq::_com_error& e) {
        zq::svc::ReportDatabaseError(e);
        return fail(e.Description());
    }
}

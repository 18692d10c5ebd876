#include "ContentIndexConnection.h"

#include "ConnectionUrl.h"
#include "ContentSql.h"
#include "SqlDialect.h"

#include <QFile>

#include <cerrno>
#include <sys/stat.h>

namespace zq::content {

namespace {

// An SQLite index that is not there yet: zqpdm-index has not run. A file the user may not even
// look for (a folder closed to them) is not taken for a missing one: opening it says why.
bool NotMadeYet(const QString& url)
{
    QString ignored;
    const auto parsed = zq::db::ParseConnectionUrl(url, &ignored);
    struct stat info {};
    return parsed && parsed->driver == u"QSQLITE" &&
           ::stat(QFile::encodeName(parsed->database).constData(), &info) != 0 && errno == ENOENT;
}

// Whether the index's database holds the index's table. SQLite opens its file at the first
// statement, and a listing of the tables swallows what went wrong there (a file the user may not
// read, a journal that needs writing): it is asked with a statement of its own, whose failure
// throws the engine's message.
bool HoldsContentIndex(zq::CZQDBConnect& index)
{
    zq::Connection* connection = index.GetPtrPDM();
    if (zq::sql::DbmsOf(connection->dbms()) != zq::sql::Dbms::Sqlite)
        return index.HasTable(QStringLiteral("ContentFile"));
    zq::Recordset tables;
    tables.Open(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND lower(name) = 'contentfile'"),
                connection);
    return !tables.IsEOF() && tables.GetFieldValue(0).toLongLong() > 0;
}

// Why this version cannot search the index: one of an earlier layout (zqpdm-index brings it up to
// date) or of a later one; empty when it can.
QString IndexLayoutProblem(zq::CZQDBConnect& index)
{
    QString version;
    try {
        version = index.GetSelectItemData(QStringLiteral("SELECT Value FROM ContentIndexInfo WHERE Name = 'version'"));
    } catch (const zq::_com_error& error) {
        return QStringLiteral("内容索引不能读取: ") + error.Description();
    }
    const int found = version.toInt();
    if (found >= kOldestSearchableIndexVersion && found <= kContentIndexVersion)
        return {};
    if (found > kContentIndexVersion)
        return QStringLiteral("内容索引由更新版本的 zqpdm-index 建立 (格式版本 %1), 这个版本不能读取它。\n请更新本程序。")
            .arg(version);
    return QStringLiteral("内容索引的格式是旧的 (版本 %1), 这个版本不能读取它。\n请运行 zqpdm-index 更新内容索引 "
                          "(已有的文本保留, 文件不必重新读取)。")
        .arg(version.isEmpty() ? QStringLiteral("?") : version);
}

} // namespace

OpenedContentIndex OpenContentIndex(const QString& url)
{
    OpenedContentIndex opened;
    const QString runIndexer = QStringLiteral("内容索引由 zqpdm-index 建立和更新, 请先运行它。");
    if (NotMadeYet(url)) {
        opened.problem = QStringLiteral("还没有内容索引 (%1)。\n%2").arg(zq::db::RedactUrl(url), runIndexer);
        opened.notMadeYet = true;
        return opened;
    }
    auto index = std::make_unique<zq::CZQDBConnect>(url);
    const bool connected = index->Init() && index->ConnectPDM();
    if (zq::CZQDBConnect::GetCurDBConnect() == index.get())
        zq::CZQDBConnect::SetCurDBConnect(nullptr);
    if (!connected) {
        opened.problem = QStringLiteral("内容索引不能打开: %1").arg(index->LastError());
        return opened;
    }
    try {
        if (!HoldsContentIndex(*index)) {
            opened.problem = QStringLiteral("%1 中没有内容索引。\n%2").arg(zq::db::RedactUrl(url), runIndexer);
            return opened;
        }
    } catch (const zq::_com_error& error) {
        opened.problem = QStringLiteral("内容索引不能打开 (%1): %2").arg(zq::db::RedactUrl(url), error.Description());
        return opened;
    }
    opened.problem = IndexLayoutProblem(*index);
    if (opened.problem.isEmpty())
        opened.index = std::move(index);
    return opened;
}

} // namespace zq::content

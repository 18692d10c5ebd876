#include "ContentIndexSchema.h"

#include "CodeIndexLayout.h"
#include "ContentSql.h"
#include "Fts5FoldingTokenizer.h"
#include "SearchFolding.h"
#include "SqlSession.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace zq::index::schema {

namespace {

constexpr int kUpgradeBatch = 200;   // PostgreSQL rows folded a round trip

QString FtsStatement(const QString& table)
{
    // Chinese has no spaces between words: every run of three or more characters is a term, of
    // the text folded for search (the table itself keeps the text as it stands). The index keeps
    // which texts hold a term, not where (a third of the size): a longer word is looked for by its
    // pieces and then found in the text itself. An index made with positions reads the same.
    return QStringLiteral("CREATE VIRTUAL TABLE %1 USING fts5(Content, tokenize='%2', detail=none)")
        .arg(table, QString::fromLatin1(db::kFoldingTokenizer));
}

class Transaction {
public:
    explicit Transaction(QSqlDatabase db) : m_db(std::move(db)) { m_open = m_db.transaction(); }
    ~Transaction()
    {
        if (m_open)
            m_db.rollback();
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    bool open() const { return m_open; }
    bool commit()
    {
        m_open = !m_db.commit();
        return !m_open;
    }

private:
    QSqlDatabase m_db;
    bool m_open = false;
};

bool Run(QSqlQuery& query, const QString& sql, const QVariantList& values, QString* error)
{
    if (db::Execute(query, sql, values))
        return true;
    *error = QStringLiteral("%1 (%2)").arg(db::DriverMessage(query.lastError()), sql);
    return false;
}

// Version 1 → 2 on SQLite: a trigram index of the folded text in place of the one of the text.
bool FoldSqliteIndex(QSqlQuery& query, QString* error)
{
    return Run(query, FtsStatement(QStringLiteral("ContentTextFolded")), {}, error) &&
           Run(query, QStringLiteral("INSERT INTO ContentTextFolded (rowid, Content) SELECT rowid, Content FROM ContentText"),
               {}, error) &&
           Run(query, QStringLiteral("DROP TABLE ContentText"), {}, error) &&
           Run(query, QStringLiteral("ALTER TABLE ContentTextFolded RENAME TO ContentText"), {}, error);
}

// Version 1 → 2 on PostgreSQL: the column of the folded text, filled from the text, which only
// this program can fold; the trigram index moves to it (made again by the caller).
bool FoldPostgresIndex(QSqlDatabase db, QString* error)
{
    QSqlQuery change(db);
    if (!Run(change, QStringLiteral("DROP INDEX IF EXISTS ContentFileTrigrams"), {}, error) ||
        !Run(change, QStringLiteral("ALTER TABLE ContentFile ADD COLUMN Folded TEXT"), {}, error))
        return false;
    QSqlQuery read(db);
    read.setForwardOnly(true);
    QSqlQuery write(db);
    qint64 after = -1;
    for (;;) {
        if (!Run(read, QStringLiteral("SELECT FileId, Content FROM ContentFile WHERE FileId > ? ORDER BY FileId LIMIT %1")
                           .arg(kUpgradeBatch),
                 {after}, error))
            return false;
        QList<std::pair<qint64, QString>> rows;
        while (read.next())
            rows.append({read.value(0).toLongLong(), read.value(1).toString()});
        if (rows.isEmpty())
            break;
        for (const auto& [id, content] : rows)
            if (!Run(write, QStringLiteral("UPDATE ContentFile SET Folded = ? WHERE FileId = ?"), {FoldForSearch(content), id},
                     error))
                return false;
        after = rows.last().first;
    }
    return Run(change, QStringLiteral("ALTER TABLE ContentFile ALTER COLUMN Folded SET NOT NULL"), {}, error);
}

// Version 2 → 3: the reason a file's reading failed, kept until the file changes. Rows written by
// the version before have none, so a file it could not read is tried once more.
bool AddFailureColumn(QSqlQuery& query, QString* error)
{
    return Run(query, QStringLiteral("ALTER TABLE ContentFile ADD COLUMN Failure TEXT NOT NULL DEFAULT ''"), {}, error);
}

// Version 3 → 4 on SQLite: the quick search's index of folded codes, empty until the run fills it.
bool AddCodeIndex(QSqlQuery& query, QString* error)
{
    for (const QString& statement : quick::codeindex::CreateStatements())
        if (!Run(query, statement, {}, error))
            return false;
    return true;
}

} // namespace

namespace {

// The index's tables, described once for both engines. Failure holds why a file's reading failed,
// kept until the file changes (empty for a file read). A file's text lives in ContentFile itself
// on PostgreSQL (with its folded form, which the trigram index reads); on SQLite in the full-text
// table ContentText, whose rowid is the file's FileId.
enum class ColumnType { Key, Text, Count, Flag, Reason };

struct Column {
    const char* name;
    ColumnType type;
    bool postgresOnly = false;
};

constexpr Column kContentFileColumns[] = {
    {"FileId", ColumnType::Key},
    {"SourceTable", ColumnType::Text},
    {"Code1", ColumnType::Text},
    {"Code2", ColumnType::Text},
    {"Revision", ColumnType::Text},
    {"FileName", ColumnType::Text},
    {"Kind", ColumnType::Text},
    {"Description", ColumnType::Text},
    {"FileType", ColumnType::Text},
    {"FileSize", ColumnType::Text},
    {"FileDate", ColumnType::Text},
    {"ContentChars", ColumnType::Count},
    {"Note", ColumnType::Text},
    {"Pending", ColumnType::Flag},
    {"IndexedAt", ColumnType::Text},
    {"Content", ColumnType::Text, true},
    {"Folded", ColumnType::Text, true},
    {"Failure", ColumnType::Reason},
};

QString TypeText(ColumnType type, bool postgres)
{
    switch (type) {
    case ColumnType::Key: return postgres ? QStringLiteral("BIGSERIAL PRIMARY KEY") : QStringLiteral("INTEGER PRIMARY KEY");
    case ColumnType::Text: return QStringLiteral("TEXT NOT NULL");
    case ColumnType::Count: return postgres ? QStringLiteral("BIGINT NOT NULL") : QStringLiteral("INTEGER NOT NULL");
    case ColumnType::Flag: return QStringLiteral("INTEGER NOT NULL");
    case ColumnType::Reason: return QStringLiteral("TEXT NOT NULL DEFAULT ''");
    }
    return QString();
}

QString CreateContentFile(bool postgres)
{
    QStringList columns;
    for (const Column& column : kContentFileColumns)
        if (postgres || !column.postgresOnly)
            columns.append(QString::fromLatin1(column.name) + u' ' + TypeText(column.type, postgres));
    return QStringLiteral("CREATE TABLE ContentFile (%1)").arg(columns.join(QStringLiteral(", ")));
}

QStringList MakeStatements(bool postgres)
{
    QStringList statements{
        CreateContentFile(postgres),
        QStringLiteral("CREATE UNIQUE INDEX ContentFileIdentity ON ContentFile (SourceTable, Code1, Code2, Revision, FileName)"),
        QStringLiteral("CREATE INDEX ContentFileDate ON ContentFile (FileDate)"),
    };
    if (!postgres) {
        statements.append(FtsStatement(QStringLiteral("ContentText")));
        statements += quick::codeindex::CreateStatements();
    }
    statements.append(QStringLiteral("CREATE TABLE ContentIndexInfo (Name TEXT PRIMARY KEY, Value TEXT NOT NULL)"));
    return statements;
}

} // namespace

const QStringList& Statements(bool postgres)
{
    static const QStringList sqlite = MakeStatements(false);
    static const QStringList postgresql = MakeStatements(true);
    return postgres ? postgresql : sqlite;
}

QString TrigramIndexStatement()
{
    return QStringLiteral("CREATE INDEX IF NOT EXISTS ContentFileTrigrams ON ContentFile USING gin (Folded gin_trgm_ops)");
}

bool CanUpgrade(int version)
{
    return version >= 1 && version <= 3;
}

QString UpgradeGains(int version)
{
    QStringList gains;
    if (version < 2)
        gains.append(QStringLiteral("字母大小写和全角半角按同一规则查找"));
    if (version < 3)
        gains.append(QStringLiteral("读取失败的文件记住原因, 文件改变之前不再读取"));
    gains.append(QStringLiteral("快速查找的编号索引"));
    return gains.join(QStringLiteral("; "));
}

bool Upgrade(db::Session& session, bool postgres, int version, QString* error)
{
    if (!CanUpgrade(version)) {
        *error = QStringLiteral("内容索引的版本 %1 不能更新").arg(version);
        return false;
    }
    QSqlDatabase db = session.database();
    Transaction transaction(db);
    if (!transaction.open()) {
        *error = db::DriverMessage(db.lastError());
        return false;
    }
    QSqlQuery query(db);
    const bool folded = version >= 2 || (postgres ? FoldPostgresIndex(db, error) : FoldSqliteIndex(query, error));
    if (!folded || (version < 3 && !AddFailureColumn(query, error)) || (!postgres && !AddCodeIndex(query, error)) ||
        !Run(query, QStringLiteral("UPDATE ContentIndexInfo SET Value = ? WHERE Name = 'version'"),
             {QString::number(content::kContentIndexVersion)}, error))
        return false;
    if (!transaction.commit()) {
        *error = db::DriverMessage(db.lastError());
        return false;
    }
    // The old trigram index's pages are free now: the file shrinks to what it holds. Should a
    // reader keep VACUUM from running, the file stays larger than it need be, and works the same.
    if (!postgres && version < 2)
        QSqlQuery(db).exec(QStringLiteral("VACUUM"));
    return true;
}

} // namespace zq::index::schema

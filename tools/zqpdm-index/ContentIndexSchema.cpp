#include "ContentIndexSchema.h"

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
    // the text folded for search (the table itself keeps the text as it stands).
    return QStringLiteral("CREATE VIRTUAL TABLE %1 USING fts5(Content, tokenize='%2')")
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

} // namespace

const QStringList& Statements(bool postgres)
{
    static const QStringList sqlite{
        QStringLiteral("CREATE TABLE ContentFile (FileId INTEGER PRIMARY KEY, SourceTable TEXT NOT NULL, "
                       "Code1 TEXT NOT NULL, Code2 TEXT NOT NULL, Revision TEXT NOT NULL, FileName TEXT NOT NULL, "
                       "Kind TEXT NOT NULL, Description TEXT NOT NULL, FileType TEXT NOT NULL, FileSize TEXT NOT NULL, "
                       "FileDate TEXT NOT NULL, ContentChars INTEGER NOT NULL, Note TEXT NOT NULL, "
                       "Pending INTEGER NOT NULL, IndexedAt TEXT NOT NULL, Failure TEXT NOT NULL DEFAULT '')"),
        QStringLiteral("CREATE UNIQUE INDEX ContentFileIdentity ON ContentFile (SourceTable, Code1, Code2, Revision, FileName)"),
        QStringLiteral("CREATE INDEX ContentFileDate ON ContentFile (FileDate)"),
        FtsStatement(QStringLiteral("ContentText")),
        QStringLiteral("CREATE TABLE ContentIndexInfo (Name TEXT PRIMARY KEY, Value TEXT NOT NULL)"),
    };
    static const QStringList postgresql{
        QStringLiteral("CREATE TABLE ContentFile (FileId BIGSERIAL PRIMARY KEY, SourceTable TEXT NOT NULL, "
                       "Code1 TEXT NOT NULL, Code2 TEXT NOT NULL, Revision TEXT NOT NULL, FileName TEXT NOT NULL, "
                       "Kind TEXT NOT NULL, Description TEXT NOT NULL, FileType TEXT NOT NULL, FileSize TEXT NOT NULL, "
                       "FileDate TEXT NOT NULL, ContentChars BIGINT NOT NULL, Note TEXT NOT NULL, "
                       "Pending INTEGER NOT NULL, IndexedAt TEXT NOT NULL, Content TEXT NOT NULL, Folded TEXT NOT NULL, "
                       "Failure TEXT NOT NULL DEFAULT '')"),
        QStringLiteral("CREATE UNIQUE INDEX ContentFileIdentity ON ContentFile (SourceTable, Code1, Code2, Revision, FileName)"),
        QStringLiteral("CREATE INDEX ContentFileDate ON ContentFile (FileDate)"),
        QStringLiteral("CREATE TABLE ContentIndexInfo (Name TEXT PRIMARY KEY, Value TEXT NOT NULL)"),
    };
    return postgres ? postgresql : sqlite;
}

QString TrigramIndexStatement()
{
    return QStringLiteral("CREATE INDEX IF NOT EXISTS ContentFileTrigrams ON ContentFile USING gin (Folded gin_trgm_ops)");
}

bool CanUpgrade(int version)
{
    return version == 1 || version == 2;
}

QString UpgradeGains(int version)
{
    const QString failures = QStringLiteral("读取失败的文件记住原因, 文件改变之前不再读取");
    return version < 2 ? QStringLiteral("字母大小写和全角半角按同一规则查找; ") + failures : failures;
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
    if (!folded || !AddFailureColumn(query, error) ||
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

#include "ContentIndexStore.h"

#include "ConnectionUrl.h"
#include "ContentIndexSchema.h"
#include "ContentSql.h"
#include "SearchFolding.h"
#include "SqlSession.h"
#include "ZQPDMFC.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace zq::index {

namespace {

QString QueryError(const QSqlQuery& query)
{
    return db::DriverMessage(query.lastError());
}

// "" once the SQLite index keeps a rollback journal, else why it does not.
QString UseRollbackJournal(const QSqlDatabase& db)
{
    QSqlQuery journal(db);
    if (!journal.exec(QStringLiteral("PRAGMA journal_mode = DELETE")) || !journal.next())
        return QueryError(journal);
    const QString mode = journal.value(0).toString();
    if (mode.compare(u"delete", Qt::CaseInsensitive) != 0)
        return QStringLiteral("日志模式仍是 %1 (有其他程序正在使用这个索引), 请稍后再运行").arg(mode);
    return {};
}

QString Now()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

} // namespace

QString StorableText(QString text)
{
    // Never null: a null text would be bound as NULL.
    if (text.isNull())
        return QStringLiteral("");
    // A NUL character would end the text on its way to the engine: the words after it are kept.
    text.replace(QChar(0), u' ');
    return WithoutLoneSurrogates(std::move(text));
}

QString FileIdentity::key() const
{
    const QChar unit(0x1f);
    return sourceTable + unit + code1 + unit + code2 + unit + revision + unit + fileName;
}

bool FileFacts::sameAs(const FileFacts& other) const
{
    return kind == other.kind && description == other.description && fileType == other.fileType &&
           fileSize == other.fileSize && fileDate == other.fileDate;
}

QString SearchableText(const QString& text, const FileFacts& facts, const QString& fileName)
{
    QString searchable = text;
    if (!searchable.isEmpty())
        searchable += u'\n';
    searchable += facts.description + u' ' + fileName;
    return StorableText(searchable);
}

ContentIndexStore::ContentIndexStore() = default;

QSqlDatabase ContentIndexStore::database() const
{
    return m_session->database();
}

ContentIndexStore::~ContentIndexStore()
{
    rollback();
}

bool ContentIndexStore::exec(const QString& sql, QString* error)
{
    QSqlQuery query(m_session->database());
    if (query.exec(sql))
        return true;
    *error = QStringLiteral("%1 (%2)").arg(QueryError(query), sql);
    return false;
}

bool ContentIndexStore::run(QSqlQuery& query, const QString& sql, const QVariantList& values, QString* error)
{
    if (db::Execute(query, sql, values))
        return true;
    *error = QStringLiteral("不能写入内容索引: %1").arg(QueryError(query));
    return false;
}

bool ContentIndexStore::open(const QString& url, QString* error)
{
    QString why;
    const auto parsed = db::ParseConnectionUrl(url, &why);
    if (!parsed) {
        *error = QStringLiteral("内容索引地址无效 (%1): %2").arg(db::RedactUrl(url), why);
        return false;
    }
    if (parsed->driver != u"QSQLITE" && parsed->driver != u"QPSQL") {
        *error = QStringLiteral("内容索引只能放在 SQLite 或 PostgreSQL 数据库中 (sqlite:路径 或 postgresql://...): %1")
                     .arg(db::RedactUrl(url));
        return false;
    }
    m_postgres = parsed->driver == u"QPSQL";
    if (!m_postgres) {
        const QFileInfo file(parsed->database);
        if (file.exists() && !file.isFile()) {
            *error = QStringLiteral("内容索引的路径不是文件: %1").arg(parsed->database);
            return false;
        }
        if (!file.absoluteDir().exists()) {
            *error = QStringLiteral("内容索引的文件夹不存在: %1").arg(file.absolutePath());
            return false;
        }
    }
    m_session = std::make_unique<db::Session>(*parsed, QStringLiteral("content-index"));
    if (!m_session->open(&why)) {
        *error = QStringLiteral("不能打开内容索引 (%1): %2").arg(db::RedactUrl(url), why);
        m_session.reset();
        return false;
    }
    if (!m_postgres) {
        // A search waits for a commit to end, and a commit for the searches reading at that moment.
        QString ignored;
        exec(QStringLiteral("PRAGMA busy_timeout = 10000"), &ignored);
        // The rollback journal: between runs the index is one file that a user who may only read it
        // and its folder can open. A WAL index needs its -shm file, which goes with the last writer,
        // and a reader that may not make it again cannot read at all (an index of an earlier
        // version in WAL mode is turned back here).
        why = UseRollbackJournal(m_session->database());
        if (!why.isEmpty()) {
            *error = QStringLiteral("不能使用内容索引 %1: %2").arg(db::RedactUrl(url), why);
            m_session.reset();
            return false;
        }
    }
    if (!checkSchema(error)) {
        m_session.reset();
        return false;
    }
    return true;
}

bool ContentIndexStore::checkSchema(QString* error)
{
    QSqlQuery tables(m_session->database());
    const QString listing = m_postgres
        ? QStringLiteral("SELECT lower(table_name) FROM information_schema.tables WHERE table_schema = current_schema()")
        : QStringLiteral("SELECT lower(name) FROM sqlite_master WHERE type = 'table'");
    if (!tables.exec(listing)) {
        *error = QStringLiteral("不能读取内容索引: %1").arg(QueryError(tables));
        return false;
    }
    QStringList present;
    while (tables.next())
        present.append(tables.value(0).toString());
    const bool hasInfo = present.contains(QStringLiteral("contentindexinfo"));
    const bool hasFiles = present.contains(QStringLiteral("contentfile")) || present.contains(QStringLiteral("contenttext"));
    if (!hasInfo && hasFiles) {
        *error = QStringLiteral("数据库中已有 ContentFile 或 ContentText 表, 但它们不是内容索引; 为了不损坏它们, "
                                "请把内容索引放到别的数据库 (--index 或 [内容索引] Url=)");
        return false;
    }
    if (hasInfo) {
        QSqlQuery info(m_session->database());
        if (!info.exec(QStringLiteral("SELECT Name, Value FROM ContentIndexInfo"))) {
            *error = QStringLiteral("不能读取内容索引: %1").arg(QueryError(info));
            return false;
        }
        int version = 0;
        while (info.next()) {
            if (info.value(0).toString() == u"version")
                version = info.value(1).toString().toInt();
            else if (info.value(0).toString() == u"changes")
                m_changes = info.value(1).toString().toLongLong();
        }
        if (version == content::kContentIndexVersion)
            return m_postgres ? createTrigramIndex(error) : true;
        if (version > content::kContentIndexVersion) {
            // Made again, it would lose what a newer indexer put in it, and that one would have to
            // read every file again.
            *error = QStringLiteral("内容索引由更新版本的 zqpdm-index 建立 (格式版本 %1, 这个版本只认识 %2), "
                                    "请用那个版本更新它")
                         .arg(version)
                         .arg(content::kContentIndexVersion);
            return false;
        }
        if (schema::CanUpgrade(version)) {
            if (!schema::Upgrade(*m_session, m_postgres, version, error)) {
                *error = QStringLiteral("不能更新内容索引的格式 (版本 %1): %2").arg(version).arg(*error);
                return false;
            }
            m_notes.append(QStringLiteral("内容索引的格式已从版本 %1 更新为版本 %2 (%3), 已有的文本保留, 文件不必重新读取")
                               .arg(version)
                               .arg(content::kContentIndexVersion)
                               .arg(schema::UpgradeGains(version)));
            return m_postgres ? createTrigramIndex(error) : true;
        }
        m_notes.append(QStringLiteral("内容索引的格式是旧的 (版本 %1), 已重新建立, 所有文件重新读取").arg(version));
        for (const char* table : {"ContentText", "ContentFile", "ContentIndexInfo"})
            if (present.contains(QString::fromLatin1(table).toLower()) &&
                !exec(QStringLiteral("DROP TABLE %1").arg(QString::fromLatin1(table)), error))
                return false;
        m_changes = 0;
    }
    return createSchema(error);
}

bool ContentIndexStore::createSchema(QString* error)
{
    if (!begin(error))
        return false;
    for (const QString& statement : schema::Statements(m_postgres)) {
        if (!exec(statement, error)) {
            if (!m_postgres && statement.contains(QStringLiteral("fts5")))
                *error = QStringLiteral("这个 SQLite 不能建立全文索引 (需要 3.34 以上带 FTS5 的版本): ") + *error;
            rollback();
            return false;
        }
    }
    QSqlQuery insert(m_session->database());
    insert.prepare(QStringLiteral("INSERT INTO ContentIndexInfo (Name, Value) VALUES (?, ?)"));
    for (const auto& [name, value] : {std::pair{QStringLiteral("version"), QString::number(content::kContentIndexVersion)},
                                      std::pair{QStringLiteral("changes"), QStringLiteral("0")},
                                      std::pair{QStringLiteral("updated"), Now()}}) {
        insert.addBindValue(name);
        insert.addBindValue(value);
        if (!insert.exec()) {
            *error = QueryError(insert);
            rollback();
            return false;
        }
    }
    if (!m_session->database().commit()) {
        *error = db::DriverMessage(m_session->database().lastError());
        rollback();
        return false;
    }
    m_inTransaction = false;
    return m_postgres ? createTrigramIndex(error) : true;
}

bool ContentIndexStore::createTrigramIndex(QString* error)
{
    // The extension is the server's; creating it may be refused. Searches still work, by a scan.
    QString refused;
    exec(QStringLiteral("CREATE EXTENSION IF NOT EXISTS pg_trgm"), &refused);
    QSqlQuery installed(m_session->database());
    if (!installed.exec(QStringLiteral("SELECT 1 FROM pg_extension WHERE extname = 'pg_trgm'")) || !installed.next()) {
        // The server's first line says why ("permission denied to create extension ...").
        QString why = refused.section(u'\n', 0, 0).trimmed();
        if (why.startsWith(QStringLiteral("ERROR:")))
            why = why.mid(6).trimmed();
        m_notes.append(QStringLiteral("内容索引的服务器上不能使用 pg_trgm 扩展%1: 搜索逐行扫描文本 (ILIKE), 索引大了会慢; "
                                      "数据库管理员执行 CREATE EXTENSION pg_trgm 之后, 下次运行 zqpdm-index 即建立三字组索引")
                           .arg(why.isEmpty() ? QString() : QStringLiteral(" (") + why + u')'));
        return true;
    }
    return exec(schema::TrigramIndexStatement(), error);
}

bool ContentIndexStore::load(QHash<QString, IndexedEntry>* entries, QString* error)
{
    QSqlQuery query(m_session->database());
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT FileId, SourceTable, Code1, Code2, Revision, FileName, Kind, Description, "
                                   "FileType, FileSize, FileDate, Pending, Failure FROM ContentFile"))) {
        *error = QStringLiteral("不能读取内容索引: %1").arg(QueryError(query));
        return false;
    }
    while (query.next()) {
        const FileIdentity identity{query.value(1).toString(), query.value(2).toString(), query.value(3).toString(),
                                    query.value(4).toString(), query.value(5).toString()};
        IndexedEntry entry;
        entry.id = query.value(0).toLongLong();
        entry.facts = {query.value(6).toString(), query.value(7).toString(), query.value(8).toString(),
                       query.value(9).toString(), query.value(10).toString()};
        entry.pending = query.value(11).toInt() != 0;
        entry.failure = query.value(12).toString();
        entries->insert(identity.key(), entry);
    }
    return true;
}

bool ContentIndexStore::begin(QString* error)
{
    if (m_inTransaction)
        return true;
    if (!m_session->database().transaction()) {
        *error = QStringLiteral("不能写入内容索引: %1").arg(db::DriverMessage(m_session->database().lastError()));
        return false;
    }
    m_inTransaction = true;
    return true;
}

bool ContentIndexStore::put(const FileIdentity& identity, const FileFacts& facts, const QString& text,
                            const QString& note, bool pending, qint64 existingId, QString* error)
{
    if (!begin(error))
        return false;
    const QString content = SearchableText(text, facts, identity.fileName);
    QSqlQuery query(m_session->database());
    const auto step = [&](const QString& sql, const QVariantList& values) { return run(query, sql, values, error); };
    const QVariantList described{StorableText(facts.kind), StorableText(facts.description), StorableText(facts.fileType),
                                 StorableText(facts.fileSize), StorableText(facts.fileDate),
                                 qint64(content::CharacterCount(content)), StorableText(note),
                                 pending ? 1 : 0, Now()};
    const QString columns = QStringLiteral("Kind, Description, FileType, FileSize, FileDate, ContentChars, Note, Pending, IndexedAt");
    if (existingId >= 0) {
        QVariantList values = described;
        QString assignments = QStringLiteral("Kind = ?, Description = ?, FileType = ?, FileSize = ?, FileDate = ?, "
                                             "ContentChars = ?, Note = ?, Pending = ?, IndexedAt = ?, Failure = ''");
        if (m_postgres) {
            assignments += QStringLiteral(", Content = ?, Folded = ?");
            values.append(content);
            values.append(FoldForSearch(content));
        }
        values.append(existingId);
        if (!step(QStringLiteral("UPDATE ContentFile SET %1 WHERE FileId = ?").arg(assignments), values))
            return false;
        if (m_postgres)
            return true;
        return step(QStringLiteral("DELETE FROM ContentText WHERE rowid = ?"), {existingId}) &&
               step(QStringLiteral("INSERT INTO ContentText (rowid, Content) VALUES (?, ?)"), {existingId, content});
    }
    QVariantList values{StorableText(identity.sourceTable), StorableText(identity.code1), StorableText(identity.code2),
                        StorableText(identity.revision), StorableText(identity.fileName)};
    values += described;
    const QString identityColumns = QStringLiteral("SourceTable, Code1, Code2, Revision, FileName, ");
    if (m_postgres) {
        values.append(content);
        values.append(FoldForSearch(content));
        return step(QStringLiteral("INSERT INTO ContentFile (%1%2, Content, Folded) VALUES (%3)")
                       .arg(identityColumns, columns, QStringLiteral("?, ").repeated(values.size() - 1) + u'?'),
                   values);
    }
    if (!step(QStringLiteral("INSERT INTO ContentFile (%1%2) VALUES (%3)")
                 .arg(identityColumns, columns, QStringLiteral("?, ").repeated(values.size() - 1) + u'?'),
             values))
        return false;
    const qint64 id = query.lastInsertId().toLongLong();
    return step(QStringLiteral("INSERT INTO ContentText (rowid, Content) VALUES (?, ?)"), {id, content});
}

bool ContentIndexStore::putFailure(const FileIdentity& identity, const FileFacts& facts, const QString& reason,
                                   qint64 existingId, QString* error)
{
    const QString failure = StorableText(reason.isEmpty() ? QStringLiteral("?") : reason);
    QSqlQuery query(m_session->database());
    if (existingId < 0)
        return put(identity, facts, QString(), failure, true, -1, error) &&
               run(query, QStringLiteral("UPDATE ContentFile SET Failure = ? WHERE SourceTable = ? AND Code1 = ? AND Code2 = ? "
                                  "AND Revision = ? AND FileName = ?"),
                   {failure, StorableText(identity.sourceTable), StorableText(identity.code1),
                    StorableText(identity.code2), StorableText(identity.revision), StorableText(identity.fileName)},
                   error);
    // The text stays the one read before; the row now describes the file that failed.
    return begin(error) &&
           run(query, QStringLiteral("UPDATE ContentFile SET Kind = ?, Description = ?, FileType = ?, FileSize = ?, FileDate = ?, "
                              "Note = ?, Pending = 1, IndexedAt = ?, Failure = ? WHERE FileId = ?"),
               {StorableText(facts.kind), StorableText(facts.description), StorableText(facts.fileType),
                StorableText(facts.fileSize), StorableText(facts.fileDate), failure, Now(), failure, existingId},
               error);
}

bool ContentIndexStore::remove(qint64 id, QString* error)
{
    if (!begin(error))
        return false;
    QSqlQuery query(m_session->database());
    for (const QString& sql : m_postgres ? QStringList{QStringLiteral("DELETE FROM ContentFile WHERE FileId = ?")}
                                         : QStringList{QStringLiteral("DELETE FROM ContentText WHERE rowid = ?"),
                                                       QStringLiteral("DELETE FROM ContentFile WHERE FileId = ?")}) {
        query.prepare(sql);
        query.addBindValue(id);
        if (!query.exec()) {
            *error = QStringLiteral("不能写入内容索引: %1").arg(QueryError(query));
            return false;
        }
    }
    return true;
}

bool ContentIndexStore::commit(QString* error)
{
    if (!m_inTransaction)
        return true;
    QSqlQuery query(m_session->database());
    query.prepare(QStringLiteral("UPDATE ContentIndexInfo SET Value = ? WHERE Name = ?"));
    for (const auto& [name, value] : {std::pair{QStringLiteral("changes"), QString::number(m_changes + 1)},
                                      std::pair{QStringLiteral("updated"), Now()}}) {
        query.addBindValue(value);
        query.addBindValue(name);
        if (!query.exec()) {
            *error = QStringLiteral("不能写入内容索引: %1").arg(QueryError(query));
            return false;
        }
    }
    if (!m_session->database().commit()) {
        *error = QStringLiteral("不能写入内容索引: %1").arg(db::DriverMessage(m_session->database().lastError()));
        return false;
    }
    m_inTransaction = false;
    ++m_changes;
    return true;
}

void ContentIndexStore::refreshStatistics()
{
    if (!m_postgres || m_inTransaction)
        return;
    // New rows wait in the trigram index's pending list until a vacuum; while the list is long the
    // planner prices the index above reading every text, and reading every text takes a hundred
    // times longer. Without pg_trgm there is no such index and the first call fails harmlessly.
    QString ignored;
    exec(QStringLiteral("SELECT gin_clean_pending_list('ContentFileTrigrams'::regclass)"), &ignored);
    exec(QStringLiteral("ANALYZE ContentFile"), &ignored);
}

void ContentIndexStore::rollback()
{
    if (m_inTransaction && m_session)
        m_session->database().rollback();
    m_inTransaction = false;
}

} // namespace zq::index

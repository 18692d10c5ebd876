#pragma once
// The content index as zqpdm-index writes it: one row a stored file, keyed by the file's identity
// (the table it is listed in, its codes, revision and file name), with what the row said about it
// (description, type, size, date) and the text read from it. On SQLite the text goes into an FTS5
// table whose trigram tokenizer reads it folded for search (SearchFolding.h); on PostgreSQL into a
// column, and folded into a second one with a pg_trgm GIN index (without the extension that column
// is scanned, and the store says so). The "文档内容" page reads the same tables
// (src/pages/content/ContentSql.cpp). An index of an earlier layout is brought up to date as it is
// opened (ContentIndexSchema.h).
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <memory>

class QSqlDatabase;
class QSqlQuery;

namespace zq::db { class Session; }

namespace zq::index {

struct FileIdentity {
    QString sourceTable;   // Documents, TaskDocuments, TeamWorkResult, EngineerViewDoc
    QString code1;         // the codes and revision the file is fetched by ("" where a table has none)
    QString code2;
    QString revision;
    QString fileName;
    QString key() const;   // one text for all five
};

// What the PDM row says about a file: when any of it changes, the file is read again.
struct FileFacts {
    QString kind;          // "设计文档" or "资源文件"
    QString description;
    QString fileType;
    QString fileSize;
    QString fileDate;
    bool sameAs(const FileFacts& other) const;
};

struct IndexedEntry {
    qint64 id = -1;
    FileFacts facts;
    bool pending = false;  // the file's text is not in the index yet (it could not be fetched or read)
    // Why the file, as `facts` describe it, could not be read ("" when it was, or when only the
    // fetch failed): it is not read again until the row changes.
    QString failure;
};

class ContentIndexStore {
public:
    ContentIndexStore();
    ~ContentIndexStore();
    ContentIndexStore(const ContentIndexStore&) = delete;
    ContentIndexStore& operator=(const ContentIndexStore&) = delete;

    // Opens the index at url (sqlite:PATH or postgresql://...), creating its file and tables when
    // missing. A database holding tables of these names that are not a content index is left alone.
    bool open(const QString& url, QString* error);
    // What the user should know about the index (a missing pg_trgm, a rebuilt schema).
    QStringList notes() const { return m_notes; }
    bool onPostgres() const { return m_postgres; }
    // The index's database, for the index of folded codes kept beside the files (CodeIndexKeeper).
    QSqlDatabase database() const;

    // Every file in the index, by FileIdentity::key().
    bool load(QHash<QString, IndexedEntry>* entries, QString* error);

    // Writes happen in transactions of many files; commit() ends one (nothing when none is open).
    // A text of "" with pending set keeps a file findable by name and description only.
    bool put(const FileIdentity& identity, const FileFacts& facts, const QString& text, const QString& note,
             bool pending, qint64 existingId, QString* error);
    // A file that could not be read, remembered with its row's facts and the reason; one already
    // in the index (existingId) keeps its earlier text, a new one is found by name and description.
    bool putFailure(const FileIdentity& identity, const FileFacts& facts, const QString& reason, qint64 existingId,
                    QString* error);
    bool remove(qint64 id, QString* error);
    bool commit(QString* error);
    // Gives up the open transaction.
    void rollback();
    // After many changes: PostgreSQL's trigram index takes in its pending rows and the planner
    // learns the new rows at once rather than at the next automatic vacuum and analysis (until
    // then it may scan every text instead of using the trigram index).
    void refreshStatistics();

    // How many transactions have changed the index since it was made.
    qint64 changeCount() const { return m_changes; }

private:
    bool exec(const QString& sql, QString* error);
    // A statement with its values; false with the engine's reason in *error.
    bool run(QSqlQuery& query, const QString& sql, const QVariantList& values, QString* error);
    bool begin(QString* error);
    bool createSchema(QString* error);
    bool checkSchema(QString* error);
    // PostgreSQL: the trigram index over the text, when the server has pg_trgm (a note when not).
    bool createTrigramIndex(QString* error);

    std::unique_ptr<db::Session> m_session;
    bool m_postgres = false;
    bool m_inTransaction = false;
    qint64 m_changes = 0;
    QStringList m_notes;
};

// A text every engine stores as it is: no NUL (PostgreSQL refuses it), no half of a surrogate pair.
QString StorableText(QString text);

// The searchable text of a file: its text, then its description and file name, so that a file
// without text is found by those; NULs and broken UTF-16 made harmless for every engine.
QString SearchableText(const QString& text, const FileFacts& facts, const QString& fileName);

} // namespace zq::index

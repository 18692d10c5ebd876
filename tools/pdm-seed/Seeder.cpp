#include "Seeder.h"
#include "ConnectionUrl.h"
#include "DatabaseUrl.h"
#include "DemoData.h"
#include "InstallationFiles.h"
#include "ScaleData.h"
#include "Schema.h"
#include "StagedInstallation.h"
#include "ZQPDMFC.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <functional>

namespace zq::seed {

namespace {

void exec(QSqlDatabase& db, const QString& sql)
{
    QSqlQuery query(db);
    if (!query.exec(sql))
        throw SeedError(QStringLiteral("%1: %2").arg(sql, query.lastError().text()));
}

// A folder holding an installation: its page list or its own database.
bool IsInstallation(const QString& home)
{
    return QFileInfo::exists(home + QStringLiteral("/pdm.db")) ||
           QFileInfo(ResolvePathCaseInsensitive(home + QStringLiteral("/Support/Search.cfg"))).isFile();
}

qint64 countRows(QSqlDatabase& db, const QString& table)
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("SELECT count(*) FROM %1").arg(table)) || !query.next())
        throw SeedError(QStringLiteral("cannot count %1: %2").arg(table, query.lastError().text()));
    return query.value(0).toLongLong();
}

// Undoes what a failed run made: folders and files that were not there before it (the newest
// first), and, through dropTables while the connection is open, the tables it created. Told to
// keep everything once the run has succeeded.
class Undo {
public:
    ~Undo()
    {
        if (m_kept)
            return;
        for (auto path = m_paths.crbegin(); path != m_paths.crend(); ++path) {
            const QFileInfo info(*path);
            if (info.isDir() && !info.isSymLink())
                QDir(*path).removeRecursively();
            else
                QFile::remove(*path);
        }
    }
    // Remembers path as made by this run when nothing is there yet.
    void ifNew(const QString& path)
    {
        if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
            m_paths.append(path);
    }
    void table(std::function<void()> drop) { m_tables.append(std::move(drop)); }
    void dropTables()
    {
        for (const auto& drop : m_tables)
            drop();
        m_tables.clear();
    }
    void keep() { m_kept = true; }

private:
    QStringList m_paths;
    QList<std::function<void()>> m_tables;
    bool m_kept = false;
};

} // namespace

qint64 SeedReport::totalRows() const
{
    qint64 total = 0;
    for (qint64 n : rows)
        total += n;
    return total;
}

QString DefaultDatabaseUrl(const QString& home)
{
    return QStringLiteral("sqlite:") + QDir(home).absoluteFilePath(QStringLiteral("pdm.db"));
}

QString DefaultStoreUrl(const QString& home)
{
    return QUrl::fromLocalFile(QDir(home).absoluteFilePath(QStringLiteral("ftpstore"))).toString();
}

Seeder::Seeder(SeedOptions options) : m_options(std::move(options)) {}

QStringList TrigramIndexStatements()
{
    QFile file(QStringLiteral(":/zqpdm/sql/postgresql-trigram-indexes.sql"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // Comments run to the end of their line; statements end with a semicolon at a line's end.
    QStringList statements;
    QString statement;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        const QString code = line.section(QStringLiteral("--"), 0, 0).trimmed();
        if (code.isEmpty())
            continue;
        statement += (statement.isEmpty() ? QString() : QStringLiteral(" ")) + code;
        if (statement.endsWith(u';')) {
            statement.chop(1);
            statements.append(statement);
            statement.clear();
        }
    }
    return statements;
}

void Seeder::createTrigramIndexes(QSqlDatabase& db)
{
    const QStringList statements = TrigramIndexStatements();
    if (statements.isEmpty())
        throw SeedError(QStringLiteral("the trigram index statements are missing from this program"));
    tell(QStringLiteral("creating the trigram indexes"));
    for (const QString& sql : statements)
        exec(db, sql);
}

void Seeder::tell(const QString& stage) const
{
    if (m_options.stage)
        m_options.stage(stage);
}

bool Seeder::Run()
{
    m_error.clear();
    m_report = {};
    try {
        run();
        return true;
    } catch (const SeedError& e) {
        m_error = e.message();
    } catch (const std::exception& e) {
        m_error = QString::fromLocal8Bit(e.what());
    }
    return false;
}

QStringList Seeder::tablesWithRows(QSqlDatabase& db)
{
    QSet<QString> existing;
    for (const QString& name : db.tables())
        existing.insert(name.section(u'.', -1).toLower());
    QStringList holding;
    for (const Table& t : PdmTables())
        if (existing.contains(t.name.toLower()) && countRows(db, t.name) > 0)
            holding.append(t.name);
    return holding;
}

void Seeder::run()
{
    if (m_options.home.isEmpty())
        throw SeedError(QStringLiteral("no installation folder given"));
    if (m_options.scale < 1 || m_options.scale > kMaxScale)
        throw SeedError(QStringLiteral("the scale must be between 1 and %1").arg(kMaxScale));
    const QDate today = m_options.today.isValid() ? m_options.today : QDate::currentDate();
    const QString home = QDir(m_options.home).absolutePath();
    // The installation's own database (no --db) is the seeder's to replace; a database named
    // with --db may be a customer's, and is neither deleted nor overwritten unasked. An existing
    // installation is replaced only when asked, too.
    const bool ownDatabase = m_options.databaseUrl.isEmpty();
    if (IsInstallation(home) && !m_options.replace)
        throw SeedError(QStringLiteral("%1 already holds an installation (Support/Search.cfg or pdm.db); nothing was "
                                       "changed. To replace its database, file store and content index, add --replace")
                            .arg(home));
    Undo undo;

    m_report.databaseUrl = ownDatabase ? DefaultDatabaseUrl(home) : AbsoluteSqliteUrl(m_options.databaseUrl);
    const QString writtenUrl = ownDatabase ? QString() : UrlWithoutPassword(m_report.databaseUrl, &m_report.passwordLeftOut);
    m_report.storeUrl = DefaultStoreUrl(home);
    QString error;
    auto target = ParseDatabaseUrl(m_report.databaseUrl, &error);
    if (!target)
        throw SeedError(error);
    undo.ifNew(home);
    if (!QDir().mkpath(home))
        throw SeedError(QStringLiteral("cannot create the installation folder %1").arg(home));
    const QString storeRoot = home + QStringLiteral("/ftpstore");
    undo.ifNew(storeRoot);
    if (!QDir().mkpath(storeRoot))
        throw SeedError(QStringLiteral("cannot create %1").arg(storeRoot));
    // Everything is written beside the installation and put in place at the end.
    StagedInstallation staged(home);
    if (ownDatabase)
        target->databaseName = staged.stagedHome() + QStringLiteral("/pdm.db");
    else if (target->driver == QLatin1String("QSQLITE"))
        undo.ifNew(target->databaseName);

    SeedConnection connection(*target);
    if (!connection.open(&error))
        throw SeedError(error);
    QSqlDatabase& db = connection.db();
    const Engine engine = connection.target().engine;   // through ODBC: the system the driver reports
    if (!ownDatabase) {
        const QStringList holding = tablesWithRows(db);
        if (!holding.isEmpty() && !m_options.replace)
            throw SeedError(QStringLiteral("%1 already holds data in %2; nothing was changed. To drop these tables "
                                           "and seed them again, add --replace")
                                .arg(db::RedactUrl(m_report.databaseUrl), holding.join(QStringLiteral(", "))));
    }
    try {
        if (!ownDatabase) {
            QSet<QString> existingTables;
            for (const QString& name : db.tables())
                existingTables.insert(name.section(u'.', -1).toLower());
            for (const Table& t : PdmTables())
                if (!existingTables.contains(t.name.toLower()))
                    undo.table([&db, &t, engine] { QSqlQuery(db).exec(DropTableSql(t, engine)); });
        }
        if (engine == Engine::Sqlite) {
            exec(db, QStringLiteral("PRAGMA synchronous=OFF"));
            exec(db, QStringLiteral("PRAGMA journal_mode=MEMORY"));
        } else if (engine == Engine::Postgres) {
            exec(db, QStringLiteral("SET client_min_messages = warning"));
            exec(db, QStringLiteral("SET synchronous_commit = off"));
        }
        for (const Table& t : PdmTables())
            exec(db, DropTableSql(t, engine));
        for (const Table& t : PdmTables())
            exec(db, CreateTableSql(t, engine));

        if (!db.transaction())
            throw SeedError(QStringLiteral("cannot start a transaction: %1").arg(db.lastError().text()));
        try {
            SeedOutput out(db, staged.stagedStore());
            DemoContext ctx{out, DemoClock{today}};
            WriteDemoData(ctx);
            WriteScaleData(ctx, m_options.scale, m_options.shape, m_options.progress);
            out.flush();
            m_report.files = out.filesWritten();
        } catch (...) {
            db.rollback();
            throw;
        }
        if (!db.commit())
            throw SeedError(QStringLiteral("cannot commit the demo data: %1").arg(db.lastError().text()));

        tell(QStringLiteral("creating the indexes"));
        for (const Table& t : PdmTables())
            for (const QString& sql : CreateIndexSql(t, engine))
                exec(db, sql);
        if (m_options.trigramIndexes) {
            if (engine != Engine::Postgres)
                throw SeedError(QStringLiteral("trigram indexes are PostgreSQL's; this database is not"));
            createTrigramIndexes(db);
        }
        if (m_options.moduleTablesOnly)
            for (const Table& t : PdmTables())
                if (t.standIn)
                    exec(db, DropTableSql(t, engine));
        QStringList seeded;
        for (const Table& t : PdmTables())
            if (!(m_options.moduleTablesOnly && t.standIn))
                seeded.append(t.name);
        if (engine != Engine::SqlServer) {
            // Only the tables seeded here: the planner's figures of a customer's other tables are theirs.
            tell(QStringLiteral("gathering the planner's statistics"));
            for (const QString& table : seeded)
                exec(db, QStringLiteral("ANALYZE ") + table);
        }
        for (const QString& table : seeded)
            m_report.rows.insert(table, countRows(db, table));

        // The installation's own database and store are its defaults and are not written down, so a
        // copy of the installation reads its own; a database named with --db is, without its password.
        for (const char* folder : {"Support", "rnds", "sys"})
            undo.ifNew(home + u'/' + QLatin1String(folder));
        WriteInstallationFiles(staged.stagedHome(), writtenUrl, QString());
        if (ownDatabase)
            connection.close();
        staged.commit(ownDatabase, m_options.replace);
    } catch (...) {
        undo.dropTables();
        throw;
    }
    undo.keep();
}

} // namespace zq::seed

#include "BenchData.h"

#include "ConnectionUrl.h"
#include "Seeder.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QVariant>
#include <functional>

namespace zq::bench {

namespace {

// Bumped whenever the data a cached installation holds would change.
constexpr int kDataVersion = 2;

const QString kStampFile = QStringLiteral("bench.stamp");

QString stampText(const QString& key)
{
    return QStringLiteral("%1 today=%2 version=%3\n").arg(key, BenchToday().toString(Qt::ISODate)).arg(kDataVersion);
}

bool hasStamp(const QString& dir, const QString& key)
{
    QFile file(dir + QLatin1Char('/') + kStampFile);
    return file.open(QIODevice::ReadOnly) && QString::fromUtf8(file.readAll()) == stampText(key);
}

bool writeStamp(const QString& dir, const QString& key)
{
    QFile file(dir + QLatin1Char('/') + kStampFile);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(stampText(key).toUtf8()) > 0;
}

// The installations of the title-search cases have every part its own drawing, all dated within
// the default search range: the title search lists about a thousand rows a step. The large ones
// have pdm-seed's own shape (a shared parts library, ten years of dates) and its trigram indexes.
QString seed(const QString& home, int scale, const QString& databaseUrl, bool large = false)
{
    std::fprintf(stderr, "bench: seeding scale %d into %s (kept for later runs)\n", scale,
                 qPrintable(db::RedactUrl(databaseUrl.isEmpty() ? home : databaseUrl)));
    seed::SeedOptions options;
    options.home = home;
    options.scale = scale;
    options.today = BenchToday();
    options.databaseUrl = databaseUrl;
    options.replace = large;
    options.trigramIndexes = large;
    if (large)
        options.progress = [](int done, int steps) {
            if (done % 500 == 0 || done == steps)
                std::fprintf(stderr, "bench: product %d of %d\n", done, steps);
        };
    else
        options.shape = seed::ScaleShape::EveryPartOwn();
    seed::Seeder seeder(options);
    return seeder.Run() ? QString() : seeder.LastError();
}

// A Qt Sql connection of the harness's own for one piece of work, removed afterwards. Returns
// the reason when the database cannot be opened.
QString withDatabase(const QString& driver, const std::function<void(QSqlDatabase&)>& configure,
                     const std::function<void(QSqlDatabase&)>& work)
{
    static int serial = 0;
    const QString name = QStringLiteral("bench-%1").arg(++serial);
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(driver, name);
        configure(db);
        if (db.open())
            work(db);
        else
            error = db.lastError().text();
    }
    QSqlDatabase::removeDatabase(name);
    return error;
}

void configurePostgres(QSqlDatabase& db, const QUrl& url, const QString& database)
{
    db.setHostName(url.host());
    db.setPort(url.port(5432));
    db.setUserName(url.userName());
    db.setPassword(url.password());
    db.setDatabaseName(database);
}

qint64 countIn(QSqlDatabase& db, const QString& table)
{
    QSqlQuery query(db);
    if (query.exec(QStringLiteral("SELECT count(*) FROM ") + table) && query.next())
        return query.value(0).toLongLong();
    return -1;
}

// An installation in `home` whose database is `database` on the server of `admin`.
Installation onServer(const QUrl& admin, const QString& database, const QString& home)
{
    Installation result;
    QUrl url = admin;
    url.setPath(QLatin1Char('/') + database);
    result.home = home;
    result.databaseUrl = url.toString();
    result.conninfo = QStringLiteral("host=%1 port=%2 user=%3 dbname=%4")
                          .arg(admin.host())
                          .arg(admin.port(5432))
                          .arg(admin.userName(), database);
    if (!admin.password().isEmpty())
        result.conninfo += QStringLiteral(" password=") + admin.password();
    return result;
}

} // namespace

QString WithPostgres(const QString& url, const std::function<void(QSqlDatabase&)>& work)
{
    const QUrl server(url);
    return withDatabase(QStringLiteral("QPSQL"),
                        [&](QSqlDatabase& db) { configurePostgres(db, server, server.path().mid(1)); }, work);
}

Installation SqliteInstallation(const QString& dataDir, int scale)
{
    Installation result;
    result.home = QStringLiteral("%1/sqlite-scale-%2").arg(dataDir).arg(scale);
    result.sqlitePath = result.home + QStringLiteral("/pdm.db");
    result.databaseUrl = QStringLiteral("sqlite:") + result.sqlitePath;
    const QString key = QStringLiteral("scale=%1").arg(scale);
    if (hasStamp(result.home, key) && QFile::exists(result.sqlitePath))
        return result;
    QDir(result.home).removeRecursively();
    result.error = seed(result.home, scale, QString());
    if (result.ok() && !writeStamp(result.home, key))
        result.error = QStringLiteral("cannot write the stamp in ") + result.home;
    return result;
}

Installation PostgresInstallation(const QString& dataDir, const QString& adminUrl, int scale, qint64 expectedTitles)
{
    const QUrl admin(adminUrl);
    const QString database = QStringLiteral("zqbench_scale_%1").arg(scale);
    Installation result = onServer(admin, database, QStringLiteral("%1/postgresql-scale-%2").arg(dataDir).arg(scale));

    qint64 titles = -1;
    withDatabase(QStringLiteral("QPSQL"), [&](QSqlDatabase& db) { configurePostgres(db, admin, database); },
                 [&](QSqlDatabase& db) { titles = countIn(db, QStringLiteral("ZqlomiraAll_title")); });
    if (titles == expectedTitles && QDir(result.home).exists())
        return result;
    result.error = withDatabase(
        QStringLiteral("QPSQL"), [&](QSqlDatabase& db) { configurePostgres(db, admin, admin.path().mid(1)); },
        [&](QSqlDatabase& db) { QSqlQuery(db).exec(QStringLiteral("CREATE DATABASE ") + database); });
    if (!result.ok())
        return result;
    QDir(result.home).removeRecursively();
    result.error = seed(result.home, scale, result.databaseUrl);
    return result;
}

Installation LargePostgresInstallation(const QString& dataDir, const QString& adminUrl, int scale)
{
    const QUrl admin(adminUrl);
    const QString database = QStringLiteral("zqbench_large_%1").arg(scale);
    Installation result = onServer(admin, database, QStringLiteral("%1/postgresql-large-%2").arg(dataDir).arg(scale));

    // The stamp names the part-list lines the database held when it was seeded.
    qint64 lines = -1;
    withDatabase(QStringLiteral("QPSQL"), [&](QSqlDatabase& db) { configurePostgres(db, admin, database); },
                 [&](QSqlDatabase& db) { lines = countIn(db, QStringLiteral("ZqlomiraAll_detail")); });
    const QString key = QStringLiteral("large scale=%1 lines=%2").arg(scale).arg(lines);
    if (lines > 0 && hasStamp(result.home, key)) {
        // The index script as it is now (an index already there is kept).
        withDatabase(QStringLiteral("QPSQL"), [&](QSqlDatabase& db) { configurePostgres(db, admin, database); },
                     [&](QSqlDatabase& db) {
                         QSqlQuery(db).exec(QStringLiteral("SET client_min_messages = warning"));
                         for (const QString& statement : seed::TrigramIndexStatements())
                             if (QSqlQuery query(db); !query.exec(statement))
                                 result.error = query.lastError().text();
                     });
        return result;
    }
    result.error = withDatabase(
        QStringLiteral("QPSQL"), [&](QSqlDatabase& db) { configurePostgres(db, admin, admin.path().mid(1)); },
        [&](QSqlDatabase& db) {
            if (lines < 0)
                QSqlQuery(db).exec(QStringLiteral("CREATE DATABASE ") + database);
        });
    if (!result.ok())
        return result;
    QDir(result.home).removeRecursively();
    result.error = seed(result.home, scale, result.databaseUrl, true);
    if (!result.ok())
        return result;
    withDatabase(QStringLiteral("QPSQL"), [&](QSqlDatabase& db) { configurePostgres(db, admin, database); },
                 [&](QSqlDatabase& db) { lines = countIn(db, QStringLiteral("ZqlomiraAll_detail")); });
    if (!writeStamp(result.home, QStringLiteral("large scale=%1 lines=%2").arg(scale).arg(lines)))
        result.error = QStringLiteral("cannot write the stamp in ") + result.home;
    return result;
}

qint64 CountRows(const Installation& installation, const QString& table)
{
    qint64 count = -1;
    if (!installation.sqlitePath.isEmpty()) {
        withDatabase(QStringLiteral("QSQLITE"),
                     [&](QSqlDatabase& db) { db.setDatabaseName(installation.sqlitePath); },
                     [&](QSqlDatabase& db) { count = countIn(db, table); });
    } else {
        const QUrl url(installation.databaseUrl);
        withDatabase(QStringLiteral("QPSQL"),
                     [&](QSqlDatabase& db) { configurePostgres(db, url, url.path().mid(1)); },
                     [&](QSqlDatabase& db) { count = countIn(db, table); });
    }
    return count;
}

QString MatchedStand()
{
    return QStringLiteral("M8×20");
}

QString StructureShape::key() const
{
    return QStringLiteral("structure-%1-%2-%3-%4-%5-%6-%7")
        .arg(fanOut)
        .arg(uniqueLevels)
        .arg(usesPerParent)
        .arg(sharedUses)
        .arg(level7)
        .arg(level8)
        .arg(matchEvery);
}

namespace {

// Writes the part-list lines of the structure product.
class StructureWriter {
public:
    StructureWriter(QSqlQuery& insert, const StructureShape& shape) : m_insert(insert), m_shape(shape) {}

    QString write()
    {
        const QString product = QString::fromLatin1(kStructureProduct);
        QList<QString> level{product};
        for (int depth = 1; depth <= m_shape.uniqueLevels; ++depth) {
            QList<QString> below;
            for (const QString& up : std::as_const(level))
                for (int i = 1; i <= m_shape.fanOut; ++i) {
                    const QString code = QStringLiteral("%1-%2").arg(up).arg(i, 2, 10, QLatin1Char('0'));
                    line(up, code, QStringLiteral("部件%1").arg(depth), QStringLiteral("φ%1").arg(depth));
                    below.append(code);
                }
            level = below;
        }
        // Each item of the last unique level uses usesPerParent consecutive shared subassemblies.
        const int shared = int(qint64(level.size()) * m_shape.usesPerParent / m_shape.sharedUses);
        qint64 use = 0;
        for (const QString& up : std::as_const(level))
            for (int i = 0; i < m_shape.usesPerParent; ++i, ++use)
                line(up, sharedCode(int(use % shared)), QStringLiteral("共用组件"), QStringLiteral("φ6"));
        qint64 part = 0;
        for (int s = 0; s < shared; ++s) {
            for (int a = 1; a <= m_shape.level7; ++a) {
                const QString assembly = QStringLiteral("%1-%2").arg(sharedCode(s)).arg(a, 2, 10, QLatin1Char('0'));
                line(sharedCode(s), assembly, QStringLiteral("组件"), QStringLiteral("φ7"));
                for (int p = 1; p <= m_shape.level8; ++p, ++part) {
                    const bool matched = part % m_shape.matchEvery == 0;
                    line(assembly, QStringLiteral("%1-%2").arg(assembly).arg(p, 2, 10, QLatin1Char('0')),
                         QStringLiteral("零件"), matched ? MatchedStand() : QStringLiteral("φ8"));
                }
            }
        }
        return m_error;
    }

    qint64 lines() const { return m_lines; }

private:
    static QString sharedCode(int index)
    {
        return QStringLiteral("%1-G%2").arg(QString::fromLatin1(kStructureProduct)).arg(index + 1, 4, 10, QLatin1Char('0'));
    }

    void line(const QString& up, const QString& code, const QString& name, const QString& stand)
    {
        if (!m_error.isEmpty())
            return;
        ++m_lines;
        const QVariantList values{QString::fromLatin1(kStructureProduct), up, QString(), code, name, stand, m_lines};
        for (int i = 0; i < values.size(); ++i)
            m_insert.bindValue(i, values[i]);
        if (!m_insert.exec())
            m_error = m_insert.lastError().text();
    }

    QSqlQuery& m_insert;
    const StructureShape& m_shape;
    qint64 m_lines = 0;
    QString m_error;
};

} // namespace

Installation StructureInstallation(const QString& dataDir, const StructureShape& shape, qint64* lines)
{
    Installation result;
    result.home = dataDir + QLatin1Char('/') + shape.key();
    result.sqlitePath = result.home + QStringLiteral("/pdm.db");
    result.databaseUrl = QStringLiteral("sqlite:") + result.sqlitePath;
    if (!hasStamp(result.home, shape.key()) || !QFile::exists(result.sqlitePath)) {
        QDir(result.home).removeRecursively();
        result.error = seed(result.home, 1, QString());
        if (!result.ok())
            return result;
        const QString opened = withDatabase(
            QStringLiteral("QSQLITE"), [&](QSqlDatabase& db) { db.setDatabaseName(result.sqlitePath); },
            [&](QSqlDatabase& db) {
                         db.transaction();
                         QSqlQuery product(db);
                         product.exec(QStringLiteral("INSERT INTO Product (ProductDwgCode, ProductName) VALUES ('%1', "
                                                     "'%1型共享结构机组')")
                                          .arg(QString::fromLatin1(kStructureProduct)));
                         QSqlQuery insert(db);
                         insert.prepare(QStringLiteral("INSERT INTO ZqlomiraAll_detail (ProductDwgCode, UpCode, Upname, "
                                                       "Dcode, Dname, Dstand, Dserial) VALUES (?, ?, ?, ?, ?, ?, ?)"));
                         StructureWriter writer(insert, shape);
                         result.error = writer.write();
                         if (result.ok() && !db.commit())
                             result.error = db.lastError().text();
            });
        if (result.ok())
            result.error = opened;
        if (result.ok() && !writeStamp(result.home, shape.key()))
            result.error = QStringLiteral("cannot write the stamp in ") + result.home;
        if (!result.ok())
            return result;
    }
    if (lines) {
        qint64 count = -1;
        withDatabase(QStringLiteral("QSQLITE"), [&](QSqlDatabase& db) { db.setDatabaseName(result.sqlitePath); },
                     [&](QSqlDatabase& db) {
                         QSqlQuery query(db);
                         if (query.exec(QStringLiteral("SELECT count(*) FROM ZqlomiraAll_detail WHERE ProductDwgCode='%1'")
                                            .arg(QString::fromLatin1(kStructureProduct)))
                             && query.next())
                             count = query.value(0).toLongLong();
                     });
        *lines = count;
    }
    return result;
}

} // namespace zq::bench

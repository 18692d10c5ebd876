#pragma once
// Creates (or, when asked, replaces) a demo installation: the PDM schema and deterministic demo
// data in its database, the configuration files and the file store folder with every file a row
// names. Everything is written beside the installation first and put in place at the end
// (StagedInstallation), so a run that fails leaves the installation as it was.
//
//   DIR/pdm.db                 the database (unless another database URL is given)
//   DIR/Support/Search.cfg     page captions
//   DIR/rnds/spt/zqpdmcad.ini  client configuration ([Database] Url only for a database named with --db)
//   DIR/sys/zqpdmcod.ini       the system folder's file: set ZQPDM_SYSDIR=DIR/sys
//   DIR/ftpstore/Zq/...        the file store (file:// URL)
#include "ScaleData.h"

#include <QDate>
#include <QMap>
#include <QString>
#include <QStringList>

class QSqlDatabase;

namespace zq::seed {

constexpr int kMaxScale = 10000;

struct SeedOptions {
    QString home;          // created when missing
    int scale = 1;         // 1..kMaxScale
    QDate today;           // invalid: the current date
    QString databaseUrl;   // empty: sqlite:DIR/pdm.db (the file is replaced)
    bool moduleTablesOnly = false;   // leave out the stand-ins' own tables, as in a customer's database
    // An existing installation in home (Support/Search.cfg or pdm.db), and a database named with
    // databaseUrl whose tables of ours already hold rows, are refused unless this is set; then
    // the installation's files, store and content index are replaced and those tables dropped and
    // made again (other tables and files are never touched).
    bool replace = false;
    bool trigramIndexes = false;   // PostgreSQL: also the indexes of postgresql-trigram-indexes.sql
    ScaleShape shape;          // how the products of --scale are made
    ScaleProgress progress;    // told after each product of --scale
    std::function<void(const QString&)> stage;   // told as each later stage (indexes, statistics) begins
};

struct SeedReport {
    QString databaseUrl;          // the database seeded (a relative sqlite: path made absolute)
    bool passwordLeftOut = false; // its password is not in the installation's configuration
    QString storeUrl;
    QMap<QString, qint64> rows;   // per table
    qint64 files = 0;             // files written to the store
    qint64 totalRows() const;
};

// The statements of tools/sql/postgresql-trigram-indexes.sql, as the program carries it.
QStringList TrigramIndexStatements();

class Seeder {
public:
    explicit Seeder(SeedOptions options);

    // false: LastError() says why, the installation and its store are as they were, and nothing
    // this run made is left behind (the folders and files it created, the tables it created in a
    // database named with databaseUrl). The demo's PDF
    // files are drawn with Qt's fonts: the process needs a QGuiApplication (offscreen will do).
    bool Run();
    QString LastError() const { return m_error; }
    const SeedReport& Report() const { return m_report; }

private:
    void run();
    void tell(const QString& stage) const;
    void createTrigramIndexes(QSqlDatabase& db);
    // The tables of ours that hold rows in the database being seeded.
    static QStringList tablesWithRows(QSqlDatabase& db);


    SeedOptions m_options;
    QString m_error;
    SeedReport m_report;
};

// The default database URL of an installation folder.
QString DefaultDatabaseUrl(const QString& home);
// The file store URL of an installation folder: file:///abs/DIR/ftpstore
QString DefaultStoreUrl(const QString& home);

} // namespace zq::seed

#pragma once
// Test fixtures around the demo installation.
//
//   zq::test::EnsureApp()            a QApplication (offscreen) created once per process
//   zq::test::ScopedEnv              sets or unsets one environment variable, restores it afterwards
//   zq::test::SeededHome             a temporary demo installation made in-process by the seeder, with a
//                                    fixed today (2026-12-08 unless given); for its lifetime ZQPDM_HOME,
//                                    ZQPDM_SYSDIR (DIR/sys) and ZQPDM_DB point at it, ZQPDM_WORKDIR and
//                                    TMPDIR at its own work/ and tmp/ folders, and ZQPDM_FTP is unset so
//                                    the installation's [FTP] Url (DIR/ftpstore) applies
//   zq::test::PgTestDatabase         a fresh database on the ZQ_TEST_PG server, dropped afterwards
//   zq::test::ScopedCurrentDatabase  a connected CZQDBConnect made the process's current one for a scope
//   zq::test::EngineHome             a SeededHome on one engine of EngineNames() (TestEngines.h): SQLite,
//                                    PostgreSQL (a fresh PgTestDatabase), or either through ODBC, seeded
//                                    through the same connection: INSTANTIATE_TEST_SUITE_P(E, T, EngineNames())
//
// Typical use:
//   zq::test::SeededHome home;                   ASSERT_TRUE(home.ok()) << home.error().toStdString();
//   zq::test::PgTestDatabase pg;                 if (!pg.available()) GTEST_SKIP() << "ZQ_TEST_PG not set";
//   zq::test::SeededHome::Options options;      options.databaseUrl = pg.url();
//   zq::test::SeededHome pgHome(options);
#include "TestApplication.h"
#include "TestEngines.h"

#include <QDate>
#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <optional>
#include <vector>

namespace zq { class CZQDBConnect; }

namespace zq::test {

// The day every seeded installation of the tests is relative to.
inline QDate DefaultTestToday() { return QDate(2026, 12, 8); }

class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::optional<QString>& value);   // nullopt: unset
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;
private:
    QByteArray m_name;
    std::optional<QByteArray> m_previous;
};

class SeededHome {
public:
    struct Options {
        QDate today = DefaultTestToday();
        int scale = 1;
        QString databaseUrl;          // empty: DIR/pdm.db
        bool sqliteThroughOdbc = false;   // with no databaseUrl: DIR/pdm.db through the ODBC SQLite driver
        bool moduleTablesOnly = false;    // without the sibling stand-ins' own tables
        bool setEnvironment = true;
    };

    SeededHome();
    explicit SeededHome(const Options& options);
    ~SeededHome();
    SeededHome(const SeededHome&) = delete;
    SeededHome& operator=(const SeededHome&) = delete;

    bool ok() const { return m_ok; }
    QString error() const { return m_error; }

    QString home() const;                         // no trailing '/'
    QString path(const QString& relative) const;  // home() + '/' + relative
    QString databaseUrl() const { return m_databaseUrl; }
    QString storeDir() const { return path(QStringLiteral("ftpstore")); }
    QString storeUrl() const;
    QString sysDir() const { return path(QStringLiteral("sys")); }
    QString workDir() const { return path(QStringLiteral("work")); }
    QString tempDir() const { return path(QStringLiteral("tmp")); }
    QDate today() const { return m_today; }

private:
    QTemporaryDir m_dir;
    QDate m_today;
    QString m_databaseUrl;
    bool m_ok = false;
    QString m_error;
    std::vector<std::unique_ptr<ScopedEnv>> m_env;
};

class PgTestDatabase {
public:
    PgTestDatabase();    // creates the database when ZQ_TEST_PG is set
    // With more of CREATE DATABASE's options, e.g. "LC_CTYPE 'C' LC_COLLATE 'C'".
    explicit PgTestDatabase(const QString& createOptions);
    ~PgTestDatabase();   // drops it
    PgTestDatabase(const PgTestDatabase&) = delete;
    PgTestDatabase& operator=(const PgTestDatabase&) = delete;

    static bool Available();                // ZQ_TEST_PG is set
    bool available() const { return Available(); }
    bool ok() const { return m_ok; }
    QString error() const { return m_error; }
    QString url() const { return m_url; }  // postgresql://user@host:port/<fresh name>

private:
    QString m_adminUrl, m_name, m_url, m_error;
    bool m_ok = false;
};

class EngineHome {
public:
    explicit EngineHome(const QString& engine, const SeededHome::Options& options = {});
    bool available() const { return m_unavailable.isEmpty(); }   // false: GTEST_SKIP() << unavailable()
    QString unavailable() const { return m_unavailable; }
    std::string skipReason() const { return m_unavailable.toStdString(); }
    bool ok() const { return m_home && m_home->ok(); }
    QString error() const;
    SeededHome& home() { return *m_home; }
    QString databaseUrl() const { return m_home ? m_home->databaseUrl() : QString(); }
private:
    QString m_unavailable;
    std::unique_ptr<PgTestDatabase> m_pg;
    std::unique_ptr<SeededHome> m_home;
};

class ScopedCurrentDatabase {
public:
    explicit ScopedCurrentDatabase(const QString& url);   // connects; see ok()/error()
    ~ScopedCurrentDatabase();                              // restores the previous current connection
    ScopedCurrentDatabase(const ScopedCurrentDatabase&) = delete;
    ScopedCurrentDatabase& operator=(const ScopedCurrentDatabase&) = delete;

    bool ok() const { return m_ok; }
    QString error() const { return m_error; }
    CZQDBConnect* connection() const { return m_connection.get(); }

private:
    std::unique_ptr<CZQDBConnect> m_connection;
    CZQDBConnect* m_previous = nullptr;
    bool m_ok = false;
    QString m_error;
};

} // namespace zq::test

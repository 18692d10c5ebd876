#pragma once
// A scratch place to run the docs' examples as a reader would: a working folder with the demo
// installation `demo` and the build as `build`, a home folder with `~/zqpdm-demo`, our programs on
// the PATH, and stand-ins for the desktop's xdg-open and xdg-mime so that nothing opens on the
// tester's screen. Nothing of ours comes from the tester's environment (no ZQPDM_*).
#include "DocSources.h"

#include <QMap>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <memory>

namespace zq::test { class PgTestDatabase; }

namespace zq::docs {

class ExampleSite {
public:
    explicit ExampleSite(const BuildTree& tree);
    ~ExampleSite();
    ExampleSite(const ExampleSite&) = delete;
    ExampleSite& operator=(const ExampleSite&) = delete;

    QString error() const { return m_error; }   // "" when the site is ready
    QString workDir() const { return m_root.filePath(QStringLiteral("work")); }
    QString scratchFile(const QString& name) const { return m_root.filePath(name); }

    // The command with each postgresql:// URL the docs name replaced by a fresh database of the
    // test server (the same URL, the same database). *unavailable says why it cannot run here.
    QString withTestDatabases(const QString& command, QString* unavailable);

    // Runs the command with bash in the working folder (a cron line with sh, in cron's bare
    // environment); standard output and error together, as a terminal shows them.
    ProgramRun run(const QString& command, bool cron) const;

    // A pdm-seed example that makes an installation (`--home DIR` without `--replace`) is written
    // for a machine that has none yet: the site's installation at DIR is removed before it runs,
    // and indexed again after it has made a new one, so later examples find what they found.
    void clearForSeed(const QString& command);
    bool indexAfterSeed(const QString& command);

private:
    QString seededHome(const QString& command) const;   // "" unless the command makes an installation
    QProcessEnvironment environment(bool cron) const;
    bool makeDemo(const QString& folder);

    BuildTree m_tree;
    QTemporaryDir m_root;
    QString m_error;
    QMap<QString, std::shared_ptr<zq::test::PgTestDatabase>> m_databases;
};

} // namespace zq::docs

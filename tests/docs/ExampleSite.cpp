#include "ExampleSite.h"

#include "DocExamples.h"
#include "SeededHome.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>

namespace zq::docs {

namespace {

bool WriteScript(const QString& path, const QByteArray& body)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write("#!/bin/sh\n" + body + "\n");
    file.close();
    return file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

} // namespace

ExampleSite::ExampleSite(const BuildTree& tree) : m_tree(tree)
{
    if (!m_root.isValid()) {
        m_error = QStringLiteral("no temporary folder");
        return;
    }
    const QDir root(m_root.path());
    for (const char* folder : {"work", "home", "tmp", "run", "desktop"})
        root.mkpath(QLatin1String(folder));
    QFile::setPermissions(m_root.filePath(QStringLiteral("run")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // build/bin/zqpdm-search as the README writes it, from the working folder.
    if (!QFile::link(m_tree.binary, m_root.filePath(QStringLiteral("work/build")))) {
        m_error = QStringLiteral("cannot link the build folder into ") + workDir();
        return;
    }
    // A desktop that has a program for every file, and opens nothing.
    if (!WriteScript(m_root.filePath(QStringLiteral("desktop/xdg-open")), "exit 0") ||
        !WriteScript(m_root.filePath(QStringLiteral("desktop/xdg-mime")), "echo zq-viewer.desktop")) {
        m_error = QStringLiteral("cannot write the desktop's stand-ins");
        return;
    }
    // The demo installations the docs start from, as ./zq run and pdm-seed(1) make them.
    if (makeDemo(QStringLiteral("demo")))
        makeDemo(m_root.filePath(QStringLiteral("home/zqpdm-demo")));
}

ExampleSite::~ExampleSite() = default;

bool ExampleSite::makeDemo(const QString& folder)
{
    for (const QStringList& command :
         {QStringList{QStringLiteral("build/bin/pdm-seed"), QStringLiteral("--home"), folder},
          QStringList{QStringLiteral("build/bin/zqpdm-index"), QStringLiteral("--home"), folder, QStringLiteral("--quiet")}}) {
        const ProgramRun made = RunProgram(workDir() + u'/' + command.first(), command.mid(1), environment(false), workDir());
        if (made.exitCode != 0) {
            m_error = command.join(u' ') + QStringLiteral(" failed: ") + QString::fromStdString(made.dump());
            return false;
        }
    }
    return true;
}

QString ExampleSite::seededHome(const QString& command) const
{
    const QStringList words = ShellWords(WithoutAssignments(command));
    if (words.isEmpty() || !words.first().endsWith(QStringLiteral("pdm-seed")) || words.contains(QStringLiteral("--replace")))
        return {};
    const qsizetype at = words.indexOf(QStringLiteral("--home"));
    if (at < 0 || at + 1 >= words.size())
        return {};
    QString home = words[at + 1];
    if (home.startsWith(QStringLiteral("~/")))
        return m_root.filePath(QStringLiteral("home/")) + home.mid(2);
    return QDir(workDir()).filePath(home);
}

void ExampleSite::clearForSeed(const QString& command)
{
    const QString home = seededHome(command);
    if (!home.isEmpty())
        QDir(home).removeRecursively();
}

bool ExampleSite::indexAfterSeed(const QString& command)
{
    const QString home = seededHome(command);
    if (home.isEmpty())
        return true;
    const ProgramRun indexed = RunProgram(m_tree.binary + QStringLiteral("/bin/zqpdm-index"),
                                          {QStringLiteral("--home"), home, QStringLiteral("--quiet")}, environment(false), workDir());
    return indexed.exitCode == 0;
}

QProcessEnvironment ExampleSite::environment(bool cron) const
{
    const QString ourPath = m_root.filePath(QStringLiteral("desktop")) + u':' + m_tree.binary + QStringLiteral("/bin");
    QProcessEnvironment environment;
    if (cron) {
        // What cron gives a job: a home, a login, a short PATH (where the programs are installed).
        environment.insert(QStringLiteral("PATH"), ourPath + QStringLiteral(":/usr/bin:/bin"));
        environment.insert(QStringLiteral("SHELL"), QStringLiteral("/bin/sh"));
        environment.insert(QStringLiteral("LOGNAME"), qEnvironmentVariable("LOGNAME", QStringLiteral("root")));
    } else {
        environment = QProcessEnvironment::systemEnvironment();
        for (const QString& name : environment.keys())
            if (name.startsWith(QStringLiteral("ZQPDM_")) || name.startsWith(QStringLiteral("XDG_")))
                environment.remove(name);
        environment.insert(QStringLiteral("PATH"), ourPath + u':' + qEnvironmentVariable("PATH"));
        environment.insert(QStringLiteral("TMPDIR"), m_root.filePath(QStringLiteral("tmp")));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_root.filePath(QStringLiteral("run")));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    }
    environment.insert(QStringLiteral("HOME"), m_root.filePath(QStringLiteral("home")));
    return environment;
}

QString ExampleSite::withTestDatabases(const QString& command, QString* unavailable)
{
    static const QRegularExpression postgresUrl(QStringLiteral("postgresql://[^\\s'\"]+"));
    QString result = command;
    for (auto it = postgresUrl.globalMatch(command); it.hasNext();) {
        const QString url = it.next().captured();
        if (!zq::test::PgTestDatabase::Available()) {
            *unavailable = QStringLiteral("no PostgreSQL server to stand in for ") + url + QStringLiteral(" (ZQ_TEST_PG is not set)");
            return {};
        }
        std::shared_ptr<zq::test::PgTestDatabase>& database = m_databases[url];
        if (!database)
            database = std::make_shared<zq::test::PgTestDatabase>();
        if (!database->ok()) {
            *unavailable = QStringLiteral("cannot make a test database for ") + url + QStringLiteral(": ") + database->error();
            return {};
        }
        result.replace(url, database->url());
    }
    return result;
}

ProgramRun ExampleSite::run(const QString& command, bool cron) const
{
    QProcess process;
    process.setProcessEnvironment(environment(cron));
    // cron starts a job in the user's home folder.
    process.setWorkingDirectory(cron ? m_root.filePath(QStringLiteral("home")) : workDir());
    process.setProcessChannelMode(QProcess::MergedChannels);
    if (cron)
        process.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), command});
    else
        process.start(QStringLiteral("/bin/bash"), {QStringLiteral("-o"), QStringLiteral("pipefail"), QStringLiteral("-c"), command});
    ProgramRun run;
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        run.err = QStringLiteral("did not finish within 120 s");
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    return run;
}

} // namespace zq::docs

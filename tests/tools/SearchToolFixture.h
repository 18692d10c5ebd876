#pragma once
// Runs the built zqpdm-search as a user would, on an installation seeded once per test suite,
// and keeps what it printed.
#include "Seeder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <unistd.h>

// Readable texts in failure messages.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace zq::test {

inline QStringList linesOf(const QByteArray& bytes)
{
    QStringList lines = QString::fromUtf8(bytes).split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

struct ToolRun {
    int exitCode = -1;
    QByteArray output; // standard output as written
    QStringList out;   // lines of standard output
    QStringList err;   // lines of standard error

    QStringList errStartingWith(const QString& prefix) const
    {
        QStringList found;
        for (const QString& line : err)
            if (line.startsWith(prefix))
                found.append(line);
        return found;
    }
    qsizetype errIndex(const QString& prefix) const
    {
        for (qsizetype i = 0; i < err.size(); ++i)
            if (err[i].startsWith(prefix))
                return i;
        return -1;
    }
    std::string dump() const { return ("exit " + QString::number(exitCode) + "\n" + err.join(u'\n')).toStdString(); }
};

class SearchTool : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_home = new QTemporaryDir;
        zq::seed::SeedOptions options;
        options.home = s_home->path();
        options.today = QDate(2026, 3, 1);
        zq::seed::Seeder seeder(options);
        ASSERT_TRUE(seeder.Run()) << seeder.LastError().toStdString();
        QDir().mkpath(tempFolder());
        // A desktop with a program for every file: xdg-open and an xdg-mime that names a viewer.
        writeScript(desktopBin() + QStringLiteral("/xdg-open"), "exit 0");
        writeScript(desktopBin() + QStringLiteral("/xdg-mime"), "echo zq-viewer.desktop");
        // The content index of its stored files, for the page 文档内容.
        if (QFile::exists(indexProgram())) {
            const ToolRun indexed = runIndexer({QStringLiteral("--quiet")});
            ASSERT_EQ(indexed.exitCode, 0) << indexed.dump();
        }
    }
    static void TearDownTestSuite()
    {
        delete s_home;
        s_home = nullptr;
    }

    void SetUp() override
    {
        if (!QFile::exists(program()))
            GTEST_SKIP() << "zqpdm-search is not built at " << program().toStdString();
    }

    // The program's temporary folder (TMPDIR), and the user's private folder in it, where fetched
    // files land.
    static QString tempFolder() { return s_home->path() + QStringLiteral("/tmp"); }
    static QString privateTempFolder() { return tempFolder() + QStringLiteral("/zqpdm-%1").arg(::geteuid()); }
    // Programs the runs find first on their PATH (the desktop's opener).
    static QString desktopBin() { return s_home->path() + QStringLiteral("/desktop-bin"); }

    static void writeScript(const QString& path, const char* body)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile script(path);
        ASSERT_TRUE(script.open(QIODevice::WriteOnly | QIODevice::Truncate));
        script.write(QByteArray("#!/bin/sh\n") + body + '\n');
        script.close();
        script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }

    static QString program()
    {
        return qEnvironmentVariable("ZQ_BINARY_DIR", QStringLiteral(".")) + QStringLiteral("/bin/zqpdm-search");
    }

    // Runs the program on the seeded installation (unless the arguments bring their own --home).
    // withHome false: no installation is named, as a newcomer forgets to.
    static ToolRun run(QStringList arguments, bool withPlatform = true, const QStringList& environmentEntries = {},
                       bool withHome = true)
    {
        if (withHome && !arguments.contains(QStringLiteral("--home")) && !arguments.contains(QStringLiteral("--help")))
            arguments << QStringLiteral("--home") << s_home->path();
        if (!arguments.contains(QStringLiteral("--today")) && !arguments.contains(QStringLiteral("--help")))
            arguments << QStringLiteral("--today") << QStringLiteral("2026-03-01");
        return execute(program(), arguments, withPlatform, environmentEntries);
    }

    // zqpdm-index, built beside zqpdm-search, on the seeded installation unless told otherwise.
    static QString indexProgram()
    {
        return qEnvironmentVariable("ZQ_BINARY_DIR", QStringLiteral(".")) + QStringLiteral("/bin/zqpdm-index");
    }
    static ToolRun runIndexer(QStringList arguments, const QStringList& environmentEntries = {}, bool withHome = true)
    {
        if (withHome && !arguments.contains(QStringLiteral("--home")) && !arguments.contains(QStringLiteral("--help")))
            arguments << QStringLiteral("--home") << s_home->path();
        return execute(indexProgram(), arguments, false, environmentEntries);
    }

    // A program run as the user would: none of the installation's variables from the test's own
    // environment, the user's private folder below the installation's tmp/, the desktop's opener.
    static ToolRun execute(const QString& path, const QStringList& arguments, bool withPlatform,
                           const QStringList& environmentEntries)
    {
        const std::unique_ptr<QProcess> process = start(path, arguments, withPlatform, environmentEntries);
        return finish(*process);
    }
    // The same, started and left running; finish() waits for it and keeps what it printed.
    static std::unique_ptr<QProcess> start(const QString& path, const QStringList& arguments, bool withPlatform,
                                           const QStringList& environmentEntries)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"ZQPDM_DB", "ZQPDM_HOME", "ZQPDM_SYSDIR", "ZQPDM_SQL_TRACE", "ZQPDM_USER", "ZQPDM_INDEX"})
            environment.remove(QString::fromLatin1(name));
        if (!withPlatform) {
            environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
            environment.remove(QStringLiteral("DISPLAY"));
            environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        }
        environment.insert(QStringLiteral("TMPDIR"), tempFolder());
        environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
        environment.insert(QStringLiteral("PATH"), desktopBin() + u':' + environment.value(QStringLiteral("PATH")));
        for (const QString& entry : environmentEntries)
            environment.insert(entry.section(u'=', 0, 0), entry.section(u'=', 1));
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(environment);
        process->start(path, arguments);
        return process;
    }
    static ToolRun finish(QProcess& process)
    {
        ToolRun result;
        if (!process.waitForFinished(120000)) {
            process.kill();
            process.waitForFinished();
            return result;
        }
        result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
        result.output = process.readAllStandardOutput();
        result.out = linesOf(result.output);
        result.err = linesOf(process.readAllStandardError());
        return result;
    }
    // zqpdm-search on the seeded installation, started and left running.
    static std::unique_ptr<QProcess> startSearch(QStringList arguments, const QStringList& environmentEntries = {})
    {
        arguments << QStringLiteral("--home") << s_home->path() << QStringLiteral("--today") << QStringLiteral("2026-03-01");
        return start(program(), arguments, true, environmentEntries);
    }
    static ToolRun run(const char* line, bool withPlatform = true)
    {
        return run(QString::fromUtf8(line).split(u' ', Qt::SkipEmptyParts), withPlatform);
    }

    static inline QTemporaryDir* s_home = nullptr;
};

} // namespace zq::test

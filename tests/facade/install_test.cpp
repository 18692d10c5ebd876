// The module installed as a host application gets it: cmake --install from this build into a
// temporary prefix (nothing is rebuilt), then a small host configured with find_package against
// that prefix, built, and run offscreen on a demo installation.
#include "SeededHome.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct ProcessRun {
    int exitCode = -1;
    QString out;
    QString err;
    std::string dump() const { return QStringLiteral("exit %1\n%2\n%3").arg(exitCode).arg(out, err).toStdString(); }
};

ProcessRun Execute(const QString& program, const QStringList& arguments, int timeoutMs = 300000)
{
    QProcess process;
    process.start(program, arguments);
    ProcessRun run;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        run.err = QStringLiteral("did not finish: ") + program;
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

TEST(InstalledModule, AHostBuiltAgainstTheInstallTreeShowsTheWindowAndReceivesALocate)
{
    zq::test::EnsureApp();
    const QString cmake = qEnvironmentVariable("ZQ_CMAKE", QStringLiteral("cmake"));
    const QString build = qEnvironmentVariable("ZQ_BINARY_DIR");
    const QString source = qEnvironmentVariable("ZQ_SOURCE_DIR");
    if (build.isEmpty() || source.isEmpty())
        GTEST_SKIP() << "ZQ_BINARY_DIR and ZQ_SOURCE_DIR are not set (run through ctest)";
    QTemporaryDir scratch;
    ASSERT_TRUE(scratch.isValid());
    const QString prefix = scratch.filePath(QStringLiteral("prefix"));

    const ProcessRun install = Execute(cmake, {QStringLiteral("--install"), build, QStringLiteral("--prefix"), prefix});
    ASSERT_EQ(install.exitCode, 0) << install.dump();
    for (const char* file : {"lib/libZQPDMSearch.so", "include/ZQPDMSearch/ZQPDMSearchFunction.h",
                             "include/ZQPDMSearch/DllCommandBase.h", "include/ZQPDMSearch/TreeCtrlEx.h",
                             "lib/cmake/ZQPDMSearch/ZQPDMSearchConfig.cmake", "bin/zqpdm-client", "bin/zqpdm-search",
                             "bin/pdm-seed"})
        EXPECT_TRUE(QFile::exists(prefix + u'/' + QString::fromLatin1(file))) << file;

    QStringList configure = {QStringLiteral("-S"), source + QStringLiteral("/tests/facade/installed-host"),
                             QStringLiteral("-B"), scratch.filePath(QStringLiteral("host")),
                             QStringLiteral("-DCMAKE_PREFIX_PATH=") + prefix,
                             QStringLiteral("-DCMAKE_BUILD_TYPE=Release")};
    if (const QString generator = qEnvironmentVariable("ZQ_CMAKE_GENERATOR"); !generator.isEmpty())
        configure << QStringLiteral("-G") << generator;
    if (const QString compiler = qEnvironmentVariable("ZQ_CXX_COMPILER"); !compiler.isEmpty())
        configure << QStringLiteral("-DCMAKE_CXX_COMPILER=") + compiler;
    if (const QString launcher = qEnvironmentVariable("ZQ_CXX_LAUNCHER"); !launcher.isEmpty())
        configure << QStringLiteral("-DCMAKE_CXX_COMPILER_LAUNCHER=") + launcher;
    // A sanitized module needs its runtimes in the host too, loaded first.
    if (const QString sanitize = qEnvironmentVariable("ZQ_SANITIZE_FLAGS"); !sanitize.isEmpty())
        configure << QStringLiteral("-DCMAKE_CXX_FLAGS=") + sanitize << QStringLiteral("-DCMAKE_EXE_LINKER_FLAGS=") + sanitize;
    const ProcessRun configured = Execute(cmake, configure);
    ASSERT_EQ(configured.exitCode, 0) << configured.dump();
    const ProcessRun built = Execute(cmake, {QStringLiteral("--build"), scratch.filePath(QStringLiteral("host"))});
    ASSERT_EQ(built.exitCode, 0) << built.dump();

    zq::test::SeededHome home;   // the host and the installed programs find it through the environment
    ASSERT_TRUE(home.ok()) << home.error().toStdString();
    const ProcessRun host = Execute(scratch.filePath(QStringLiteral("host/installed-host")), {}, 60000);
    EXPECT_EQ(host.exitCode, 0) << host.dump();
    EXPECT_TRUE(host.out.startsWith(QStringLiteral("Locate\t"))) << host.dump();

    // The installed programs find their libraries inside the prefix.
    const ProcessRun search = Execute(prefix + QStringLiteral("/bin/zqpdm-search"),
                               {QStringLiteral("--page"), QStringLiteral("更改单"), QStringLiteral("--today"),
                                home.today().toString(Qt::ISODate), QStringLiteral("--find")},
                               60000);
    EXPECT_EQ(search.exitCode, 0) << search.dump();
    EXPECT_TRUE(search.err.contains(QStringLiteral("STATUS\t操作提示:共查到"))) << search.dump();
}

} // namespace

// The module installed as a host application gets it: cmake --install from this build into a
// temporary prefix (nothing is rebuilt), then a small host configured with find_package against
// that prefix, built, and run offscreen on a demo installation.
#include "ProgramRun.h"
#include "SeededHome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using zq::test::ProgramRun;

ProgramRun Execute(const QString& program, const QStringList& arguments, int timeoutMs = 300000)
{
    return zq::test::RunProgram(program, arguments, QProcessEnvironment::systemEnvironment(), {}, timeoutMs);
}

TEST(InstalledModule, AHostBuiltAgainstTheInstallTreeShowsTheWindowAndReceivesALocate)
{
    zq::test::EnsureApp();
    const QString cmake = qEnvironmentVariable("ZQ_CMAKE", QStringLiteral("cmake"));
    const QString build = qEnvironmentVariable("ZQ_BINARY_DIR");
    const QString source = qEnvironmentVariable("ZQ_SOURCE_DIR");
    if (build.isEmpty() || source.isEmpty())
        GTEST_SKIP() << "ZQ_BINARY_DIR and ZQ_SOURCE_DIR are not set (run through ctest)";
    const zq::test::ScratchInstall installed;
    ASSERT_TRUE(installed.error().isEmpty()) << installed.error().toStdString();
    const QString prefix = installed.prefix();
    // The library folder is the multiarch one on Debian (lib/x86_64-linux-gnu).
    const QString libdir = qEnvironmentVariable("ZQ_INSTALL_LIBDIR", QStringLiteral("lib"));
    for (const QString& file : {libdir + QStringLiteral("/libZQPDMSearch.so"), QStringLiteral("include/ZQPDMSearch/ZQPDMSearchFunction.h"),
                                QStringLiteral("include/ZQPDMSearch/DllCommandBase.h"), QStringLiteral("include/ZQPDMSearch/TreeCtrlEx.h"),
                                libdir + QStringLiteral("/cmake/ZQPDMSearch/ZQPDMSearchConfig.cmake"),
                                QStringLiteral("bin/zqpdm-client"), QStringLiteral("bin/zqpdm-search"), QStringLiteral("bin/pdm-seed"),
                                QStringLiteral("bin/zqpdm-index"), QStringLiteral("share/zqpdm-tools/postgresql-trigram-indexes.sql"),
                                QStringLiteral("libexec/zqpdm/zqpdm-preview-worker")})
        EXPECT_TRUE(QFile::exists(prefix + u'/' + file)) << file.toStdString();
    // Each library is versioned: the development link and the SONAME link (.so.1) lead to the one
    // file named with the whole version (.so.1.x.y).
    for (const char* library : {"libZQPDMSearch", "libZQPDMServices", "libZQDBConnection", "libZQPDMFC"}) {
        const QString base = prefix + u'/' + libdir + u'/' + QString::fromLatin1(library);
        const QFileInfo file(QFileInfo(base + QStringLiteral(".so.1")).canonicalFilePath());
        EXPECT_TRUE(file.fileName().startsWith(QString::fromLatin1(library) + QStringLiteral(".so.1.")))
            << library << ".so.1 leads to \"" << file.filePath().toStdString() << '"';
        EXPECT_EQ(QFileInfo(base + QStringLiteral(".so")).canonicalFilePath(), file.filePath()) << library;
    }

    QStringList configure = {QStringLiteral("-S"), source + QStringLiteral("/tests/facade/installed-host"),
                             QStringLiteral("-B"), installed.scratch(QStringLiteral("host")),
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
    const ProgramRun configured = Execute(cmake, configure);
    ASSERT_EQ(configured.exitCode, 0) << configured.dump();
    const ProgramRun built = Execute(cmake, {QStringLiteral("--build"), installed.scratch(QStringLiteral("host"))});
    ASSERT_EQ(built.exitCode, 0) << built.dump();
    // The host is bound to the interface version it was built against, not to whatever
    // libZQPDMSearch.so is installed later.
    const ProgramRun dynamic = Execute(QStringLiteral("readelf"), {QStringLiteral("-d"), installed.scratch(QStringLiteral("host/installed-host"))});
    ASSERT_EQ(dynamic.exitCode, 0) << dynamic.dump();
    EXPECT_TRUE(dynamic.out.contains(QStringLiteral("Shared library: [libZQPDMSearch.so.1]"))) << dynamic.dump();

    zq::test::SeededHome home;   // the host and the installed programs find it through the environment
    ASSERT_TRUE(home.ok()) << home.error().toStdString();
    const ProgramRun host = Execute(installed.scratch(QStringLiteral("host/installed-host")), {}, 60000);
    EXPECT_EQ(host.exitCode, 0) << host.dump();
    EXPECT_TRUE(host.out.startsWith(QStringLiteral("Locate\t"))) << host.dump();

    // The installed programs find their libraries inside the prefix.
    const ProgramRun search = Execute(prefix + QStringLiteral("/bin/zqpdm-search"),
                               {QStringLiteral("--page"), QStringLiteral("更改单"), QStringLiteral("--today"),
                                home.today().toString(Qt::ISODate), QStringLiteral("--find")},
                               60000);
    EXPECT_EQ(search.exitCode, 0) << search.dump();
    EXPECT_TRUE(search.err.contains(QStringLiteral("STATUS\t操作提示:共查到"))) << search.dump();
}

} // namespace

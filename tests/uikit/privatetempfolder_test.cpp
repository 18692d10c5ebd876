// The user's private temporary folder: made 0700 where the session keeps its own files, and a
// folder that is there already used only when nobody else may enter it.
#include "PrivateTempFolder.h"
#include "ScriptedDesktop.h"
#include "SeededHome.h"
#include "ZQPDMFC.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace zq;

namespace {

mode_t ModeOf(const QString& path)
{
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return 0;
    return info.st_mode & 07777;
}

QString Stem()
{
    return QStringLiteral("zqpdm-%1").arg(::geteuid());
}

// What is found at the first choice's place before the folder is chosen.
enum class Planted { Nothing, PrivateFolder, OpenFolder, GroupFolder, Link, File, OtherOwner };

struct Case {
    const char* name;
    Planted planted;
    bool refused;
};

class PrivateTempFolderTest : public testing::TestWithParam<Case> {};

TEST_P(PrivateTempFolderTest, IsTheUsersOwnOrANewOne)
{
    const Case& c = GetParam();
    if (c.planted == Planted::OtherOwner && ::geteuid() != 0)
        GTEST_SKIP() << "giving a folder to another user needs root";
    QTemporaryDir root;
    QTemporaryDir elsewhere;
    const QString first = root.path() + u'/' + Stem();
    switch (c.planted) {
    case Planted::Nothing:
        break;
    case Planted::PrivateFolder:
    case Planted::OpenFolder:
    case Planted::GroupFolder:
    case Planted::OtherOwner:
        ASSERT_TRUE(QDir().mkdir(first));
        ::chmod(QFile::encodeName(first).constData(), c.planted == Planted::OpenFolder    ? 0777
                                                      : c.planted == Planted::GroupFolder ? 0750
                                                                                           : 0700);
        if (c.planted == Planted::OtherOwner) {
            ASSERT_EQ(::chown(QFile::encodeName(first).constData(), 65534, 65534), 0);
        }
        break;
    case Planted::Link:
        ASSERT_TRUE(QFile::link(elsewhere.path(), first));
        break;
    case Planted::File: {
        QFile file(first);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        break;
    }
    }

    const PrivateFolderChoice choice = ChoosePrivateTempFolder(QString(), root.path());
    ASSERT_TRUE(choice.path.endsWith(u'/'));
    const QString chosen = choice.path.chopped(1);
    EXPECT_EQ(!choice.refused.isEmpty(), c.refused) << choice.refused.toStdString();
    if (c.refused) {
        EXPECT_NE(chosen, first);
        EXPECT_TRUE(choice.refused.startsWith(first)) << choice.refused.toStdString();
        EXPECT_TRUE(chosen.startsWith(root.path() + u'/' + Stem() + u'-')) << chosen.toStdString();
    } else {
        EXPECT_EQ(chosen, first);
    }
    EXPECT_EQ(PrivateFolderProblem(chosen), QString());
    EXPECT_EQ(ModeOf(chosen), mode_t(0700));
    EXPECT_TRUE(QDir(elsewhere.path()).isEmpty()) << "nothing is made through a planted link";
}

INSTANTIATE_TEST_SUITE_P(Planted, PrivateTempFolderTest, testing::Values(
    Case{"nothing: made 0700", Planted::Nothing, false},
    Case{"the user's own 0700 folder: used", Planted::PrivateFolder, false},
    Case{"a world-writable folder: refused", Planted::OpenFolder, true},
    Case{"a folder the group may enter: refused", Planted::GroupFolder, true},
    Case{"a link to another folder: refused, not followed", Planted::Link, true},
    Case{"a file: refused", Planted::File, true},
    Case{"another user's folder: refused", Planted::OtherOwner, true}),
    [](const testing::TestParamInfo<Case>& info) { return std::to_string(info.index); });

TEST(PrivateTempFolder, TheRuntimeFolderComesFirst)
{
    QTemporaryDir runtime;
    QTemporaryDir root;
    const PrivateFolderChoice choice = ChoosePrivateTempFolder(runtime.path(), root.path());
    EXPECT_EQ(choice.path, runtime.path() + QStringLiteral("/zqpdm/"));
    EXPECT_TRUE(choice.refused.isEmpty());
    EXPECT_EQ(ModeOf(runtime.path() + QStringLiteral("/zqpdm")), mode_t(0700));
    EXPECT_TRUE(QDir(root.path()).isEmpty());
}

TEST(PrivateTempFolder, WithoutAnyFolderOfItsOwnNothingCanBeWritten)
{
    const PrivateFolderChoice choice = ChoosePrivateTempFolder(QString(), QStringLiteral("/nonexistent-zq-root"));
    EXPECT_FALSE(choice.refused.isEmpty());
    EXPECT_TRUE(choice.path.startsWith(QStringLiteral("/dev/null/")));
    EXPECT_FALSE(QDir().mkpath(choice.path));
}

TEST(PrivateTempFolder, ARefusedFolderIsToldOnce)
{
    QTemporaryDir root;
    const QString first = root.path() + u'/' + Stem();
    ASSERT_TRUE(QDir().mkdir(first));
    ::chmod(QFile::encodeName(first).constData(), 0777);
    const zq::test::ScopedEnv tmp("TMPDIR", root.path());
    const zq::test::ScopedEnv runtime("XDG_RUNTIME_DIR", std::nullopt);
    ScriptedDesktop desktop;
    const ScopedDesktop scope(desktop);
    const QString chosen = TempFolder();
    EXPECT_EQ(TempFolder(), chosen);
    EXPECT_NE(chosen, first + u'/');
    ASSERT_EQ(desktop.messages().size(), 1);
    EXPECT_TRUE(desktop.messages().first().contains(first));
    EXPECT_TRUE(desktop.messages().first().contains(chosen));
}

} // namespace

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

// What happened to the folder between two uses in one long session.
enum class Since { Nothing, Removed, OpenedToOthers, ReplacedByLink, ReplacedByOthersFolder };

struct Change {
    const char* name;
    Since since;
    bool sameFolder;
    const char* told;   // part of the message; "" for none
};

class CheckedAtEveryUse : public testing::TestWithParam<Change> {};

TEST_P(CheckedAtEveryUse, AFolderNoLongerTheUsersAloneIsNotUsedAgain)
{
    const Change& c = GetParam();
    if (c.since == Since::ReplacedByOthersFolder && ::geteuid() != 0)
        GTEST_SKIP() << "giving a folder to another user needs root";
    QTemporaryDir root;
    QTemporaryDir elsewhere;
    const zq::test::ScopedEnv tmp("TMPDIR", root.path());
    const zq::test::ScopedEnv runtime("XDG_RUNTIME_DIR", std::nullopt);
    ScriptedDesktop desktop;
    const ScopedDesktop scope(desktop);
    const QString first = TempFolder();
    const QString folder = first.chopped(1);
    ASSERT_EQ(folder, root.path() + u'/' + Stem());
    ASSERT_TRUE(desktop.messages().isEmpty());

    switch (c.since) {
    case Since::Nothing:
        break;
    case Since::Removed:
        ASSERT_TRUE(QDir(folder).removeRecursively());
        break;
    case Since::OpenedToOthers:
        ::chmod(QFile::encodeName(folder).constData(), 0755);
        break;
    case Since::ReplacedByLink:
        ASSERT_TRUE(QDir(folder).removeRecursively());
        ASSERT_TRUE(QFile::link(elsewhere.path(), folder));
        break;
    case Since::ReplacedByOthersFolder:
        ASSERT_TRUE(QDir(folder).removeRecursively());
        ASSERT_TRUE(QDir().mkdir(folder));
        ::chmod(QFile::encodeName(folder).constData(), 0700);
        ASSERT_EQ(::chown(QFile::encodeName(folder).constData(), 65534, 65534), 0);
        break;
    }

    const QString next = TempFolder();
    EXPECT_EQ(next == first, c.sameFolder) << next.toStdString();
    EXPECT_EQ(PrivateFolderProblem(next.chopped(1)), QString());
    EXPECT_EQ(ModeOf(next.chopped(1)), mode_t(0700));
    if (*c.told) {
        ASSERT_EQ(desktop.messages().size(), 1);
        EXPECT_TRUE(desktop.messages().first().contains(folder)) << desktop.messages().first().toStdString();
        EXPECT_TRUE(desktop.messages().first().contains(QString::fromUtf8(c.told))) << desktop.messages().first().toStdString();
        EXPECT_TRUE(desktop.messages().first().contains(next)) << desktop.messages().first().toStdString();
    } else {
        EXPECT_TRUE(desktop.messages().isEmpty()) << desktop.messages().join(u'\n').toStdString();
    }
    // The next use keeps the new folder and says nothing more.
    EXPECT_EQ(TempFolder(), next);
    EXPECT_EQ(desktop.messages().size(), *c.told ? 1 : 0);
    EXPECT_TRUE(QDir(elsewhere.path()).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Since, CheckedAtEveryUse, testing::Values(
    Change{"unchanged: used again", Since::Nothing, true, ""},
    Change{"removed by a cleaner: made again in its place", Since::Removed, true, ""},
    Change{"opened to others: a new one", Since::OpenedToOthers, false, "其他用户也可以进入"},
    Change{"a link planted in its place: a new one", Since::ReplacedByLink, false, "是一个链接"},
    Change{"another user's folder in its place: a new one", Since::ReplacedByOthersFolder, false, "属于其他用户"}),
    [](const testing::TestParamInfo<Change>& info) { return std::to_string(info.index); });

} // namespace

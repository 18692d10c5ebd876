// Where saved searches are kept: the user's file and the shared folder, written whole and read
// defensively, the user's own before a shared one of the same name, and the recent ones per tab.
#include "SavedSearchStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

using zq::SavedSearch;
using zq::SavedSearchStore;

namespace {

SavedSearch Search(const QString& name, const QString& tab, bool shared = false, const QString& value = QStringLiteral("x"))
{
    SavedSearch search;
    search.name = name;
    search.tab = tab;
    search.shared = shared;
    search.savedAt = QDateTime(QDate(2026, 12, 9), QTime(10, 0));
    search.conditions = QJsonObject{{QStringLiteral("controls"),
                                     QJsonArray{QJsonObject{{QStringLiteral("id"), 1001},
                                                            {QStringLiteral("kind"), QStringLiteral("edit")},
                                                            {QStringLiteral("text"), value}}}}};
    return search;
}

QStringList Names(const QList<SavedSearch>& searches)
{
    QStringList names;
    for (const SavedSearch& s : searches)
        names << s.name + (s.shared ? QStringLiteral(" (shared)") : QString());
    return names;
}

bool Write(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

class StoreTest : public testing::Test {
protected:
    void SetUp() override { store.takeProblems(); }
    QString UserFile() const { return m_dir.filePath(QStringLiteral("config/zqpdm/searches.json")); }
    QString Shared() const { return m_dir.filePath(QStringLiteral("home/Support/Searches")); }

    QTemporaryDir m_dir;
    SavedSearchStore store{UserFile(), Shared()};
};

TEST_F(StoreTest, OwnComeBeforeSharedAndWinOnTheSameName)
{
    QString error;
    for (const SavedSearch& s : {Search(QStringLiteral("本季度"), QStringLiteral("更改单"), true),
                                 Search(QStringLiteral("本季度"), QStringLiteral("更改单"), false, QStringLiteral("own")),
                                 Search(QStringLiteral("铸件"), QStringLiteral("设计零部件")),
                                 Search(QStringLiteral("部门"), QStringLiteral("更改单"), true)})
        ASSERT_TRUE(store.save(s, &error)) << error.toStdString();
    EXPECT_EQ(Names(store.searches(QStringLiteral("更改单"))),
              (QStringList{"本季度", "本季度 (shared)", "部门 (shared)"}));
    EXPECT_EQ(store.find(QStringLiteral("本季度"), QStringLiteral("更改单"))->conditions,
              Search(QString(), QString(), false, QStringLiteral("own")).conditions);
    EXPECT_FALSE(store.find(QStringLiteral("铸件"), QStringLiteral("更改单")).has_value());
    EXPECT_EQ(store.searches().size(), 4);

    // Shared files are one a search, readable by everyone; the user's file is the user's alone.
    EXPECT_EQ(QDir(Shared()).entryList({QStringLiteral("*.json")}, QDir::Files).size(), 2);
    EXPECT_EQ(QFileInfo(UserFile()).permissions() & (QFileDevice::ReadOther | QFileDevice::ReadGroup),
              QFileDevice::Permissions());
    for (const QFileInfo& file : QDir(Shared()).entryInfoList({QStringLiteral("*.json")}, QDir::Files))
        EXPECT_TRUE(file.permissions().testFlag(QFileDevice::ReadOther)) << file.fileName().toStdString();

    // Renaming, moving between own and shared, deleting.
    ASSERT_TRUE(store.rename(*store.find(QStringLiteral("铸件")), QStringLiteral("HT200 铸件"), &error));
    ASSERT_TRUE(store.setShared(*store.find(QStringLiteral("HT200 铸件")), true, &error));
    EXPECT_EQ(Names(store.searches(QStringLiteral("设计零部件"))), QStringList{"HT200 铸件 (shared)"});
    ASSERT_TRUE(store.remove(*store.find(QStringLiteral("HT200 铸件")), &error));
    EXPECT_TRUE(store.searches(QStringLiteral("设计零部件")).isEmpty());
    EXPECT_TRUE(store.takeProblems().isEmpty());
}

TEST_F(StoreTest, DamagedOrForeignFilesAreSetAsideAndToldOnce)
{
    const struct {
        const char* name;
        QByteArray bytes;
    } damaged[] = {
        {"garbage", QByteArray("\x00\xff{not json", 12)},
        {"foreign", "{\"hello\": 1}"},
        {"array", "[1, 2, 3]"},
    };
    for (const auto& c : damaged) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString user = dir.filePath(QStringLiteral("searches.json"));
        const QString shared = dir.filePath(QStringLiteral("Searches"));
        ASSERT_TRUE(Write(user, c.bytes));
        ASSERT_TRUE(Write(shared + QStringLiteral("/broken.json"), c.bytes));
        SavedSearchStore damagedStore(user, shared);
        EXPECT_TRUE(damagedStore.searches().isEmpty());
        const QStringList problems = damagedStore.takeProblems();
        EXPECT_EQ(problems.size(), 2) << problems.join(u'\n').toStdString();
        // Never lost: both kept beside, as .bad.
        QFile keptUser(user + QStringLiteral(".bad"));
        ASSERT_TRUE(keptUser.open(QIODevice::ReadOnly));
        EXPECT_EQ(keptUser.readAll(), c.bytes);
        EXPECT_TRUE(QFileInfo::exists(shared + QStringLiteral("/broken.json.bad")));
        // Told once; the store goes on with a fresh file.
        damagedStore.searches();
        EXPECT_TRUE(damagedStore.takeProblems().isEmpty());
        QString error;
        EXPECT_TRUE(damagedStore.save(Search(QStringLiteral("新的"), QStringLiteral("更改单")), &error)) << error.toStdString();
        EXPECT_EQ(Names(damagedStore.searches()), QStringList{"新的"});
    }
}

TEST_F(StoreTest, AFileOfANewerVersionIsReadButNeverOverwritten)
{
    const QByteArray newer = R"({"version": 9, "searches": [], "recent": [], "future": true})";
    ASSERT_TRUE(Write(UserFile(), newer));
    EXPECT_TRUE(store.searches().isEmpty());
    EXPECT_EQ(store.takeProblems().size(), 1);
    QString error;
    EXPECT_FALSE(store.save(Search(QStringLiteral("a"), QStringLiteral("更改单")), &error));
    EXPECT_FALSE(error.isEmpty());
    QFile file(UserFile());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), newer);
}

TEST_F(StoreTest, RecentSearchesKeepTenPerTabNewestFirstWithoutRepeats)
{
    QString error;
    for (int i = 0; i < 12; ++i)
        ASSERT_TRUE(store.remember(Search(QString::number(i), QStringLiteral("更改单"), false, QString::number(i)), &error));
    ASSERT_TRUE(store.remember(Search(QStringLiteral("other"), QStringLiteral("设计任务")), &error));
    // The same conditions again move to the top instead of appearing twice.
    ASSERT_TRUE(store.remember(Search(QStringLiteral("again"), QStringLiteral("更改单"), false, QStringLiteral("5")), &error));
    const QStringList names = Names(store.recent(QStringLiteral("更改单")));
    EXPECT_EQ(names, (QStringList{"again", "11", "10", "9", "8", "7", "6", "4", "3", "2"}));
    EXPECT_EQ(Names(store.recent(QStringLiteral("设计任务"))), QStringList{"other"});
    EXPECT_TRUE(store.searches().isEmpty()) << "recent searches are not saved ones";
}

TEST_F(StoreTest, SharingNeedsAFolderTheUserMayWrite)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root may write any folder";
    ASSERT_TRUE(QDir().mkpath(Shared()));
    QFile::setPermissions(Shared(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    EXPECT_FALSE(store.canShare());
    QString error;
    EXPECT_FALSE(store.save(Search(QStringLiteral("a"), QStringLiteral("更改单"), true), &error));
    QFile::setPermissions(Shared(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_TRUE(store.canShare());
}

} // namespace

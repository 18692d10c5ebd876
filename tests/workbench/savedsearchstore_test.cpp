// Where saved searches are kept: the user's file and the shared folder, written whole and read
// defensively, the user's own before a shared one of the same name, and the recent ones per tab.
#include "SavedSearchStore.h"
#include "ScriptedDesktop.h"
#include "SeededHome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
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
    ASSERT_TRUE(store.rename(*store.find(QStringLiteral("铸件")), QStringLiteral("HT200 铸件")));
    ASSERT_TRUE(store.setShared(*store.find(QStringLiteral("HT200 铸件")), true));
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

// Names and paths holding percent signs reach file names and messages as they are.
TEST(SavedSearchStorePercent, NamesAndPathsKeepTheirPercentSigns)
{
    QTemporaryDir dir;
    for (const QString& stem : {QStringLiteral("50%1"), QStringLiteral("%2"), QStringLiteral("%%"), QStringLiteral("50%")}) {
        const QString userFile = dir.filePath(stem + QStringLiteral("/config/searches.json"));
        SavedSearchStore store{userFile, dir.filePath(stem + QStringLiteral("/shared"))};
        // Three names that make the same file name are numbered after it.
        QString error;
        for (const QString& name : {stem + QStringLiteral("/x"), stem + QStringLiteral(":x"), stem + QStringLiteral("?x")})
            ASSERT_TRUE(store.save(Search(name, QStringLiteral("更改单"), true), &error)) << error.toStdString();
        const QString file = QStringLiteral("更改单-") + stem + QStringLiteral("_x");
        EXPECT_EQ(QDir(dir.filePath(stem + QStringLiteral("/shared"))).entryList({QStringLiteral("*.json")}, QDir::Files),
                  (QStringList{file + QStringLiteral("-2.json"), file + QStringLiteral("-3.json"), file + QStringLiteral(".json")}));
        EXPECT_EQ(store.searches(QStringLiteral("更改单")).size(), 3);

        store.takeProblems();
        ASSERT_TRUE(Write(userFile, R"({"version": 9, "searches": [], "recent": []})"));
        store.searches();
        const QStringList problems = store.takeProblems();
        ASSERT_EQ(problems.size(), 1) << stem.toStdString();
        EXPECT_TRUE(problems[0].startsWith(userFile + QStringLiteral(" 由较新的版本保存 (版本 9)"))) << problems[0].toStdString();
    }
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

QByteArray Bytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A file the next version might write: besides this version's searches, entries of a newer
// version, entries with a field this version does not know, a damaged one, and a member of its own.
const QByteArray kNewerEntry = R"({"version": 2, "name": "季度",   "tab": "更改单", "conditions": {"controls": []}, "big": 12345678901234567890})";
const QByteArray kUnknownField = R"({ "version":1,"name":"带颜色","tab":"更改单","colour":"红","conditions":{"controls":[]} })";
const QByteArray kDamaged = R"("just text \" with ] and }")";
const QByteArray kNewerRecent = R"({"version": 3, "tab": "更改单", "layout": [1, 2.50, {"a": "]"}]})";
const QByteArray kOwnMember = R"({"sync": "2027-01-01",  "peers": [1,2]})";

QByteArray MixedFile(const SavedSearch& usable)
{
    const QByteArray usableJson = QJsonDocument(usable.toJson()).toJson(QJsonDocument::Compact);
    return "{\"version\": 1,\n \"searches\": [" + kNewerEntry + ",\n" + usableJson + ", " + kUnknownField + "," + kDamaged
           + "],\n \"recent\": [" + kNewerRecent + "],\n \"future\": " + kOwnMember + "}";
}

TEST_F(StoreTest, WhatANewerVersionWroteIsKeptByteForByteThroughEveryWrite)
{
    const SavedSearch mine = Search(QStringLiteral("我的"), QStringLiteral("更改单"));
    ASSERT_TRUE(Write(UserFile(), MixedFile(mine)));

    // Only this version's search is offered; the others are told once, each naming itself.
    EXPECT_EQ(Names(store.searches()), QStringList{"我的"});
    const QStringList told = store.takeProblems();
    EXPECT_EQ(told.size(), 4) << told.join(u'\n').toStdString();
    for (const char* expected : {"“季度”由较新的版本保存 (版本 2), 保持原样", "“带颜色”由较新的版本保存 (有本版本不认识的字段 colour), 保持原样",
                                 "第 4 项不能读取", "第 1 项由较新的版本保存 (版本 3)"})
        EXPECT_TRUE(told.join(u'\n').contains(QString::fromUtf8(expected))) << expected << "\n" << told.join(u'\n').toStdString();

    QString error;
    const struct {
        const char* name;
        std::function<bool()> change;
    } writes[] = {
        {"save", [&] { return store.save(Search(QStringLiteral("新"), QStringLiteral("更改单")), &error); }},
        {"remember", [&] { return store.remember(Search(QStringLiteral("跑过"), QStringLiteral("更改单")), &error); }},
        {"rename", [&] { return bool(store.rename(mine, QStringLiteral("改名"))); }},
        {"remove", [&] { return store.remove(Search(QStringLiteral("新"), QStringLiteral("更改单")), &error); }},
    };
    for (const auto& write : writes) {
        SCOPED_TRACE(write.name);
        ASSERT_TRUE(write.change()) << error.toStdString();
        const QByteArray bytes = Bytes(UserFile());
        for (const QByteArray& kept : {kNewerEntry, kUnknownField, kDamaged, kNewerRecent, kOwnMember})
            EXPECT_TRUE(bytes.contains(kept)) << kept.toStdString() << "\nin\n" << bytes.toStdString();
        EXPECT_TRUE(QJsonDocument::fromJson(bytes).isObject()) << bytes.toStdString();
        EXPECT_TRUE(store.takeProblems().isEmpty()) << "told once a process";
    }
    // The newer entry stays where it was, before this version's.
    const QJsonArray searches = QJsonDocument::fromJson(Bytes(UserFile())).object().value(QStringLiteral("searches")).toArray();
    ASSERT_EQ(searches.size(), 4);
    EXPECT_EQ(searches[0].toObject().value(QStringLiteral("version")).toInt(), 2);
    EXPECT_EQ(searches[1].toObject().value(QStringLiteral("name")).toString(), QStringLiteral("改名"));
    EXPECT_EQ(Names(store.recent(QStringLiteral("更改单"))), QStringList{"跑过"});
}

TEST_F(StoreTest, ATakenNameIsReplacedOnlyWhenTheCallerSaysSo)
{
    using IfTaken = SavedSearchStore::IfTaken;
    const QString tab = QStringLiteral("更改单");
    const struct {
        const char* name;
        std::function<SavedSearchStore::Outcome(SavedSearchStore&, IfTaken)> change;
        const char* takenBy;                 // the search in the way
        QStringList afterRefused, afterReplaced;
    } cases[] = {
        {"save own over own", [&](SavedSearchStore& s, IfTaken t) { return s.save(Search("A", tab, false, "new"), t); },
         "A", {"A", "B", "A (shared)", "C (shared)"}, {"A", "B", "A (shared)", "C (shared)"}},
        {"save shared over shared", [&](SavedSearchStore& s, IfTaken t) { return s.save(Search("C", tab, true, "new"), t); },
         "C (shared)", {"A", "B", "A (shared)", "C (shared)"}, {"A", "B", "A (shared)", "C (shared)"}},
        {"rename own onto own", [&](SavedSearchStore& s, IfTaken t) { return s.rename(*s.find("B", tab), "A", t); },
         "A", {"A", "B", "A (shared)", "C (shared)"}, {"A", "A (shared)", "C (shared)"}},
        {"rename shared onto shared", [&](SavedSearchStore& s, IfTaken t) { return s.rename(*s.findShared("C", tab), "A", t); },
         "A (shared)", {"A", "B", "A (shared)", "C (shared)"}, {"A", "B", "A (shared)"}},
        {"share onto shared", [&](SavedSearchStore& s, IfTaken t) { return s.setShared(*s.find("A", tab), true, t); },
         "A (shared)", {"A", "B", "A (shared)", "C (shared)"}, {"B", "A (shared)", "C (shared)"}},
        {"unshare onto own", [&](SavedSearchStore& s, IfTaken t) { return s.setShared(*s.findShared("A", tab), false, t); },
         "A", {"A", "B", "A (shared)", "C (shared)"}, {"A", "B", "C (shared)"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        SavedSearchStore fresh(dir.filePath(QStringLiteral("searches.json")), dir.filePath(QStringLiteral("Searches")));
        QString error;
        for (const SavedSearch& s : {Search("A", tab), Search("B", tab, false, "B的"), Search("A", tab, true, "shared-A"),
                                     Search("C", tab, true, "C的")})
            ASSERT_TRUE(fresh.save(s, &error)) << error.toStdString();

        const SavedSearchStore::Outcome refused = c.change(fresh, IfTaken::Refuse);
        ASSERT_TRUE(refused.taken()) << refused.error.toStdString();
        EXPECT_EQ(Names({*refused.existing}), QStringList{QString::fromUtf8(c.takenBy)});
        EXPECT_EQ(Names(fresh.searches(tab)), c.afterRefused);

        EXPECT_TRUE(c.change(fresh, IfTaken::Replace));
        EXPECT_EQ(Names(fresh.searches(tab)), c.afterReplaced);
    }
}

TEST_F(StoreTest, ASharedSearchRecordsWhoSavedItAndWhen)
{
    const zq::test::ScopedEnv user("ZQPDM_USER", QStringLiteral("lina"));
    zq::ScriptedDesktop desktop;
    desktop.fixedNow = QDateTime(QDate(2026, 12, 9), QTime(15, 30));
    const zq::ScopedDesktop scope(desktop);
    QString error;
    ASSERT_TRUE(store.save(Search(QStringLiteral("本部门"), QStringLiteral("更改单")), &error));
    ASSERT_TRUE(store.setShared(*store.find(QStringLiteral("本部门")), true));
    const auto shared = store.findShared(QStringLiteral("本部门"));
    ASSERT_TRUE(shared.has_value());
    EXPECT_EQ(shared->savedBy, QStringLiteral("lina"));
    EXPECT_EQ(shared->savedAt, desktop.fixedNow);
    // Back to the user's own: no longer anyone's but the user's.
    ASSERT_TRUE(store.setShared(*shared, false));
    EXPECT_TRUE(store.find(QStringLiteral("本部门"))->savedBy.isEmpty());
}

TEST_F(StoreTest, ASharedSearchOfANewerVersionIsNeverReplaced)
{
    const QString path = Shared() + QStringLiteral("/future.json");
    const QByteArray newer = R"({"version": 2, "name": "甲", "tab": "更改单", "query": "..."})";
    ASSERT_TRUE(Write(path, newer));
    EXPECT_TRUE(store.searches().isEmpty());
    EXPECT_EQ(store.takeProblems().size(), 1);
    const SavedSearchStore::Outcome outcome = store.save(Search(QStringLiteral("甲"), QStringLiteral("更改单"), true),
                                                         SavedSearchStore::IfTaken::Replace);
    EXPECT_FALSE(outcome);
    EXPECT_TRUE(outcome.error.contains(QStringLiteral("由较新的版本保存"))) << outcome.error.toStdString();
    EXPECT_EQ(Bytes(path), newer);
}

} // namespace

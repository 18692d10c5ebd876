// The previews kept for the user: only the user may read them, the ones used longest ago go
// first when the cache is full, a folder that is not the user's alone is not used, and a key
// changes with everything that makes the file and its picture.
#include "PreviewCache.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace zq::preview;

namespace {

mode_t ModeOf(const QString& path)
{
    struct stat info {};
    ::lstat(QFile::encodeName(path).constData(), &info);
    return info.st_mode & 0777;
}

} // namespace

TEST(PreviewCache, KeptForTheUserAlone)
{
    QTemporaryDir root;
    const QString folder = root.filePath(QStringLiteral("zqpdm/previews"));
    const PreviewCache cache(folder);
    ASSERT_TRUE(cache.problem().isEmpty()) << cache.problem().toStdString();
    ASSERT_TRUE(cache.put(QStringLiteral("k"), "picture"));
    EXPECT_EQ(ModeOf(folder), 0700u);
    EXPECT_EQ(ModeOf(folder + QStringLiteral("/k.zqpv")), 0600u);
    EXPECT_EQ(cache.get(QStringLiteral("k")).value_or(QByteArray()), QByteArray("picture"));
    EXPECT_FALSE(cache.get(QStringLiteral("other")).has_value());
}

TEST(PreviewCache, AFolderThatIsNotTheUsersAloneIsNotUsed)
{
    QTemporaryDir root;
    const QString elsewhere = root.filePath(QStringLiteral("elsewhere"));
    ASSERT_TRUE(QDir().mkpath(elsewhere));
    const QString link = root.filePath(QStringLiteral("previews"));
    ASSERT_TRUE(QFile::link(elsewhere, link));
    const PreviewCache cache(link);
    EXPECT_FALSE(cache.problem().isEmpty());
    EXPECT_FALSE(cache.put(QStringLiteral("k"), "picture"));
    EXPECT_TRUE(QDir(elsewhere).isEmpty());
}

TEST(PreviewCache, TheOnesUsedLongestAgoGoFirst)
{
    QTemporaryDir root;
    const PreviewCache cache(root.filePath(QStringLiteral("p")), 250);
    const QByteArray hundred(100, 'x');
    ASSERT_TRUE(cache.put(QStringLiteral("a"), hundred));
    ASSERT_TRUE(cache.put(QStringLiteral("b"), hundred));
    // Modification times are the use: a set apart from b, then a used again.
    const QString a = cache.folder() + QStringLiteral("/a.zqpv");
    const QString b = cache.folder() + QStringLiteral("/b.zqpv");
    QFile(a).open(QIODevice::ReadOnly);
    QFile fileB(b);
    ASSERT_TRUE(fileB.open(QIODevice::ReadWrite));
    fileB.setFileTime(QDateTime::currentDateTimeUtc().addSecs(-60), QFileDevice::FileModificationTime);
    fileB.close();
    ASSERT_TRUE(cache.get(QStringLiteral("a")));
    ASSERT_TRUE(cache.put(QStringLiteral("c"), hundred));   // 300 bytes: one must go
    EXPECT_TRUE(QFileInfo::exists(a));
    EXPECT_FALSE(QFileInfo::exists(b));
    EXPECT_TRUE(cache.get(QStringLiteral("c")));
}

TEST(PreviewCache, TheKeyChangesWithWhatMakesThePicture)
{
    const QStringList database{QStringLiteral("/opt/zqpdm"), QStringLiteral("sqlite:/opt/zqpdm/pdm.db")};
    const QStringList identity{QStringLiteral("设计文档"), QStringLiteral("ZQ8600"), QStringLiteral("ZQ8600-01"), QStringLiteral("A"),
                               QStringLiteral("a.pdf"), QStringLiteral("19"), QStringLiteral("2026-12-01")};
    const QString key = PreviewCache::KeyOf(database, identity, {100, 100}, 0);
    EXPECT_EQ(key, PreviewCache::KeyOf(database, identity, {100, 100}, 0));
    QStringList otherDatabase = database;
    otherDatabase[1] = QStringLiteral("postgresql://u@h/db");
    EXPECT_NE(key, PreviewCache::KeyOf(otherDatabase, identity, {100, 100}, 0));
    for (qsizetype part = 0; part < identity.size(); ++part) {
        QStringList changed = identity;
        changed[part] += u'x';
        EXPECT_NE(key, PreviewCache::KeyOf(database, changed, {100, 100}, 0)) << part;
    }
    EXPECT_NE(key, PreviewCache::KeyOf(database, identity, {200, 100}, 0));
    EXPECT_NE(key, PreviewCache::KeyOf(database, identity, {100, 100}, 1));
    // Parts are kept apart: "ab" + "c" is not "a" + "bc".
    EXPECT_NE(PreviewCache::KeyOf({QStringLiteral("ab")}, {QStringLiteral("c")}, {1, 1}, 0),
              PreviewCache::KeyOf({QStringLiteral("a")}, {QStringLiteral("bc")}, {1, 1}, 0));
}

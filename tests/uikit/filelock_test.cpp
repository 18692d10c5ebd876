// The advisory lock that writers of shared files take: it excludes other holders (flock locks
// belong to an open file, so two holders in one process exclude each other as two processes do),
// it is released with its object, and a planted link is never followed.
#include "FileLock.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using zq::FileLock;

namespace {

struct Contention {
    const char* name;
    FileLock::Mode first;
    FileLock::Mode second;
    bool secondBusy;
};

class FileLockTest : public ::testing::TestWithParam<Contention> {};

TEST_P(FileLockTest, SecondHolderWaitsOnlyWhenTheModesConflict)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("searches.json.lock"));
    QString error;
    auto first = FileLock::Acquire(path, &error, GetParam().first);
    ASSERT_TRUE(first) << error.toStdString();

    bool busy = false;
    auto second = FileLock::TryAcquire(path, &busy, &error, GetParam().second);
    EXPECT_EQ(second.has_value(), !GetParam().secondBusy);
    EXPECT_EQ(busy, GetParam().secondBusy);

    second.reset();
    first.reset();
    auto afterRelease = FileLock::TryAcquire(path, &busy, &error, FileLock::Mode::Exclusive);
    EXPECT_TRUE(afterRelease) << "the lock is released with its object";
}

INSTANTIATE_TEST_SUITE_P(Modes, FileLockTest,
                         ::testing::Values(Contention{"ExclusiveThenExclusive", FileLock::Mode::Exclusive, FileLock::Mode::Exclusive, true},
                                           Contention{"ExclusiveThenShared", FileLock::Mode::Exclusive, FileLock::Mode::Shared, true},
                                           Contention{"SharedThenExclusive", FileLock::Mode::Shared, FileLock::Mode::Exclusive, true},
                                           Contention{"SharedThenShared", FileLock::Mode::Shared, FileLock::Mode::Shared, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FileLock, ALockFileThatIsALinkIsRefused)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("elsewhere"));
    const QString path = dir.filePath(QStringLiteral("searches.json.lock"));
    ASSERT_TRUE(QFile::link(target, path));
    QString error;
    EXPECT_FALSE(FileLock::Acquire(path, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFile::exists(target)) << "nothing is made where the link points";
}

TEST(FileLock, ALockFileThatCannotBeWrittenStillLocks)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("content-index.db.lock"));
    { QFile made(path); ASSERT_TRUE(made.open(QIODevice::WriteOnly)); }
    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    QString error;
    auto lock = FileLock::Acquire(path, &error);
    EXPECT_TRUE(lock) << error.toStdString();
}

TEST(FileLock, AFolderThatIsNotThereGivesTheReason)
{
    QString error;
    EXPECT_FALSE(FileLock::Acquire(QStringLiteral("/nonexistent-zq/searches.json.lock"), &error));
    EXPECT_FALSE(error.isEmpty());
}

} // namespace

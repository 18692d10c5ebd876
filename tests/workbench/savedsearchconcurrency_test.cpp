// Saved searches written by several processes at once, as two windows of one user or a colleague's
// zqpdm-search do: every save, share and run remembered by every process is there afterwards.
// The writers are copies of this test program, each started to write its share and stop.
#include "SavedSearchStore.h"
#include "TestApplication.h"

#include <QCoreApplication>
#include <QDir>
#include <QJsonArray>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

using zq::SavedSearch;
using zq::SavedSearchStore;

namespace {

constexpr char kWriterVariable[] = "ZQ_TEST_SAVED_SEARCH_WRITER";   // "WRITER COUNT USERFILE SHAREDFOLDER"
constexpr int kWriters = 4;
constexpr int kSearchesEach = 15;

SavedSearch Search(const QString& name, const QString& tab, bool shared)
{
    SavedSearch search;
    search.name = name;
    search.tab = tab;
    search.shared = shared;
    search.savedAt = QDateTime(QDate(2026, 12, 9), QTime(10, 0));
    search.conditions = QJsonObject{{QStringLiteral("controls"), QJsonArray{QJsonObject{{QStringLiteral("text"), name}}}}};
    return search;
}

// One writer's share: its own searches, shared ones, and runs on tabs of its own (the recent list
// keeps ten a tab, so each run gets a tab to show that none is lost).
int WriteShare(const QStringList& arguments)
{
    const int writer = arguments.value(0).toInt();
    const int count = arguments.value(1).toInt();
    SavedSearchStore store(arguments.value(2), arguments.value(3));
    QString error;
    for (int i = 0; i < count; ++i) {
        const QString name = QStringLiteral("w%1-%2").arg(writer).arg(i);
        if (!store.save(Search(name, QStringLiteral("更改单"), false), &error)
            || !store.save(Search(name, QStringLiteral("更改单"), true), &error)
            || !store.remember(Search(name, QStringLiteral("tab-") + name, false), &error)) {
            fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
    }
    return 0;
}

TEST(SavedSearchConcurrency, SeveralProcessesWritingAtOnceLoseNothing)
{
    if (qEnvironmentVariableIsSet(kWriterVariable)) {
        const int status = WriteShare(qEnvironmentVariable(kWriterVariable).split(u'\t'));
        ASSERT_EQ(status, 0);
        return;
    }
    QTemporaryDir dir;
    const QString userFile = dir.filePath(QStringLiteral("config/zqpdm/searches.json"));
    const QString shared = dir.filePath(QStringLiteral("home/Support/Searches"));
    std::vector<std::unique_ptr<QProcess>> writers;
    for (int w = 0; w < kWriters; ++w) {
        auto writer = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QString::fromLatin1(kWriterVariable),
                           QStringList{QString::number(w), QString::number(kSearchesEach), userFile, shared}.join(u'\t'));
        environment.insert(QString::fromLatin1(zq::test::kNoApplicationVariable), QStringLiteral("1"));
        writer->setProcessEnvironment(environment);
        writer->setProcessChannelMode(QProcess::MergedChannels);
        writer->start(QCoreApplication::applicationFilePath(),
                      {QStringLiteral("--gtest_filter=SavedSearchConcurrency.SeveralProcessesWritingAtOnceLoseNothing")});
        writers.push_back(std::move(writer));
    }
    for (auto& writer : writers) {
        ASSERT_TRUE(writer->waitForFinished(120000));
        EXPECT_EQ(writer->exitCode(), 0) << writer->readAll().toStdString();
    }

    const SavedSearchStore store(userFile, shared);
    int own = 0, sharedCount = 0, ran = 0;
    for (const SavedSearch& search : store.searches(QStringLiteral("更改单")))
        ++(search.shared ? sharedCount : own);
    for (int w = 0; w < kWriters; ++w)
        for (int i = 0; i < kSearchesEach; ++i)
            ran += store.recent(QStringLiteral("tab-w%1-%2").arg(w).arg(i)).size();
    EXPECT_EQ(own, kWriters * kSearchesEach);
    EXPECT_EQ(sharedCount, kWriters * kSearchesEach);
    EXPECT_EQ(ran, kWriters * kSearchesEach);
    EXPECT_TRUE(store.takeProblems().isEmpty());
    // Nothing left behind but the data and the locks.
    EXPECT_EQ(QDir(QFileInfo(userFile).absolutePath()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{"searches.json", "searches.json.lock"}));
}

} // namespace

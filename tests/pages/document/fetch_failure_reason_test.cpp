// A stored file that did not arrive: the message stays "文件没有下载成功", and the box's detail
// part says why, as the storage told it during this fetch (not an earlier failure's reason).
#include "CallLog.h"
#include "FileServices.h"
#include "ServiceTest.h"
#include "StoredFileRetrieval.h"

using namespace zq;
using namespace zq::doc;

namespace {

DocumentRecord Record(const char* code1, const char* code2, const char* revision, const char* fileName)
{
    DocumentRecord r;
    r.SetField(RecordField::Code1, QString::fromUtf8(code1));
    r.SetField(RecordField::Code2, QString::fromUtf8(code2));
    r.SetField(RecordField::Revision, QString::fromUtf8(revision));
    r.SetField(RecordField::FileName, QString::fromUtf8(fileName));
    return r;
}

class FetchFailureReason : public test::ServiceTest {};

TEST_P(FetchFailureReason, TheDetailSaysWhyAndTheMessageStays)
{
    CZQSaveFileToFTP pageStore;
    ASSERT_TRUE(pageStore.InitZQPDMFTP()) << pageStore.LastError().toStdString();
    const struct {
        const char* name;
        bool design;
        int setting;
        DocumentRecord record;
        const char* because;   // a part of the detail
    } cases[] = {
        {"not in the store", true, 0, Record("ZQ8600", "ZQ8600", "A", "none.dwg"), "文件不存在"},
        {"not in the database", false, 0, Record("", "R-DJ-01", "", "none.pdf"), "数据库中没有这个文件"},
        {"no file name left in the record", true, 0, Record("ZQ8600", "ZQ8600", "A", ".."), "记录中没有文件名"},
    };
    for (const auto& c : cases) {
        // A failure met before this fetch is not this fetch's reason.
        CallLog::RecordFailure(QStringLiteral("CZQPart"), QStringLiteral("ViewPart"), QStringLiteral("earlier"));
        desktop.events.clear();
        StoredFileRetrieval retrieval(c.record);
        const auto outcome = c.design ? retrieval.OpenDesignDocument(c.setting, &pageStore) : retrieval.OpenResourceFile(c.setting);
        EXPECT_EQ(outcome, StoredFileRetrieval::Outcome::NotFetched) << c.name;
        const QList<ScriptedDesktop::Event> boxes = desktop.eventsOf(QStringLiteral("MSG"));
        ASSERT_EQ(boxes.size(), 1) << c.name;
        EXPECT_EQ(boxes[0].fields, (QStringList{"操作提示", "文件没有下载成功"})) << c.name;
        EXPECT_TRUE(boxes[0].detail.contains(QString::fromUtf8(c.because))) << c.name << ": " << boxes[0].detail.toStdString();
        EXPECT_FALSE(boxes[0].detail.contains(QStringLiteral("earlier"))) << c.name;
    }
}

TEST_P(FetchFailureReason, ARefusingServerIsNamedInTheDetail)
{
    test::ScopedEnv env("ZQPDM_FTP", QStringLiteral("ftp://127.0.0.1:1/"));
    CZQSaveFileToFTP pageStore;
    EXPECT_FALSE(pageStore.InitZQPDMFTP());
    const QString refused = pageStore.LastError();
    ASSERT_FALSE(refused.isEmpty());
    desktop.events.clear();
    StoredFileRetrieval(Record("ZQ8600", "ZQ8600-01-02", "A", "ZQ8600-01-02.dwg")).OpenDesignDocument(0, &pageStore);
    ASSERT_EQ(desktop.eventsOf(QStringLiteral("MSG")).size(), 1);
    const QString detail = desktop.eventsOf(QStringLiteral("MSG"))[0].detail;
    EXPECT_FALSE(detail.isEmpty());
    ASSERT_FALSE(CallLog::Failures().isEmpty());
    EXPECT_EQ(CallLog::Failures().last().operation, QStringLiteral("GetFileFromFTP"));
    EXPECT_EQ(detail, CallLog::Failures().last().reason) << "the fetch's own failure, not the connection's before it";
}

INSTANTIATE_TEST_SUITE_P(Engines, FetchFailureReason, ::testing::ValuesIn(test::EngineNames()),
                         [](const testing::TestParamInfo<const char*>& info) { return zq::test::EngineTestName(info.param); });

} // namespace

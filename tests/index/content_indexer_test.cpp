// The indexer on a seeded installation, the PDM database and the index both on SQLite or both on
// PostgreSQL: every stored file the document pages open is read once; a run with nothing changed
// writes nothing; a changed file is read again, a vanished one removed; files that cannot be
// fetched or read are listed with their reason and lose nothing that was there; a table that
// cannot be read keeps its files; a PDF that never ends is cut off.
#include "ContentIndexStore.h"
#include "ContentSql.h"
#include "IndexTestKit.h"
#include "GbkText.h"
#include "ZQDBConnect.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QUrl>

#include <functional>

using namespace zq;
using namespace zq::index;

namespace {

std::string str(const QString& s) { return s.toStdString(); }

QString Failures(const IndexRunReport& report)
{
    QStringList lines;
    for (const FileFailure& failure : report.failures)
        lines.append(failure.file + QStringLiteral(": ") + failure.reason);
    return lines.join(u'\n');
}

class ContentIndexer : public test::IndexTest {};

// The words the demo's files hold and nothing else of the demo does, with the file holding each.
const struct {
    const char* word;
    const char* file;
} kUniqueWords[] = {
    {"氟橡胶密封圈", "ZQ8700技术条件.pdf"},      {"鼠笼转子", "Y系列电机样本.pdf"},
    {"当量动载荷", "深沟球轴承选型手册.pdf"},    {"压缩永久变形", "O型圈选型.txt"},
    {"螺纹公差6g", "GB5783螺栓标准.txt"},        {"HT200铸件时效处理", "ZQ8600-01-01.dxf"},
    {"空载跑合试验", "ZQ8600减速器技术条件.docx"}, {"易损件清单", "ZQ8600零件明细.xlsx"},
    {"镀锌钝化", "ZQ8600标准件清单.csv"},
};

TEST_P(ContentIndexer, ReadsEveryStoredFileOnceAndThenWritesNothing)
{
    const IndexRunReport first = Index();
    EXPECT_TRUE(first.upToDate()) << str(first.fatal) << str(Failures(first));
    EXPECT_EQ(first.files, 24);
    EXPECT_EQ(first.added, 24);
    EXPECT_GT(first.writes, 0);
    for (const auto& w : kUniqueWords)
        EXPECT_EQ(Find(QString::fromUtf8(w.word)), QStringList{QString::fromUtf8(w.file)}) << w.word;
    // A drawing without text is found by its description and file name.
    EXPECT_EQ(Find(QStringLiteral("缸筒零件图")), QStringList{QStringLiteral("ZQ8800-01-01.dwg")});
    if (onPostgres()) {
        // The run leaves no rows waiting outside the trigram index, where the planner would price
        // the index above reading every text.
        EXPECT_EQ(test::ExecSql(indexUrl, QStringLiteral("DO $$ BEGIN IF gin_clean_pending_list('ContentFileTrigrams') > 0 "
                                                         "THEN RAISE EXCEPTION 'rows pending'; END IF; END $$")),
                  QString());
    }
    // The index is a database of its own: the PDM database holds none of it.
    EXPECT_FALSE(db.connection()->HasTable(QStringLiteral("ContentFile")));

    const QFileInfo before(indexUrl.mid(7));
    const QDateTime modified = before.lastModified();
    const IndexRunReport second = Index();
    EXPECT_TRUE(second.upToDate()) << str(Failures(second));
    EXPECT_EQ(second.unchanged, 24);
    EXPECT_EQ(second.added + second.replaced + second.removed, 0);
    EXPECT_EQ(second.writes, 0);
    EXPECT_EQ(second.bytesRead, 0);
    if (!onPostgres()) {
        EXPECT_EQ(QFileInfo(indexUrl.mid(7)).lastModified(), modified);
    }

    // --rebuild reads all again, in place.
    const IndexRunReport rebuilt = Index(true);
    EXPECT_EQ(rebuilt.replaced, 24);
    EXPECT_EQ(Find(QStringLiteral("镀锌钝化")), QStringList{QStringLiteral("ZQ8600标准件清单.csv")});
}

TEST_P(ContentIndexer, AChangedFileIsReadAgainAndAVanishedOneRemoved)
{
    ASSERT_TRUE(Index().upToDate());
    Store(QStringLiteral("Zq/Proven/ZQ8600/ZQ8600-00-01/A/O型圈选型.txt"), EncodeGbk(QStringLiteral("改用聚四氟乙烯垫片\r\n")));
    ASSERT_EQ(PdmSql(QStringLiteral("UPDATE Documents SET FileDate = ? WHERE FileName = ?"),
                     {QStringLiteral("2026-12-08 09:00:00"), QStringLiteral("O型圈选型.txt")}), QString());
    ASSERT_EQ(PdmSql(QStringLiteral("DELETE FROM EngineerViewDoc WHERE ItemCode = ?"), {QStringLiteral("R-DJ-01")}),
              QString());

    const IndexRunReport report = Index();
    EXPECT_TRUE(report.upToDate()) << str(Failures(report));
    EXPECT_EQ(report.replaced, 1);
    EXPECT_EQ(report.removed, 1);
    EXPECT_EQ(report.unchanged, 22);
    EXPECT_EQ(Find(QStringLiteral("聚四氟乙烯")), QStringList{QStringLiteral("O型圈选型.txt")});
    EXPECT_EQ(Find(QStringLiteral("压缩永久变形")), QStringList());
    EXPECT_EQ(Find(QStringLiteral("鼠笼转子")), QStringList());
}

TEST_P(ContentIndexer, FilesThatCannotBeFetchedOrReadAreListedAndLoseNothing)
{
    ASSERT_TRUE(Index().upToDate());
    // A stored PDF damaged since it was read, a new row whose file is not in the store, and a new
    // row whose PDF never ends.
    Store(QStringLiteral("Zq/Proven/ZQ8700/ZQ8700/A/ZQ8700技术条件.pdf"), QByteArray("%PDF-1.4\n1 0 obj << /Type /Catalog"));
    ASSERT_EQ(PdmSql(QStringLiteral("UPDATE Documents SET FileDate = ? WHERE FileName = ?"),
                     {QStringLiteral("2026-12-08 09:00:00"), QStringLiteral("ZQ8700技术条件.pdf")}), QString());
    const QString insert = QStringLiteral("INSERT INTO Documents (ProductDwgCode, Code, RevNumber, DocumentType, FileName, "
                                          "FileBulk, FileType, FileDate, FileRemark) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)");
    ASSERT_EQ(PdmSql(insert, {QStringLiteral("ZQ8600"), QStringLiteral("ZQ8600-09"), QStringLiteral("A"),
                              QStringLiteral("不在存储中的说明书"), QStringLiteral("缺失.pdf"), 1, QStringLiteral("PDF 文档"),
                              QStringLiteral("2026-12-01 10:00:00"), QString()}), QString());
    Store(QStringLiteral("Zq/Proven/ZQ8600/ZQ8600-08/A/endless.pdf"), test::EndlessPdf());
    ASSERT_EQ(PdmSql(insert, {QStringLiteral("ZQ8600"), QStringLiteral("ZQ8600-08"), QStringLiteral("A"),
                              QStringLiteral("读不完的图纸"), QStringLiteral("endless.pdf"), 3, QStringLiteral("PDF 文档"),
                              QStringLiteral("2026-12-01 10:00:00"), QString()}), QString());

    QElapsedTimer clock;
    clock.start();
    const IndexRunReport report = Index(false, 1200);
    EXPECT_LT(clock.elapsed(), 15000);
    EXPECT_EQ(report.fatal, QString());
    EXPECT_FALSE(report.upToDate());
    const QString failures = Failures(report);
    ASSERT_EQ(report.failures.size(), 3) << str(failures);
    EXPECT_TRUE(failures.contains(QStringLiteral("Documents ZQ8700/ZQ8700/A/ZQ8700技术条件.pdf: PDF"))) << str(failures);
    EXPECT_TRUE(failures.contains(QStringLiteral("Documents ZQ8600/ZQ8600-09/A/缺失.pdf: 文件不存在"))) << str(failures);
    // Cut off by the deadline, or stopped by the reader's own time limit just before it.
    EXPECT_TRUE(failures.contains(QStringLiteral("Documents ZQ8600/ZQ8600-08/A/endless.pdf: 提取超时")) ||
                failures.contains(QStringLiteral("Documents ZQ8600/ZQ8600-08/A/endless.pdf: 提取超过时间限制")))
        << str(failures);
    EXPECT_EQ(report.unchanged, 23);

    // The damaged file keeps the text read before; the new ones are found by their descriptions.
    EXPECT_EQ(Find(QStringLiteral("氟橡胶密封圈")), QStringList{QStringLiteral("ZQ8700技术条件.pdf")});
    EXPECT_EQ(Find(QStringLiteral("不在存储中")), QStringList{QStringLiteral("缺失.pdf")});
    EXPECT_EQ(Find(QStringLiteral("读不完的图纸")), QStringList{QStringLiteral("endless.pdf")});

    // The file the store does not hold is tried again; the two that failed by themselves are
    // known failures, not read again (the endless one would take its deadline on every run).
    const IndexRunReport again = Index(false, 1200);
    ASSERT_EQ(again.failures.size(), 1) << str(Failures(again));
    EXPECT_EQ(again.failures.first().file, QStringLiteral("Documents ZQ8600/ZQ8600-09/A/缺失.pdf"));
    QStringList known;
    for (const FileFailure& failure : again.knownFailures)
        known.append(failure.file);
    known.sort();
    EXPECT_EQ(known, (QStringList{QStringLiteral("Documents ZQ8600/ZQ8600-08/A/endless.pdf"),
                                  QStringLiteral("Documents ZQ8700/ZQ8700/A/ZQ8700技术条件.pdf")}));
    EXPECT_EQ(again.writes, 0);
    EXPECT_EQ(again.bytesRead, 0);

    // Once the file is there, it is read.
    QFile sample(home().storeDir() + QStringLiteral("/Zq/Resource/R-DJ-01/Y系列电机样本.pdf"));
    ASSERT_TRUE(sample.open(QIODevice::ReadOnly));
    Store(QStringLiteral("Zq/Proven/ZQ8600/ZQ8600-09/A/缺失.pdf"), sample.readAll());
    const IndexRunReport found = Index(false, 1200);
    EXPECT_EQ(found.failures.size(), 0) << str(Failures(found));
    EXPECT_EQ(found.knownFailures.size(), 2);
    EXPECT_EQ(Find(QStringLiteral("鼠笼转子")), (QStringList{QStringLiteral("Y系列电机样本.pdf"), QStringLiteral("缺失.pdf")}));
}

// A file that failed by itself is remembered with its row: later runs list it as known, read
// nothing and succeed, until the row changes or the failures are asked to be tried again.
TEST_P(ContentIndexer, AFileThatFailedByItselfIsNotTriedAgainUntilItChanges)
{
    const QByteArray encrypted = test::EncryptedPdf();
    ASSERT_FALSE(encrypted.isEmpty());
    AddDocument(QStringLiteral("ZQ8600-07"), QStringLiteral("加密.pdf"), QStringLiteral("加密的说明书"), encrypted);
    const QString file = QStringLiteral("Documents ZQ8600/ZQ8600-07/A/加密.pdf");
    const QString reason = QStringLiteral("PDF 文件已加密, 需要密码才能提取文本");
    const IndexRunReport first = Index();
    EXPECT_FALSE(first.upToDate());
    EXPECT_EQ(Failures(first), file + QStringLiteral(": ") + reason);
    EXPECT_EQ(Find(QStringLiteral("加密的说明书")), QStringList{QStringLiteral("加密.pdf")});

    QFile sample(home().storeDir() + QStringLiteral("/Zq/Resource/R-DJ-01/Y系列电机样本.pdf"));
    ASSERT_TRUE(sample.open(QIODevice::ReadOnly));
    const QByteArray readable = sample.readAll();
    const auto dated = [this](const char* date) {
        return PdmSql(QStringLiteral("UPDATE Documents SET FileDate = ? WHERE FileName = ?"),
                      {QString::fromLatin1(date), QStringLiteral("加密.pdf")});
    };
    // One run after another, each on what the one before left.
    const struct {
        const char* what;
        std::function<QString()> change;   // "" or why the change failed
        bool retryFailed;
        bool tried;                        // the file was fetched and read
        bool failed;                       // ... and failed (a failure of this run)
        bool known;                        // listed as a known failure, not tried
    } runs[] = {
        {"nothing changed", [] { return QString(); }, false, false, false, true},
        {"nothing changed, again", [] { return QString(); }, false, false, false, true},
        {"--retry-failed", [] { return QString(); }, true, true, true, false},
        {"after the retry", [] { return QString(); }, false, false, false, true},
        {"the row's date changed", [&] { return dated("2026-12-08 09:00:00"); }, false, true, true, false},
        {"a readable file under a new date",
         [&] {
             Store(QStringLiteral("Zq/Proven/ZQ8600/ZQ8600-07/A/加密.pdf"), readable);
             return dated("2026-12-09 09:00:00");
         },
         false, true, false, false},
        {"read: nothing left to remember", [] { return QString(); }, false, false, false, false},
    };
    for (const auto& r : runs) {
        ASSERT_EQ(r.change(), QString()) << r.what;
        const IndexRunReport report = Index(false, 30000, r.retryFailed);
        EXPECT_EQ(report.fatal, QString()) << r.what;
        EXPECT_EQ(report.bytesRead > 0, r.tried) << r.what;
        EXPECT_EQ(Failures(report), r.failed ? file + QStringLiteral(": ") + reason : QString()) << r.what;
        EXPECT_EQ(report.upToDate(), !r.failed) << r.what;
        ASSERT_EQ(report.knownFailures.size(), r.known ? 1 : 0) << r.what;
        if (r.known) {
            EXPECT_EQ(report.knownFailures.first().file, file) << r.what;
            EXPECT_EQ(report.knownFailures.first().reason, reason) << r.what;
            EXPECT_EQ(report.writes, 0) << r.what;
        }
        EXPECT_EQ(report.unchanged, r.known || r.tried ? 24 : 25) << r.what;
    }
    EXPECT_EQ(Find(QStringLiteral("鼠笼转子")), (QStringList{QStringLiteral("Y系列电机样本.pdf"), QStringLiteral("加密.pdf")}));
}

// An index the version before wrote remembers no failures: a file it could not read is tried once
// more, and remembered from then on.
TEST_P(ContentIndexer, AnIndexOfTheLayoutBeforeRemembersFailuresFromItsUpgradeOn)
{
    const QByteArray encrypted = test::EncryptedPdf();
    ASSERT_FALSE(encrypted.isEmpty());
    AddDocument(QStringLiteral("ZQ8600-07"), QStringLiteral("加密.pdf"), QStringLiteral("加密的说明书"), encrypted);
    ASSERT_EQ(Index().failures.size(), 1);
    MakeEarlierLayout(2);
    if (HasFatalFailure())
        return;
    const IndexRunReport upgraded = Index();
    EXPECT_TRUE(upgraded.notes.join(u'\n').contains(QStringLiteral("从版本 2 更新为版本 %1").arg(content::kContentIndexVersion)))
        << str(upgraded.notes.join(u'\n'));
    EXPECT_EQ(upgraded.unchanged, 24);
    EXPECT_EQ(upgraded.failures.size(), 1) << str(Failures(upgraded));
    const IndexRunReport next = Index();
    EXPECT_TRUE(next.upToDate()) << str(Failures(next));
    // Why the upgrade's run failed on the file tells whether the failure was the file's own.
    EXPECT_EQ(next.knownFailures.size(), 1) << "the upgrade's run: " << str(Failures(upgraded));
    EXPECT_EQ(next.writes, 0);
    EXPECT_EQ(Find(QStringLiteral("加密的说明书")), QStringList{QStringLiteral("加密.pdf")});
}

TEST_P(ContentIndexer, AScanWithoutATextLayerIsListedAndFoundByItsDescription)
{
    ASSERT_TRUE(Index().upToDate());
    Store(QStringLiteral("Zq/Proven/ZQ8700/ZQ8700/A/ZQ8700技术条件.pdf"), test::TextlessPdf());
    ASSERT_EQ(PdmSql(QStringLiteral("UPDATE Documents SET FileDate = ? WHERE FileName = ?"),
                     {QStringLiteral("2026-12-08 09:00:00"), QStringLiteral("ZQ8700技术条件.pdf")}), QString());
    const IndexRunReport report = Index();
    // Sound, so not a failure, and told apart from a file that is merely empty.
    EXPECT_TRUE(report.upToDate()) << str(Failures(report));
    EXPECT_EQ(report.withoutText, QStringList{QStringLiteral("Documents ZQ8700/ZQ8700/A/ZQ8700技术条件.pdf")});
    EXPECT_EQ(Find(QStringLiteral("氟橡胶密封圈")), QStringList());
    EXPECT_EQ(Find(QStringLiteral("齿轮泵技术条件")), QStringList{QStringLiteral("ZQ8700技术条件.pdf")});
    // Read once: the next run has nothing to do.
    EXPECT_EQ(Index().writes, 0);
}

TEST_P(ContentIndexer, ATableThatCannotBeReadKeepsItsFiles)
{
    ASSERT_TRUE(Index().upToDate());
    ASSERT_EQ(Find(QStringLiteral("减速器设计任务书")).size(), 1);
    ASSERT_EQ(PdmSql(QStringLiteral("ALTER TABLE TaskDocuments RENAME TO TaskDocumentsAway")), QString());
    const IndexRunReport report = Index();
    EXPECT_FALSE(report.upToDate());
    EXPECT_EQ(report.removed, 0);
    ASSERT_EQ(report.tablesNotRead.size(), 1);
    EXPECT_TRUE(report.tablesNotRead.first().startsWith(QStringLiteral("TaskDocuments: "))) << str(report.tablesNotRead.first());
    EXPECT_EQ(Find(QStringLiteral("减速器设计任务书")).size(), 1);
}

// One rule for letter case and width, whatever the word's length: Greek, Latin-1, full-width.
TEST_P(ContentIndexer, WordsAreFoundWhateverTheirCaseAndWidth)
{
    ASSERT_TRUE(Index().upToDate());
    const QStringList ht200{QStringLiteral("HT200铸件技术条件.doc"), QStringLiteral("ZQ8600-01-01.dxf")};
    const struct {
        const char* words;
        QStringList files;
    } cases[] = {
        {"Φ4", {QStringLiteral("O型圈选型.txt")}},                  // two characters: a scan
        {"Φ40×3.1", {QStringLiteral("O型圈选型.txt")}},
        {"ＨＴ２００", ht200},
        {"ｈｔ２００铸件时效", {QStringLiteral("ZQ8600-01-01.dxf")}},
        {"ｙ１３２ｍ－４", {QStringLiteral("Y系列电机样本.pdf")}},
        {"ø8", {QStringLiteral("ZQ8600-01-01.dxf")}},                // Ø in the text
        {"nbr70 丁腈", {QStringLiteral("O型圈选型.txt")}},
        {"Φ41", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Find(QString::fromUtf8(c.words)), c.files) << c.words;
}

// An index the version before wrote (the text as it stands in the trigram index) is brought up to
// date where it stands: nothing is fetched or read again, and the file grows no larger.
TEST_P(ContentIndexer, AnIndexOfTheEarlierLayoutIsUpgradedWithoutReadingAgain)
{
    ASSERT_TRUE(Index().upToDate());
    const qint64 fresh = onPostgres() ? 0 : QFileInfo(indexUrl.mid(7)).size();
    MakeEarlierLayout();
    if (HasFatalFailure())
        return;
    const IndexRunReport report = Index();
    EXPECT_TRUE(report.upToDate()) << str(report.fatal) << str(Failures(report));
    EXPECT_EQ(report.unchanged, 24);
    EXPECT_EQ(report.bytesRead, 0);
    EXPECT_TRUE(report.notes.join(u'\n').contains(QStringLiteral("从版本 1 更新为版本 %1").arg(content::kContentIndexVersion)))
        << str(report.notes.join(u'\n'));
    EXPECT_EQ(Find(QStringLiteral("Φ40")), QStringList{QStringLiteral("O型圈选型.txt")});
    EXPECT_EQ(Find(QStringLiteral("鼠笼转子")), QStringList{QStringLiteral("Y系列电机样本.pdf")});
    if (!onPostgres()) {
        EXPECT_LE(QFileInfo(indexUrl.mid(7)).size(), fresh + fresh / 10);
    }
    const IndexRunReport again = Index();
    EXPECT_EQ(again.writes, 0);
    EXPECT_FALSE(again.notes.join(u'\n').contains(QStringLiteral("更新为"))) << str(again.notes.join(u'\n'));
}

// An index of a later layout is not this version's to change: the run stops and says so.
TEST_P(ContentIndexer, AnIndexOfALaterLayoutIsLeftAsItIs)
{
    ASSERT_TRUE(Index().upToDate());
    ASSERT_EQ(test::ExecSql(indexUrl, QStringLiteral("UPDATE ContentIndexInfo SET Value = '%1' WHERE Name = 'version'")
                                          .arg(content::kContentIndexVersion + 1)),
              QString());
    const IndexRunReport report = Index();
    EXPECT_FALSE(report.upToDate());
    EXPECT_TRUE(report.fatal.contains(QStringLiteral("更新版本的 zqpdm-index"))) << str(report.fatal);
    ASSERT_EQ(test::ExecSql(indexUrl, QStringLiteral("UPDATE ContentIndexInfo SET Value = '%1' WHERE Name = 'version'")
                                          .arg(content::kContentIndexVersion)),
              QString());
    EXPECT_EQ(Find(QStringLiteral("镀锌钝化")), QStringList{QStringLiteral("ZQ8600标准件清单.csv")});
}

INSTANTIATE_TEST_SUITE_P(Engines, ContentIndexer, testing::ValuesIn(test::IndexEngines()),
                         [](const testing::TestParamInfo<const char*>& info) { return test::EngineTestName(info.param); });

// A customer's database: the module's tables and none of ours. The design documents come from
// the file store, as the demo's settings say, so every file is read all the same.
class ModuleTablesIndexer : public test::IndexTest {
protected:
    ModuleTablesIndexer() : IndexTest(ModuleTablesOnly()) {}
    static test::SeededHome::Options ModuleTablesOnly()
    {
        test::SeededHome::Options options;
        options.moduleTablesOnly = true;
        return options;
    }
};

TEST_P(ModuleTablesIndexer, IndexesACustomersDatabase)
{
    const IndexRunReport report = Index();
    EXPECT_TRUE(report.upToDate()) << str(report.fatal) << str(Failures(report));
    EXPECT_EQ(report.added, 24);
    EXPECT_EQ(Find(QStringLiteral("空载跑合试验")), QStringList{QStringLiteral("ZQ8600减速器技术条件.docx")});
}

INSTANTIATE_TEST_SUITE_P(Engines, ModuleTablesIndexer, testing::ValuesIn(test::IndexEngines()),
                         [](const testing::TestParamInfo<const char*>& info) { return test::EngineTestName(info.param); });

// An index on the PostgreSQL test server, for a demo installation on SQLite.
class PostgresIndex : public testing::Test {
protected:
    void SetUp() override
    {
        if (!test::PgTestDatabase::Available())
            GTEST_SKIP() << "ZQ_TEST_PG is not set";
        if (test::IndexProgram().isEmpty())
            GTEST_SKIP() << "zqpdm-index is not built";
        m_home = std::make_unique<test::SeededHome>();
        ASSERT_TRUE(m_home->ok()) << str(m_home->error());
        m_pdm = std::make_unique<test::ScopedCurrentDatabase>(m_home->databaseUrl());
        ASSERT_TRUE(m_pdm->ok());
    }

    std::unique_ptr<test::SeededHome> m_home;
    std::unique_ptr<test::ScopedCurrentDatabase> m_pdm;
};

// A server without pg_trgm for the index (here: a user who may not create the extension): the
// indexer says so, and the page's LIKE finds the words all the same, by a scan.
TEST_F(PostgresIndex, WithoutPgTrgmTheIndexerSaysSoAndSearchesStillFind)
{
    test::PgTestDatabase index;
    ASSERT_TRUE(index.ok()) << str(index.error());
    ASSERT_EQ(test::ExecSql(index.url(), QStringLiteral("DO $$ BEGIN CREATE ROLE zq_index_user LOGIN; "
                                                        "EXCEPTION WHEN duplicate_object THEN NULL; END $$")), QString());
    ASSERT_EQ(test::ExecSql(index.url(), QStringLiteral("GRANT CREATE ON SCHEMA public TO zq_index_user")), QString());
    QUrl url(index.url());
    url.setUserName(QStringLiteral("zq_index_user"));

    const IndexRunReport report = index::ContentIndexer(test::IndexOptions(url.toString())).run();
    EXPECT_TRUE(report.upToDate()) << str(report.fatal);
    EXPECT_TRUE(report.notes.join(u'\n').contains(QStringLiteral("pg_trgm"))) << str(report.notes.join(u'\n'));
    EXPECT_EQ(test::FilesWith(url.toString(), QStringLiteral("鼠笼转子")), QStringList{QStringLiteral("Y系列电机样本.pdf")});
    // The next run, with nothing to do, says it again and writes nothing.
    const IndexRunReport again = index::ContentIndexer(test::IndexOptions(url.toString())).run();
    EXPECT_TRUE(again.notes.join(u'\n').contains(QStringLiteral("pg_trgm")));
    EXPECT_EQ(again.writes, 0);
}

// The folding is ours, not the server's: a database in the C locale folds every script too, and
// a server that reads backslashes in strings as escapes (standard_conforming_strings off) gets
// the same words.
TEST_F(PostgresIndex, FoldsWhateverTheLocaleAndTheStringSetting)
{
    test::PgTestDatabase index(QStringLiteral("LC_COLLATE 'C' LC_CTYPE 'C'"));
    ASSERT_TRUE(index.ok()) << str(index.error());
    ASSERT_TRUE(index::ContentIndexer(test::IndexOptions(index.url())).run().upToDate());
    const QString legacy = index.url() + QStringLiteral("?options=-cstandard_conforming_strings%3Doff");
    {
        CZQDBConnect settings(legacy);
        ASSERT_TRUE(settings.Init() && settings.ConnectPDM()) << str(settings.LastError());
        EXPECT_EQ(settings.GetSelectItemData(QStringLiteral("SELECT current_setting('standard_conforming_strings') || ' ' || "
                                                            "current_setting('lc_ctype')")),
                  QStringLiteral("off C"));
    }
    const struct {
        const char* words;
        QStringList files;
    } cases[] = {
        {"Φ40", {QStringLiteral("O型圈选型.txt")}},
        {"ｙ１３２ｍ－４", {QStringLiteral("Y系列电机样本.pdf")}},
        {"ÿ", {}},
        {"15%～25%", {QStringLiteral("O型圈选型.txt")}},
        {"c\\d _ %", {}},
        {"it's", {}},
    };
    for (const QString& url : {index.url(), legacy}) {
        for (const auto& c : cases) {
            QString error;
            EXPECT_EQ(test::FilesWith(url, QString::fromUtf8(c.words), &error), c.files) << c.words;
            EXPECT_EQ(error, QString()) << c.words;
        }
    }
}

// Where the index may be: never over something that is not an index.
TEST(ContentIndexStore, RefusesWhatIsNotAContentIndexAndLeavesItAlone)
{
    QTemporaryDir dir;
    const QString text = dir.filePath(QStringLiteral("notes.txt"));
    {
        QFile file(text);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("meeting notes, not a database\n");
    }
    const QString foreign = dir.filePath(QStringLiteral("foreign.db"));
    ASSERT_EQ(test::ExecSql(QStringLiteral("sqlite:") + foreign, QStringLiteral("CREATE TABLE ContentFile (Mine TEXT)")),
              QString());
    const struct {
        QString url;
        const char* reason;
    } cases[] = {
        {QStringLiteral("sqlite:") + text, "file is not a database"},
        {QStringLiteral("sqlite:") + dir.path(), "不是文件"},
        {QStringLiteral("sqlite:") + dir.filePath(QStringLiteral("no/such/ci.db")), "文件夹不存在"},
        {QStringLiteral("odbc:DSN=pdm"), "只能放在 SQLite 或 PostgreSQL"},
        {QStringLiteral("mysql://x@y/z"), "地址无效"},
        {QStringLiteral("sqlite:") + foreign, "不是内容索引"},
    };
    for (const auto& c : cases) {
        ContentIndexStore store;
        QString error;
        EXPECT_FALSE(store.open(c.url, &error)) << str(c.url);
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.reason))) << str(c.url) << ": " << str(error);
    }
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("meeting notes, not a database\n"));
    EXPECT_EQ(test::ExecSql(QStringLiteral("sqlite:") + foreign, QStringLiteral("INSERT INTO ContentFile (Mine) VALUES ('x')")),
              QString());
}

} // namespace

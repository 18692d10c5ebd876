// The demo installation: schema and rows, configuration files, file store, scale, determinism,
// re-seeding and the command line.
#include "ConnectionUrl.h"
#include "DatabaseUrl.h"
#include "FileServices.h"
#include "GbkText.h"
#include "InstallationFiles.h"
#include "Profile.h"
#include "ScaleData.h"
#include "SeedCommandLine.h"
#include "SeedTestQueries.h"
#include "SeededHome.h"
#include "Seeder.h"
#include "ZQDBConnect.h"
#include "ZQPDMFC.h"
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <memory>
#include <gtest/gtest.h>

using namespace zq;
using zq::test::Count;
using zq::test::Execute;
using zq::test::One;
using zq::test::Query;
using zq::test::SeededHome;

namespace {

std::string str(const QString& s) { return s.toStdString(); }

QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A digest of every row of every table, blobs included, in a fixed order.
QByteArray DatabaseDigest(const QString& url)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const seed::Table& t : seed::PdmTables()) {
        const QStringList columns = t.columnNames();
        for (const QStringList& row :
             Query(url, QStringLiteral("SELECT %1 FROM %2 ORDER BY %1").arg(columns.join(QLatin1Char(',')), t.name)))
            hash.addData(row.join(QChar(0x1f)).toUtf8() + '\n');
    }
    return hash.result();
}

struct TableCount {
    const char* table;
    long long rows;
};

// Row counts of the demo data at scale 1 (tools/pdm-seed/README.md describes them).
const TableCount kDemoCounts[] = {
    {"ZqlomiraAll_title", 32},   {"ZqlomiraAll_detail", 37},   {"PartAttribute", 10},
    {"Product", 3},              {"ZqOrderProduct_title", 22}, {"ZqOrderProduct_detail", 30},
    {"Documents", 12},            {"TaskDocuments", 3},         {"TeamWorkResult", 3},
    {"EngineerViewDoc", 6},      {"ECOModifyManage", 7},       {"ECOModifyPart", 10},
    {"ECOHandout", 11},          {"ECORelateFile", 5},         {"ProjectManage", 6},
    {"TeamWorkManage", 6},       {"TaskAuditManage", 3},       {"TeamWorkAudit", 2},
    {"TeamWorkPart", 8},         {"ZqUser", 8},                {"ZqDepartment", 9},
    {"ZqPDMFile", 18},
};

void ExpectDemoCounts(const QString& url)
{
    ASSERT_EQ(std::size(kDemoCounts), size_t(seed::PdmTables().size())) << "every table is listed";
    for (const TableCount& c : kDemoCounts)
        EXPECT_EQ(Count(url, QStringLiteral("SELECT count(*) FROM %1").arg(QLatin1String(c.table))), c.rows) << c.table;
}

// What the pages ask of the demo data, each as one query and the answer expected; the spellings are
// the module's own (Dcode/DCode, ZqlomiraAll_Title, Upcode), so they also check identifier folding.
struct Probe {
    const char* what;
    const char* sql;
    const char* expected;
};

const Probe kProbes[] = {
    {"old drawing number through TOther4", "SELECT TCode FROM ZqlomiraAll_Title WHERE TOther4 ='JQ8600.01.02'",
     "ZQ8600-01-02"},
    {"product name lookup", "SELECT ProductName FROM Product WHERE ProductDwgCode = 'ZQ8700'", "ZQ8700型齿轮泵"},
    {"a title row whose product is missing",
     "SELECT count(*) FROM ZqlomiraAll_title WHERE ProductDwgCode NOT IN (SELECT ProductDwgCode FROM Product)", "1"},
    {"a searchable value with a quote", "SELECT count(*) FROM ZqlomiraAll_title WHERE Tname LIKE '%''%'", "1"},
    {"a part shared by two subassemblies",
     "SELECT count(DISTINCT UpCode) FROM ZqlomiraAll_detail WHERE ProductDwgCode='ZQ8600' AND DCode='ZQ8600-00-01'", "2"},
    {"the deepest line's parent chain",
     "SELECT UpCode FROM ZqlomiraAll_detail WHERE ProductDwgCode='ZQ8600' AND DCode='ZQ8600-01-02-01-01'",
     "ZQ8600-01-02-01"},
    {"upper-level parts of a changed part", "SELECT Upcode FROM ZqlomiraAll_detail WHERE DCode = 'ZQ8700-02-01'",
     "ZQ8700-02"},
    {"titles in the 360-day default range",
     "SELECT count(*) FROM ZqlomiraAll_title WHERE Ttime>'2025-12-13' AND Ttime<'2026-12-09'", "31"},
    {"archived documents in the 30-day default range",
     "SELECT count(*) FROM Documents WHERE FileDate>='2026-11-08' AND FileDate<='2026-12-09'", "7"},
    {"change orders in the 30-day default range",
     "SELECT count(*) FROM ECOModifyManage WHERE SaveDate>'2026-11-08' AND SaveDate<'2026-12-09'", "6"},
    {"distribution after ltrim",
     "SELECT count(*) FROM ECOModifyManage WHERE ECONo IN (SELECT ECONo FROM ECOHandout WHERE ECOGroup='修改单' AND "
     "(ltrim(Enpartment)='二车间'))", "3"},
    {"handling opinions", "SELECT count(*) FROM ECOModifyManage WHERE ECONo IN (SELECT ECONo FROM ECOModifyPart WHERE "
                          "(Result LIKE '%报废%'))", "3"},
    {"an order file", "SELECT FileBulk FROM ECORelateFile WHERE ECOGroup='修改单' AND ECONo='XG2026-001' AND "
                      "DocType='_ZQ_ECO'", "1"},
    {"overdue projects", "SELECT count(*) FROM ProjectManage WHERE (AlertTime<>'' AND AlertTime<='2026-12-08') AND "
                         "(WorkState<>'归档' AND WorkState<>'已归档' AND WorkState<>'已入库')", "2"},
    {"overdue team work", "SELECT count(*) FROM TeamWorkManage WHERE (CheckTime<>'' AND CheckTime<='2026-12-08') AND "
                          "WorkState<>'完成'", "1"},
    {"change tasks", "SELECT count(*) FROM ProjectManage WHERE ProjectPath='更改任务管理'", "2"},
    {"parts in design of managed projects",
     "SELECT count(*) FROM TeamWorkPart a, TeamWorkManage b, ProjectManage c WHERE a.WorkID = b.WorkID AND "
     "((b.WorkID LIKE c.ProjectNo || '-%') OR (b.WorkID LIKE c.ProjectNo || '#%')) AND c.ProjectPath = '项目管理'", "7"},
    {"the admin user", "SELECT UserName FROM ZqUser WHERE LogName='admin'", "系统管理员"},
    {"a resource file by item and title",
     "SELECT FileName FROM EngineerViewDoc WHERE ItemCode='R-DJ-01' AND DocType='Y系列电机样本'", "Y系列电机样本.pdf"},
};

void ExpectProbes(const QString& url)
{
    for (const Probe& p : kProbes)
        EXPECT_EQ(str(One(url, QString::fromUtf8(p.sql))), p.expected) << p.what;
}

} // namespace

TEST(Seed, EveryTableHasTheDemoRows)
{
    SeededHome home;
    ASSERT_TRUE(home.ok()) << str(home.error());
    ExpectDemoCounts(home.databaseUrl());
}

TEST(Seed, TheDemoDataAnswersWhatThePagesAsk)
{
    SeededHome home;
    ASSERT_TRUE(home.ok()) << str(home.error());
    ExpectProbes(home.databaseUrl());
}

TEST(Seed, PostgreSqlGetsTheSameSchemaAndRows)
{
    zq::test::PgTestDatabase pg;
    if (!pg.available())
        GTEST_SKIP() << "ZQ_TEST_PG is not set";
    ASSERT_TRUE(pg.ok()) << str(pg.error());
    SeededHome::Options options;
    options.databaseUrl = pg.url();
    SeededHome home(options);
    ASSERT_TRUE(home.ok()) << str(home.error());
    ExpectDemoCounts(pg.url());
    ExpectProbes(pg.url());
    EXPECT_EQ(One(pg.url(), QStringLiteral("SELECT length(DocContent) > 0 FROM EngineerViewDoc LIMIT 1")),
              QStringLiteral("true"));
}

// Every row of every table, each row's fields joined, sorted: the same data whatever the
// order or the NULL placement of the engine.
QStringList SortedRows(const QString& url)
{
    QStringList rows;
    for (const seed::Table& t : seed::PdmTables())
        for (const QStringList& row :
             Query(url, QStringLiteral("SELECT %1 FROM %2").arg(t.columnNames().join(QLatin1Char(',')), t.name)))
            rows.append(t.name + QChar(0x1e) + row.join(QChar(0x1f)));
    rows.sort();
    return rows;
}

// pdm-seed writes the same schema and rows on every engine, natively and through ODBC (where the
// column types follow the system the ODBC driver reports).
class SeedOnEveryEngine : public testing::TestWithParam<const char*> {};

TEST_P(SeedOnEveryEngine, GivesTheRowsItGivesOnSqlite)
{
    SeededHome::Options options;
    options.setEnvironment = false;
    zq::test::EngineHome engine(QString::fromLatin1(GetParam()), options);
    if (!engine.available())
        GTEST_SKIP() << engine.skipReason();
    ASSERT_TRUE(engine.ok()) << str(engine.error());
    SeededHome reference(options);
    ASSERT_TRUE(reference.ok()) << str(reference.error());
    ExpectDemoCounts(engine.databaseUrl());
    ExpectProbes(engine.databaseUrl());
    const QStringList rows = SortedRows(engine.databaseUrl());
    EXPECT_EQ(rows.size(), 251);
    EXPECT_TRUE(rows == SortedRows(reference.databaseUrl())) << "the rows differ from SQLite's";
}

INSTANTIATE_TEST_SUITE_P(Engines, SeedOnEveryEngine, testing::ValuesIn(zq::test::EngineNames()),
                         [](const testing::TestParamInfo<const char*>& info) { return zq::test::EngineTestName(info.param); });

TEST(Seed, ModuleTablesOnlyLeavesOutTheStandInTables)
{
    SeededHome::Options options;
    options.moduleTablesOnly = true;
    SeededHome home(options);
    ASSERT_TRUE(home.ok()) << str(home.error());
    CZQDBConnect connection(home.databaseUrl());
    ASSERT_TRUE(connection.Init() && connection.ConnectPDM()) << str(connection.LastError());
    int moduleTables = 0;
    for (const seed::Table& t : seed::PdmTables()) {
        EXPECT_EQ(connection.HasTable(t.name), !t.standIn) << str(t.name);
        moduleTables += t.standIn ? 0 : 1;
    }
    EXPECT_EQ(moduleTables, 19);
    EXPECT_EQ(Count(home.databaseUrl(), QStringLiteral("SELECT count(*) FROM ECOHandout")), 11);

    QString error;
    const auto parsed = seed::ParseSeedCommandLine({QStringLiteral("--home"), QStringLiteral("/tmp/x"),
                                                    QStringLiteral("--module-tables-only")}, &error);
    ASSERT_TRUE(parsed.has_value()) << str(error);
    EXPECT_TRUE(parsed->options.moduleTablesOnly);
}

TEST(Seed, TheClientFindsTheDatabaseThroughTheInstallation)
{
    SeededHome home;
    ASSERT_TRUE(home.ok()) << str(home.error());
    zq::test::ScopedEnv noDb("ZQPDM_DB", std::nullopt);
    // Both spellings of the configuration path reach the same file.
    EXPECT_EQ(InstallPath(QStringLiteral("RNDS\\SPT\\ZQPDMCAD.INI")), home.path(QStringLiteral("rnds/spt/zqpdmcad.ini")));
    EXPECT_EQ(InstallPath(QStringLiteral("\\Support\\Search.cfg")), home.path(QStringLiteral("Support/Search.cfg")));
    CZQDBConnect connection;
    ASSERT_TRUE(connection.Init() && connection.ConnectPDM()) << str(connection.LastError());
    EXPECT_EQ(connection.Url(), home.databaseUrl());
    EXPECT_EQ(connection.GetSelectItemData(QStringLiteral("SELECT ProductName FROM Product WHERE ProductDwgCode = 'ZQ8600'")),
              QStringLiteral("ZQ8600型减速器"));
}

TEST(Seed, ACopiedInstallationReadsItsOwnDatabaseAndStore)
{
    QTemporaryDir scratch;   // made before the installation, which points TMPDIR inside itself
    SeededHome original;
    ASSERT_TRUE(original.ok()) << str(original.error());
    const QString copy = scratch.filePath(QStringLiteral("copy"));
    ASSERT_EQ(QProcess::execute(QStringLiteral("cp"), {QStringLiteral("-a"), original.home(), copy}), 0);
    // The copy is changed; the original stays as it was.
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("copy"));
        db.setDatabaseName(copy + QStringLiteral("/pdm.db"));
        ASSERT_TRUE(db.open());
        QSqlQuery update(db);
        ASSERT_TRUE(update.exec(QStringLiteral("UPDATE Product SET ProductName = '副本' WHERE ProductDwgCode = 'ZQ8600'")));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("copy"));
    zq::test::ScopedEnv home("ZQPDM_HOME", copy);
    zq::test::ScopedEnv noDb("ZQPDM_DB", std::nullopt);
    zq::test::ScopedEnv noStore("ZQPDM_FTP", std::nullopt);
    CZQDBConnect connection;
    ASSERT_TRUE(connection.Init() && connection.ConnectPDM()) << str(connection.LastError());
    EXPECT_EQ(connection.Url(), QStringLiteral("sqlite:") + copy + QStringLiteral("/pdm.db"));
    EXPECT_EQ(connection.GetSelectItemData(QStringLiteral("SELECT ProductName FROM Product WHERE ProductDwgCode = 'ZQ8600'")),
              QStringLiteral("副本"));

    const QString storeRoot = copy + QStringLiteral("/ftpstore");
    QDirIterator files(storeRoot + QStringLiteral("/Zq"), QDir::Files, QDirIterator::Subdirectories);
    ASSERT_TRUE(files.hasNext());
    const QFileInfo stored(files.next());
    const QString folder = stored.absolutePath().mid(storeRoot.size());
    ASSERT_TRUE(WriteGbkFile(stored.absoluteFilePath(), QStringLiteral("副本的文件")));
    CZQSaveFileToFTP store;
    ASSERT_TRUE(store.InitZQPDMFTP()) << str(store.LastError());
    const QString local = TempFolder() + QStringLiteral("fetched-from-copy");
    ASSERT_TRUE(store.GetFileFromFTP(folder, stored.fileName(), local)) << str(store.LastError());
    EXPECT_EQ(ReadFile(local), EncodeGbk(QStringLiteral("副本的文件")));
}

TEST(Seed, RelativeLocationsInTheConfigurationCountFromTheInstallation)
{
    SeededHome home;
    ASSERT_TRUE(home.ok()) << str(home.error());
    zq::test::ScopedEnv noDb("ZQPDM_DB", std::nullopt);
    const QString ini = home.path(QStringLiteral("rnds/spt/zqpdmcad.ini"));
    const QString before = DecodeFileText(ReadFile(ini));
    const struct {
        const char* configured;
        QString expected;
    } cases[] = {
        {"sqlite:pdm.db", QStringLiteral("sqlite:") + home.home() + QStringLiteral("/pdm.db")},
        {"sqlite:data/../pdm.db", QStringLiteral("sqlite:") + home.home() + QStringLiteral("/pdm.db")},
        {"sqlite:/srv/zq/pdm.db", QStringLiteral("sqlite:/srv/zq/pdm.db")},
        {"postgresql://zq@db.example:5432/pdm", QStringLiteral("postgresql://zq@db.example:5432/pdm")},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(WriteGbkFile(ini, before + QStringLiteral("\r\n[Database]\r\nUrl=") + QString::fromUtf8(c.configured)));
        EXPECT_EQ(db::ConfiguredConnectionUrl(), c.expected) << c.configured;
    }
}

TEST(Seed, ADatabaseNamedOnTheCommandLineIsWrittenDown)
{
    QTemporaryDir scratch;
    const QString url = QStringLiteral("sqlite:") + scratch.filePath(QStringLiteral("elsewhere.db"));
    SeededHome::Options options;
    options.databaseUrl = url;
    SeededHome home(options);
    ASSERT_TRUE(home.ok()) << str(home.error());
    EXPECT_EQ(GetPrivateProfileString(QStringLiteral("Database"), QStringLiteral("Url"), QString(), 260,
                                      home.path(QStringLiteral("rnds/spt/zqpdmcad.ini"))),
              url);
}

// A database named with --db may be a customer's: once our tables hold rows there, seeding it
// again is refused, names the tables and changes nothing, until --replace is given.
class SeedGuard : public testing::TestWithParam<const char*> {};

TEST_P(SeedGuard, ANamedDatabaseHoldingDataIsRefusedUnlessReplaced)
{
    QTemporaryDir scratch;
    std::unique_ptr<zq::test::PgTestDatabase> pg;
    QString url = QStringLiteral("sqlite:") + scratch.filePath(QStringLiteral("customer.db"));
    if (QLatin1String(GetParam()) == QLatin1String("postgresql")) {
        pg = std::make_unique<zq::test::PgTestDatabase>();
        if (!pg->available())
            GTEST_SKIP() << "ZQ_TEST_PG is not set";
        ASSERT_TRUE(pg->ok()) << str(pg->error());
        url = pg->url();
    }
    const auto seedInto = [&url](const QString& home, bool replace) {
        seed::SeedOptions options;
        options.home = home;
        options.databaseUrl = url;
        options.replace = replace;
        options.today = QDate(2026, 3, 1);
        seed::Seeder seeder(options);
        const bool ok = seeder.Run();
        return std::make_pair(ok, seeder.LastError());
    };
    ASSERT_TRUE(seedInto(scratch.filePath(QStringLiteral("first")), false).first) << "an empty database is seeded";
    Execute(url, QStringLiteral("CREATE TABLE CustomerOwn (Id INTEGER)"));
    Execute(url, QStringLiteral("INSERT INTO CustomerOwn (Id) VALUES (7)"));
    Execute(url, QStringLiteral("INSERT INTO Product (ProductDwgCode, ProductName) VALUES ('CUST-1', '客户的产品')"));

    const QString second = scratch.filePath(QStringLiteral("second"));
    const auto [refused, why] = seedInto(second, false);
    EXPECT_FALSE(refused);
    EXPECT_TRUE(why.contains(QStringLiteral("Product")) && why.contains(QStringLiteral("--replace"))) << str(why);
    EXPECT_FALSE(why.contains(QStringLiteral("password"))) << str(why);
    EXPECT_EQ(Count(url, QStringLiteral("SELECT count(*) FROM Product WHERE ProductDwgCode = 'CUST-1'")), 1);
    EXPECT_FALSE(QFileInfo::exists(second)) << "the refused run leaves no installation folder behind";

    const auto [replaced, error] = seedInto(second, true);
    ASSERT_TRUE(replaced) << str(error);
    EXPECT_EQ(Count(url, QStringLiteral("SELECT count(*) FROM Product WHERE ProductDwgCode = 'CUST-1'")), 0);
    EXPECT_EQ(Count(url, QStringLiteral("SELECT count(*) FROM CustomerOwn")), 1) << "a table not ours is never touched";
}

INSTANTIATE_TEST_SUITE_P(Engines, SeedGuard, testing::Values("sqlite", "postgresql"));

TEST(Seed, AFailedRunLeavesNothingItCreated)
{
    QTemporaryDir scratch;
    const QString existing = scratch.filePath(QStringLiteral("existing"));
    ASSERT_TRUE(QDir().mkpath(existing));
    for (const QString& home : {scratch.filePath(QStringLiteral("new")), existing}) {
        seed::SeedOptions options;
        options.home = home;
        options.databaseUrl = QStringLiteral("postgresql://nobody@127.0.0.1:1/nothing?connect_timeout=2");
        seed::Seeder seeder(options);
        EXPECT_FALSE(seeder.Run());
        if (home == existing)
            EXPECT_TRUE(QDir(existing).isEmpty()) << QDir(existing).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).join(u' ').toStdString();
        else
            EXPECT_FALSE(QFileInfo::exists(home));
    }
}

TEST(Seed, SearchCfgIsGbkWithTheTwelveCaptionsInOrder)
{
    SeededHome home;
    ASSERT_TRUE(home.ok()) << str(home.error());
    const QByteArray bytes = ReadFile(home.path(QStringLiteral("Support/Search.cfg")));
    const QStringList captions = {
        QStringLiteral("设计零部件"), QStringLiteral("资源文件"),     QStringLiteral("文档内容"), QStringLiteral("设计文档"),
        QStringLiteral("数据视图项"), QStringLiteral("批次产品"),     QStringLiteral("更改单"),
        QStringLiteral("更改发放部门"), QStringLiteral("更改影响面"), QStringLiteral("更改处理意见"),
        QStringLiteral("设计任务"),   QStringLiteral("设计过程零部件")};
    QStringDecoder gbk("GBK");
    ASSERT_TRUE(gbk.isValid());
    const QString text = gbk.decode(bytes);
    EXPECT_FALSE(gbk.hasError());
    EXPECT_EQ(text, captions.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
    // GBK, not UTF-8: 设 is C9 E8 in GBK.
    EXPECT_TRUE(bytes.startsWith(QByteArray("\xC9\xE8", 2)));
}

TEST(Seed, ConfigurationIsReadableThroughTheProfileReader)
{
    SeededHome home;
    ASSERT_TRUE(home.ok()) << str(home.error());
    const QString cad = home.path(QStringLiteral("rnds/spt/zqpdmcad.ini"));
    const QString cod = home.path(QStringLiteral("sys/zqpdmcod.ini"));
    struct Case {
        QString file;
        const char* section;
        const char* key;
        QString expected;
    };
    const Case cases[] = {
        {cad, "产品属性", "标题其他1", QStringLiteral("重量")},
        {cad, "产品属性", "标题其他4", QStringLiteral("旧图号")},
        {cad, "产品属性", "明细规格", QStringLiteral("规格")},
        {cad, "产品属性", "明细其他2", QStringLiteral("旧图号")},
        {cad, "零部件附加信息", "附加其他5", QStringLiteral("备件")},
        {cad, "图纸入库配置", "电子文档存储方式", QStringLiteral("0")},
        {cad, "图纸入库配置", "资源文档存储方式", QStringLiteral("0")},
        {cad, "图纸入库配置", "标题其他4", QStringLiteral("119")},
        {cad, "资源视图信息", "视图其他1", QStringLiteral("版本")},
        // The installation's own database and store are its defaults: no location is written down.
        {cad, "Database", "Url", QStringLiteral("(missing)")},
        {cad, "FTP", "Url", QStringLiteral("(missing)")},
        {cod, "ZQPDM图号管理", "旧图号项", QStringLiteral("119")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(str(GetPrivateProfileString(QString::fromUtf8(c.section), QString::fromUtf8(c.key),
                                              QStringLiteral("(missing)"), 260, c.file)),
                  str(c.expected))
            << c.section << "/" << c.key;

    // The old-drawing-number item selects one of the title item numbers: the first equal one is 标题其他4.
    const QString oldItem = GetPrivateProfileString(QStringLiteral("ZQPDM图号管理"), QStringLiteral("旧图号项"),
                                                    QStringLiteral("-1"), 100, cod);
    int selected = 0;
    for (int n = 5; n >= 1; --n)
        if (GetPrivateProfileString(QStringLiteral("图纸入库配置"), QStringLiteral("标题其他%1").arg(n),
                                    QString(), 100, cad) == oldItem)
            selected = n;
    EXPECT_EQ(selected, 4);
}

TEST(Seed, EveryStoredFileIsInTheStoreAndInTheDatabase)
{
    SeededHome home;
    ASSERT_TRUE(home.ok()) << str(home.error());
    const QString url = home.databaseUrl();
    struct Source {
        const char* sql;   // slot 1, slot 2, revision, FileName
    };
    const Source sources[] = {
        {"SELECT ProductDwgCode, Code, RevNumber, FileName FROM Documents"},
        {"SELECT ProjectNo, FileRemark, 'A', FileName FROM TaskDocuments"},
        {"SELECT FileID, PartCode, PartRev, FileName FROM TeamWorkResult"},
    };
    int checked = 0;
    for (const Source& s : sources) {
        for (const QStringList& row : Query(url, QString::fromUtf8(s.sql))) {
            const QString path = home.storeDir() + QStringLiteral("/Zq/Proven/%1/%2/%3/%4").arg(row[0], row[1], row[2], row[3]);
            const QByteArray stored = ReadFile(path);
            EXPECT_FALSE(stored.isEmpty()) << str(path);
            const QString key = QStringLiteral("%1_%2_%3").arg(row[0], row[1], row[3]);
            const QList<QStringList> blob =
                Query(url, QStringLiteral("SELECT count(*) FROM ZqPDMFile WHERE FileKey='%1'").arg(key));
            EXPECT_EQ(blob.value(0).value(0), QStringLiteral("1")) << str(key);
            ++checked;
        }
    }
    EXPECT_EQ(checked, 18);

    // The database copy is byte-identical to the store copy.
    const auto target = seed::ParseDatabaseUrl(url);
    seed::SeedConnection connection(*target);
    QString error;
    ASSERT_TRUE(connection.open(&error)) << str(error);
    QSqlQuery q(connection.db());
    ASSERT_TRUE(q.exec(QStringLiteral("SELECT ItemCode, FileName, DocContent, FileBulk FROM EngineerViewDoc")));
    int resources = 0;
    while (q.next()) {
        const QString path = home.storeDir() + QStringLiteral("/Zq/Resource/%1/%2").arg(q.value(0).toString(), q.value(1).toString());
        const QByteArray content = q.value(2).toByteArray();
        EXPECT_FALSE(content.isEmpty());
        EXPECT_EQ(ReadFile(path), content) << str(path);
        EXPECT_EQ(q.value(3).toInt(), seed::KiloBytes(content.size()));
        ++resources;
    }
    EXPECT_EQ(resources, 6);
}

TEST(Seed, ScaleAddsGeneratedProducts)
{
    SeededHome::Options options;
    options.scale = 3;
    SeededHome home(options);
    ASSERT_TRUE(home.ok()) << str(home.error());
    const QString url = home.databaseUrl();
    EXPECT_EQ(Count(url, QStringLiteral("SELECT count(*) FROM ZqlomiraAll_detail")), 37 + 2 * seed::kLinesPerScaleStep);
    EXPECT_EQ(Count(url, QStringLiteral("SELECT count(*) FROM Product")), 5);
    EXPECT_EQ(Count(url, QStringLiteral("SELECT count(*) FROM ZqlomiraAll_detail WHERE ProductDwgCode='ZQG0002'")),
              seed::kLinesPerScaleStep);
    EXPECT_EQ(Count(url, QStringLiteral("SELECT count(*) FROM ZqlomiraAll_title")),
              32 + 2 * seed::ScaleShape().titlesPerStep());
    // Four levels below the product: 14 library parts and the shared bolt under every
    // third-level assembly.
    EXPECT_EQ(Count(url, QStringLiteral("SELECT count(*) FROM ZqlomiraAll_detail WHERE UpCode='ZQG0001-04-04-04'")), 15);
    EXPECT_EQ(Count(url, QStringLiteral("SELECT count(*) FROM ZqlomiraAll_detail WHERE ProductDwgCode='ZQG0001' AND "
                                        "DCode='GB5783-M8X20'")),
              64);
    const struct {
        const char* what;
        const char* sql;
        bool some;
    } cases[] = {
        {"library parts used by both products",
         "SELECT count(*) FROM (SELECT DCode FROM ZqlomiraAll_detail WHERE DCode LIKE 'ZQK-%' GROUP BY DCode "
         "HAVING count(DISTINCT ProductDwgCode) > 1) shared",
         true},
        {"library parts without a drawing",
         "SELECT count(*) FROM ZqlomiraAll_detail d WHERE DCode LIKE 'ZQK-%' AND NOT EXISTS "
         "(SELECT 1 FROM ZqlomiraAll_title t WHERE t.Tcode = d.DCode)",
         false},
        {"a part twice in one assembly",
         "SELECT count(*) FROM (SELECT UpCode, DCode FROM ZqlomiraAll_detail WHERE ProductDwgCode LIKE 'ZQG%' "
         "GROUP BY UpCode, DCode HAVING count(*) > 1) twice",
         false},
        {"drawings dated more than a year back",
         "SELECT count(*) FROM ZqlomiraAll_title WHERE ProductDwgCode LIKE 'ZQG%' AND Ttime < '2025-06-01'", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Count(url, QString::fromUtf8(c.sql)) > 0, c.some) << c.what;
    EXPECT_TRUE(QFile::exists(home.storeDir() + QStringLiteral("/Zq/Proven/ZQG0002/ZQG0002/A/ZQG0002.dwg")));
}

TEST(Seed, TheSameTodayGivesTheSameDataAndAnotherDayShiftsTheDates)
{
    SeededHome::Options options;
    options.setEnvironment = false;
    SeededHome a(options);
    SeededHome b(options);
    options.today = QDate(2027, 3, 1);
    SeededHome c(options);
    ASSERT_TRUE(a.ok() && b.ok() && c.ok());
    EXPECT_EQ(DatabaseDigest(a.databaseUrl()), DatabaseDigest(b.databaseUrl()));
    EXPECT_NE(DatabaseDigest(a.databaseUrl()), DatabaseDigest(c.databaseUrl()));
    EXPECT_EQ(One(c.databaseUrl(), QStringLiteral("SELECT SaveDate FROM ECOModifyManage WHERE ECONo='XG2026-006'")),
              QStringLiteral("2027-03-01 13:45:00"));
    EXPECT_EQ(ReadFile(a.path(QStringLiteral("rnds/spt/zqpdmcad.ini"))).size(),
              ReadFile(b.path(QStringLiteral("rnds/spt/zqpdmcad.ini"))).size());
}

TEST(Seed, ReseedingReplacesTheDatabaseAndTheStoreButKeepsOtherFiles)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    seed::SeedOptions options;
    options.home = dir.path();
    options.today = zq::test::DefaultTestToday();
    ASSERT_TRUE(seed::Seeder(options).Run());
    const QString url = seed::DefaultDatabaseUrl(dir.path());
    Query(url, QStringLiteral("INSERT INTO Product (ProductDwgCode) VALUES ('EXTRA')"));
    const QString stray = dir.path() + QStringLiteral("/ftpstore/Zq/Proven/EXTRA/x.txt");
    const QString mine = dir.path() + QStringLiteral("/ftpstore/keep.txt");
    QDir().mkpath(QFileInfo(stray).absolutePath());
    for (const QString& p : {stray, mine}) {
        QFile f(p);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("x");
    }
    // An installation is replaced only when asked.
    seed::Seeder refused(options);
    EXPECT_FALSE(refused.Run());
    EXPECT_TRUE(refused.LastError().contains(QStringLiteral("--replace"))) << str(refused.LastError());
    EXPECT_EQ(Count(url, QStringLiteral("SELECT count(*) FROM Product")), 4);
    EXPECT_TRUE(QFile::exists(stray));
    options.replace = true;
    ASSERT_TRUE(seed::Seeder(options).Run());
    EXPECT_EQ(Count(url, QStringLiteral("SELECT count(*) FROM Product")), 3);
    EXPECT_FALSE(QFile::exists(stray));
    EXPECT_TRUE(QFile::exists(mine));
}

TEST(Seed, CommandLineUsageErrorsAndHelp)
{
    struct Case {
        QStringList args;
        int exitCode;
        const char* message;   // part of the error text; "" for none
    };
    const Case cases[] = {
        {{}, seed::ExitUsage, "--home DIR is required"},
        {{QStringLiteral("--scale"), QStringLiteral("2")}, seed::ExitUsage, "--home DIR is required"},
        {{QStringLiteral("--home")}, seed::ExitUsage, "--home needs a value"},
        {{QStringLiteral("--home"), QStringLiteral("/tmp/x"), QStringLiteral("--scale"), QStringLiteral("0")},
         seed::ExitUsage, "--scale must be a whole number"},
        {{QStringLiteral("--home"), QStringLiteral("/tmp/x"), QStringLiteral("--scale"), QStringLiteral("two")},
         seed::ExitUsage, "--scale must be a whole number"},
        {{QStringLiteral("--home"), QStringLiteral("/tmp/x"), QStringLiteral("--scale=10001")}, seed::ExitUsage,
         "--scale must be a whole number"},
        {{QStringLiteral("--home"), QStringLiteral("/tmp/x"), QStringLiteral("--today"), QStringLiteral("2026-13-01")},
         seed::ExitUsage, "--today must be a date"},
        {{QStringLiteral("--home"), QStringLiteral("/tmp/x"), QStringLiteral("--today"), QStringLiteral("08.12.2026")},
         seed::ExitUsage, "--today must be a date"},
        {{QStringLiteral("--home"), QStringLiteral("/tmp/x"), QStringLiteral("--db"), QStringLiteral("mysql://h/db")},
         seed::ExitUsage, "不支持的数据库地址"},
        {{QStringLiteral("--home"), QStringLiteral("/tmp/x"), QStringLiteral("--verbose")}, seed::ExitUsage,
         "unknown argument: --verbose"},
        {{QStringLiteral("--home"), QStringLiteral("/tmp/x"), QStringLiteral("--replace=yes")}, seed::ExitUsage,
         "unknown argument: --replace=yes"},
        {{QStringLiteral("--home"), QStringLiteral("/tmp/x"), QStringLiteral("--db"),
          QStringLiteral("postgresql://odd:p@ss:w/rd%@127.0.0.1:35499/pwdb")},
         seed::ExitUsage, "百分号编码"},
        {{QStringLiteral("--help")}, seed::ExitOk, ""},
    };
    for (const Case& c : cases) {
        QString out, err;
        QTextStream outStream(&out), errStream(&err);
        EXPECT_EQ(seed::RunSeedCommand(c.args, outStream, errStream), c.exitCode) << str(c.args.join(' '));
        if (*c.message) {
            EXPECT_TRUE(err.contains(QString::fromUtf8(c.message))) << str(err);
            EXPECT_TRUE(err.contains(QStringLiteral("usage: pdm-seed --home DIR"))) << str(err);
        } else {
            EXPECT_TRUE(out.startsWith(QStringLiteral("usage: pdm-seed --home DIR"))) << str(out);
        }
    }
}

TEST(Seed, CommandLineFailureAndSuccessExitCodes)
{
    const QString program = qEnvironmentVariable("ZQ_BINARY_DIR") + QStringLiteral("/bin/pdm-seed");
    if (!QFile::exists(program))
        GTEST_SKIP() << "pdm-seed is not built";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    struct Case {
        QStringList args;
        int exitCode;
        const char* stderrPart;
    };
    const Case cases[] = {
        {{QStringLiteral("--home")}, 2, "--home needs a value"},
        // A closed port: a clear reason, exit 1.
        {{QStringLiteral("--home"), dir.path(), QStringLiteral("--db"), QStringLiteral("postgresql://zq@127.0.0.1:1/none")},
         1, "cannot open the database"},
        {{QStringLiteral("--home"), dir.path(), QStringLiteral("--today"), QStringLiteral("2026-12-08")}, 0, ""},
    };
    for (const Case& c : cases) {
        QProcess p;
        p.start(program, c.args);
        ASSERT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitCode(), c.exitCode) << str(c.args.join(' '));
        EXPECT_TRUE(QString::fromLocal8Bit(p.readAllStandardError()).contains(QString::fromUtf8(c.stderrPart)));
    }
    EXPECT_TRUE(QFile::exists(dir.path() + QStringLiteral("/pdm.db")));
    EXPECT_TRUE(QFile::exists(dir.path() + QStringLiteral("/sys/zqpdmcod.ini")));
}

// Rows go in batches; a table's rows keep the order they were added in, across the writers of
// its different column lists and across batch ends, and nothing pending is lost at the end.
TEST(SeedOutput, BatchedRowsKeepTheirOrderAcrossWritersOfOneTable)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString name = QStringLiteral("seed-output-order");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(dir.filePath(QStringLiteral("order.db")));
        ASSERT_TRUE(db.open());
        ASSERT_TRUE(QSqlQuery(db).exec(seed::CreateTableSql(*seed::FindTable(QStringLiteral("Product")), seed::Engine::Sqlite)));
        {
            seed::SeedOutput out(db, dir.filePath(QStringLiteral("store")));
            const QStringList both{QStringLiteral("ProductDwgCode"), QStringLiteral("ProductName")};
            const QStringList codeOnly{QStringLiteral("ProductDwgCode")};
            // Runs of one writer longer and shorter than a batch, then the other's.
            const int runs[] = {3, 700, 1, 1200, 2, 5};
            int serial = 0;
            for (size_t run = 0; run < std::size(runs); ++run)
                for (int i = 0; i < runs[run]; ++i, ++serial) {
                    const QString code = QStringLiteral("P%1").arg(serial, 5, 10, QLatin1Char('0'));
                    if (run % 2 == 0)
                        out.table(QStringLiteral("Product"), both).add({code, QStringLiteral("名称")});
                    else
                        out.table(QStringLiteral("Product"), codeOnly).add({code});
                }
            out.flush();
        }
        QSqlQuery query(db);
        ASSERT_TRUE(query.exec(QStringLiteral("SELECT ProductDwgCode FROM Product ORDER BY rowid")));
        int serial = 0;
        bool inOrder = true;
        while (query.next())
            inOrder = inOrder && query.value(0).toString() == QStringLiteral("P%1").arg(serial++, 5, 10, QLatin1Char('0'));
        EXPECT_TRUE(inOrder);
        EXPECT_EQ(serial, 3 + 700 + 1 + 1200 + 2 + 5);
    }
    QSqlDatabase::removeDatabase(name);
}

// zqpdm-search for a newcomer, end to end: --describe on every tab, labels and row names where
// ids are asked for, the result list as CSV and JSON, the events as JSON.
#include "CsvReader.h"
#include "DialogTemplate.h"
#include "PageRegistry.h"
#include "SearchToolFixture.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <utility>

namespace {

using zq::test::SearchTool;
using zq::test::ToolRun;

QStringList args(const QString& page, const char* line)
{
    return QStringList{QStringLiteral("--page"), page} + QString::fromUtf8(line).split(u' ', Qt::SkipEmptyParts);
}

QJsonArray jsonArrayOf(const ToolRun& r)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(r.output, &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString() << "\n" << r.output.toStdString();
    return document.array();
}

// The kind --describe gives each kind of template control.
QString describedKind(ControlKind kind)
{
    switch (kind) {
    case ControlKind::Static: return QStringLiteral("text");
    case ControlKind::GroupBox: return QStringLiteral("group");
    case ControlKind::Frame: return QStringLiteral("frame");
    case ControlKind::Edit: return QStringLiteral("edit");
    case ControlKind::Button:
    case ControlKind::DefButton: return QStringLiteral("button");
    case ControlKind::CheckBox: return QStringLiteral("check");
    case ControlKind::Radio: return QStringLiteral("radio");
    case ControlKind::ComboDropList:
    case ControlKind::ComboDropDown: return QStringLiteral("combo");
    case ControlKind::DatePicker: return QStringLiteral("date");
    case ControlKind::ReportList:
    case ControlKind::SortList:
    case ControlKind::HeaderList: return QStringLiteral("list");
    case ControlKind::GridList: return QStringLiteral("grid");
    case ControlKind::TabCtrl: return QStringLiteral("tabs");
    case ControlKind::TreeCtrl: return QStringLiteral("tree");
    }
    return QString();
}

struct KnownLabel {
    const char* page;
    int id;
    const char* label;
};

// Labels a user reads on the tabs; a tab that lands adds its own lines here.
const KnownLabel kKnownLabels[] = {
    {"设计零部件", 1204, "日期:"}, {"设计零部件", 1258, "到:"}, {"设计零部件", 1256, "条件:"},
    {"设计零部件", 1172, "范围"}, {"设计零部件", 1318, ""}, {"设计零部件", 1167, ""},
    {"更改单", 1067, "编制人:"}, {"更改单", 1309, "..."}, {"更改单", 1204, "从:"},
    {"更改单", 1376, "更改单编号(含):"}, {"更改单", 1004, "主题含:"}, {"更改单", 1112, "旧图号"},
    {"更改单", 1023, "状态:"}, {"更改单", 1022, ""},
    {"更改发放部门", 1318, "涉及的发布部门:"}, {"更改发放部门", 1009, "增加"},
    {"更改影响面", 1022, "零部件图号(近似):"}, {"更改影响面", 1041, "涉及上级部件"},
    {"更改处理意见", 1318, "更改零部件的处理意见:"}, {"更改处理意见", 1008, "删除"},
    {"设计任务", 1014, "任务名称:"}, {"设计任务", 1250, "任务类型:"}, {"设计任务", 1204, "分配时间从:"},
    {"设计过程零部件", 24009, "从："}, {"设计过程零部件", 24013, ""},
    {"资源文件", 1318, ""}, {"设计文档", 1251, "文档说明:"}, {"设计文档", 1022, "涉及零部件:"},
    {"设计文档", 1254, "文档类型:"}, {"数据视图项", 1046, "视图项名称"}, {"批次产品", 1258, "到："},
    {"批次产品", 1256, "条件:"},
    {"文档内容", 1260, "内容包含:"}, {"文档内容", 1254, "文档类型:"}, {"文档内容", 1262, "按文件日期"},
    {"文档内容", 1204, "文件日期从:"}, {"文档内容", 1258, "到:"},
};

// Every tab the module registers, also those that land later: each control of the page's
// template and of the search window's is described with its kind, on the page or the window.
TEST_F(SearchTool, DescribeListsEveryControlOfEveryTab)
{
    const DialogTemplate* window = zq::FindModuleTemplate(23001);
    ASSERT_NE(window, nullptr);
    QStringList described;
    for (const zq::KnownPage& known : zq::KnownPages()) {
        const QString caption = QString::fromUtf8(known.caption);
        if (!zq::FindPageFactory(caption))
            continue;
        const DialogTemplate* page = zq::PageTemplate(known.templateId);
        ASSERT_NE(page, nullptr) << known.caption;
        const ToolRun r = run(args(caption, "--describe --format json"));
        ASSERT_EQ(r.exitCode, 0) << known.caption << "\n" << r.dump();
        QMap<QString, QJsonObject> controls;   // "page:1256", "window:1300"
        for (const QJsonValue& value : jsonArrayOf(r)) {
            const QJsonObject control = value.toObject();
            controls.insert(control["place"].toString() + u':' + QString::number(control["id"].toInt()), control);
        }
        for (const auto& [place, dialog] : {std::pair{QStringLiteral("page"), page}, std::pair{QStringLiteral("window"), window}}) {
            for (const ControlSpec& item : dialog->controls) {
                if (item.id < 0)
                    continue;
                const QJsonObject control = controls.value(place + u':' + QString::number(item.id));
                EXPECT_EQ(control["kind"].toString(), describedKind(item.kind)) << known.caption << " " << place.toStdString() << " " << item.id;
            }
        }
        for (const KnownLabel& label : kKnownLabels) {
            if (caption == QString::fromUtf8(label.page)) {
                EXPECT_EQ(controls.value(QStringLiteral("page:%1").arg(label.id))["label"].toString(), QString::fromUtf8(label.label))
                    << label.page << " " << label.id;
            }
        }
        EXPECT_EQ(controls.value(QStringLiteral("window:1300"))["label"].toString(), QStringLiteral("查找"));
        described.append(caption);
    }
    EXPECT_EQ(described.size(), 12) << described.join(u' ').toStdString();
}

// What a newcomer reads: the value and state of each control, the items and rows to choose from.
TEST_F(SearchTool, DescribeShowsValuesAndChoicesAsTheActionsLeaveThem)
{
    const ToolRun r = run(args(QStringLiteral("设计零部件"), "--set 条件=明细 --cell 1318:图号=ZQ86 --describe"));
    ASSERT_EQ(r.exitCode, 0) << r.dump();
    EXPECT_TRUE(r.errStartingWith(QStringLiteral("STATUS\t")).isEmpty()) << "no search without --find";
    EXPECT_EQ(r.out.value(0), QStringLiteral("id\tkind\tlabel\tvalue\tstate\tchoices"));
    for (const char* line : {"1172\tcheck\t范围\t0\t\t", "1258\tdate\t到:\t2026-03-01\tdisabled\t",
                             "1256\tcombo\t条件:\t明细\t\t0 标题 | 1 明细 | 2 附加属性",
                             "1319\tlist\t\t0 rows\t\t0 零部件图号 | 1 零部件图名 | 2 所在产品 | 3 产品名称 | 4 旧图号 | 5 来源类型",
                             "1300\tbutton\t查找\t\t\t"})
        EXPECT_TRUE(r.out.contains(QString::fromUtf8(line))) << line << "\n" << r.out.join(u'\n').toStdString();
    const QStringList grid = r.out.filter(QRegularExpression(QStringLiteral("^1318\t")));
    ASSERT_EQ(grid.size(), 1);
    EXPECT_TRUE(grid[0].startsWith(QStringLiteral("1318\tgrid\t\t\t\t0 图号=ZQ86 | 1 图名 | 2 材料 | 3 规格"))) << grid[0].toStdString();
}

struct NameCase {
    const char* page;
    const char* byId;
    const char* byName;
};

class SearchToolNames : public SearchTool, public testing::WithParamInterface<NameCase> {};

TEST_P(SearchToolNames, GiveTheSameSqlAndRowsAsIds)
{
    const NameCase& c = GetParam();
    const QString page = QString::fromUtf8(c.page);
    const ToolRun byId = run(args(page, c.byId) << QStringLiteral("--trace-sql"));
    const ToolRun byName = run(args(page, c.byName) << QStringLiteral("--trace-sql"));
    ASSERT_EQ(byId.exitCode, 0) << byId.dump();
    ASSERT_EQ(byName.exitCode, 0) << byName.dump();
    const QStringList sql = byId.errStartingWith(QStringLiteral("SQL: "));
    // 数据视图项 searches the host tree, not the database: its rows tell.
    EXPECT_TRUE(!sql.isEmpty() || byId.out.size() > 1) << c.byId;
    EXPECT_EQ(byName.errStartingWith(QStringLiteral("SQL: ")), sql) << c.byName;
    EXPECT_EQ(byName.out, byId.out);
}

INSTANTIATE_TEST_SUITE_P(Cases, SearchToolNames, testing::Values(
    NameCase{"设计零部件", "--set 1204=2025-01-01 --set 1258=2025-06-30 --cell 1318:1=轴",
             "--set 日期=2025-01-01 --set 到：=2025-06-30 --cell 1318:图名=轴"},
    NameCase{"设计零部件", "--set 1256=1 --cell 1318:0=ZQ8600-01 --click 1300",
             "--set 条件:=明细 --cell 1318：图号=ZQ8600-01 --click 查找"},
    NameCase{"更改单", "--set 1023=6 --set 1112=1 --set 1022=JQ8600", "--set 状态=所有 --set 旧图号=1 --set 1022=JQ8600"},
    NameCase{"更改影响面", "--set 1041=1 --set 1022=ZQ8600-01", "--set 涉及上级部件=1 --set 零部件图号(近似)=ZQ8600-01"},
    NameCase{"更改处理意见", "--click 1009 --cell 1318:0=同意", "--click 增加 --cell 更改零部件的处理意见:处理意见=同意"},
    NameCase{"设计任务", "--set 1250=2 --set 1084=zhangwei", "--set 任务类型:=更改任务 --set 负责人=zhangwei"},
    NameCase{"设计过程零部件", "--set 24009=1 --cell 24013:0=ZQ8600-0", "--set 从=1 --cell 24013:图号=ZQ8600-0"},
    NameCase{"资源文件", "--cell 1318:0=电机", "--cell 1318:文件说明=电机"},
    NameCase{"设计文档", "--set 1254=0 --set 1022=ZQ8600", "--set 文档类型=所有 --set 涉及零部件：=ZQ8600"},
    NameCase{"数据视图项", "--tree ZQ8600 --set 1046=*透气?", "--tree ZQ8600 --set 视图项名称=*透气?"},
    NameCase{"批次产品", "--set 1256=1 --cell 1318:0=B2026-02", "--set 条件=明细 --cell 1318:批次号=B2026-02"}));

struct NameErrorCase {
    const char* page;
    const char* arguments;
    const char* message;   // a piece of standard error: what is wrong and the candidates
};

class SearchToolNameErrors : public SearchTool, public testing::WithParamInterface<NameErrorCase> {};

TEST_P(SearchToolNameErrors, AreUsageErrorsThatListTheCandidates)
{
    const NameErrorCase& c = GetParam();
    const ToolRun r = run(args(QString::fromUtf8(c.page), c.arguments));
    EXPECT_EQ(r.exitCode, 2) << r.dump();
    EXPECT_TRUE(r.err.join(u'\n').contains(QString::fromUtf8(c.message))) << c.arguments << "\n" << r.dump();
    EXPECT_TRUE(r.out.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Cases, SearchToolNameErrors, testing::Values(
    NameErrorCase{"设计零部件", "--set 条件x=明细",
                  "no control is labelled \"条件x\"; the labels are: 1172 范围, 1204 日期:, 1258 到:, 1256 条件:, 1057 关联视图项"},
    NameErrorCase{"设计零部件", "--click 保存", "1137 另存为..., 1300 查找, 2 退出"},
    NameErrorCase{"设计零部件", "--cell 1318:图x=A", "control 1318 has no row \"图x\"; its rows are: 0 图号, 1 图名, 2 材料"},
    NameErrorCase{"设计零部件", "--cell 条件:图号=A", "control 1256 is not a list"},
    NameErrorCase{"更改处理意见", "--click 增加 --click 增加 --cell 1318:处理意见=x",
                  "several rows of control 1318 are named \"处理意见\": 0 处理意见, 1 处理意见"}));

// Parts whose texts hold what CSV and JSON must quote or escape.
class SearchToolFormats : public SearchTool {
protected:
    static void SetUpTestSuite()
    {
        SearchTool::SetUpTestSuite();
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("formats"));
        db.setDatabaseName(s_home->filePath(QStringLiteral("pdm.db")));
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        ASSERT_TRUE(q.prepare(QStringLiteral("INSERT INTO ZqlomiraAll_title (Tcode, Tname, ProductDwgCode, Tother4, Ttime) "
                                             "VALUES (?, ?, ?, ?, '2026-02-01 10:00:00')")));
        for (const QStringList& part : kParts) {
            q.addBindValue(part[0]);
            q.addBindValue(part[1]);
            q.addBindValue(part[2]);
            q.addBindValue(part[4]);
            ASSERT_TRUE(q.exec()) << q.lastError().text().toStdString();
        }
        q.finish();
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("formats"));
    }

    // As the list shows them: code, name, product, product name, old code, source kind.
    static inline const QList<QStringList> kParts{
        {"ZZCSV-01", "逗号,引号\"双\"", "ZQ8600", "ZQ8600型减速器", "tab\there", ""},
        {"ZZCSV-02", "换行\n第二行\r\n第三行", "", "", "'单引号' \\反斜杠", ""},
    };
    static inline const QStringList kHeaders{"零部件图号", "零部件图名", "所在产品", "产品名称", "旧图号", "来源类型"};
    static QStringList search(const char* format)
    {
        return args(QStringLiteral("设计零部件"), "--cell 1318:图号=ZZCSV --format") << QString::fromUtf8(format);
    }
};

TEST_F(SearchToolFormats, CsvReadsBackAsTheListsCells)
{
    const ToolRun r = run(search("csv"));
    ASSERT_EQ(r.exitCode, 0) << r.dump();
    QList<QStringList> records = zq::test::readCsv(QString::fromUtf8(r.output));
    ASSERT_FALSE(records.isEmpty());
    EXPECT_EQ(records.takeFirst(), kHeaders);
    std::sort(records.begin(), records.end());
    EXPECT_EQ(records, kParts);
}

TEST_F(SearchToolFormats, JsonReadsBackAsTheListsCells)
{
    const ToolRun r = run(search("json"));
    ASSERT_EQ(r.exitCode, 0) << r.dump();
    QList<QStringList> rows;
    for (const QJsonValue& value : jsonArrayOf(r)) {
        const QJsonObject object = value.toObject();
        EXPECT_EQ(object.keys().size(), kHeaders.size());
        QStringList cells;
        for (const QString& header : kHeaders)
            cells.append(object[header].toString());
        rows.append(cells);
    }
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ(rows, kParts);
    EXPECT_EQ(r.errStartingWith(QStringLiteral("STATUS\t")), QStringList{QStringLiteral("STATUS\t操作提示:共查到2项记录")});
}

// Every line on standard error is one JSON object, the SQL trace and the tool's notes included.
TEST_F(SearchTool, EventsAsJsonLines)
{
    const ToolRun r = run(args(QStringLiteral("设计零部件"),
                               "--cell 1318:图号=ZQ8600-01-02-01-02 --find --menu 0:1 --trace-sql --events json --click 不存在"));
    EXPECT_EQ(r.exitCode, 2) << r.dump();
    QList<QJsonObject> events;
    for (const QString& line : r.err) {
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(line.toUtf8(), &error);
        ASSERT_EQ(error.error, QJsonParseError::NoError) << line.toStdString();
        events.append(document.object());
    }
    auto indexOf = [&](const QString& kind, const QString& part) {
        for (qsizetype i = 0; i < events.size(); ++i)
            if (events[i]["event"].toString() == kind && QJsonDocument(events[i]).toJson().contains(part.toUtf8()))
                return i;
        return qsizetype(-1);
    };
    const qsizetype select = indexOf(QStringLiteral("SQL"), QStringLiteral("SELECT DISTINCT Tcode"));
    const qsizetype status = indexOf(QStringLiteral("STATUS"), QStringLiteral("共查到"));
    const qsizetype call = indexOf(QStringLiteral("CALL"), QStringLiteral("PartUsedSearch"));
    const qsizetype note = indexOf(QStringLiteral("NOTE"), QStringLiteral("--click 不存在"));
    ASSERT_GE(select, 0) << r.dump();
    EXPECT_LT(select, status);
    ASSERT_GE(call, 0) << r.dump();
    EXPECT_EQ(events[call]["args"].toArray(), QJsonArray{QStringLiteral("ZQ8600-01-02-01-02")});
    EXPECT_GT(note, call);
}

// A cancelled search keeps its status text; the json STATUS event says it was cancelled, and the
// text lines stay as they were.
TEST_F(SearchTool, AStatusEventTellsACancelledSearch)
{
    const struct {
        const char* options;
        QString line;   // the STATUS line on standard error
    } cases[] = {
        {"--cancel-after 3 --events json", QStringLiteral(R"({"event":"STATUS","text":"操作提示:共查到3项记录","cancelled":true})")},
        {"--events json", QString()},
        {"--cancel-after 3", QStringLiteral("STATUS\t操作提示:共查到3项记录")},
    };
    for (const auto& c : cases) {
        const ToolRun r = run(args(QStringLiteral("设计零部件"), c.options));
        ASSERT_EQ(r.exitCode, 0) << r.dump();
        QStringList statuses = r.errStartingWith(QStringLiteral("STATUS\t")) + r.errStartingWith(QStringLiteral(R"({"event":"STATUS")"));
        ASSERT_EQ(statuses.size(), 1) << c.options << "\n" << r.dump();
        if (!c.line.isEmpty()) {
            EXPECT_EQ(statuses[0], c.line) << c.options;
        } else {
            const QJsonObject status = QJsonDocument::fromJson(statuses[0].toUtf8()).object();
            EXPECT_EQ(status["cancelled"], QJsonValue(false)) << statuses[0].toStdString();
            EXPECT_EQ(status["text"].toString(), QStringLiteral("操作提示:共查到%1项记录").arg(r.out.size() - 1));
        }
    }
}

} // namespace

// The formats zqpdm-search writes for programs: csv and json result lists, json event lines.
// Each is read back by a real parser (a strict RFC 4180 reader here, QJsonDocument) and must
// give back every cell as it was.
#include "CsvReader.h"
#include "EventLines.h"
#include "ResultFormats.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

using zq::test::readCsv;
using zq::tool::EventFormat;
using zq::tool::EventLines;
using zq::tool::ResultFormats;

namespace {

const QStringList kHeaders{"1", "", "名称, 规格", "零部件图号", "零部件图号"};

const QList<QStringList> kRows{
    {"ZQ8600-01", "a,b", "say \"hi\"", "tab\there", "line\nbreak"},
    {"cr\r\nlf", "", " 两边空格 ", "\"", "back\\slash /"},
    {"O'型圈", "=1+2", QString(QChar(1)) + "控制", "\r", "x\u2028y"},
};

TEST(ResultFormats, CsvReadsBackCellForCell)
{
    const QString csv = ResultFormats::csv(kHeaders, kRows);
    EXPECT_EQ(readCsv(csv), QList<QStringList>{kHeaders} + kRows);
    // Only what needs quoting is quoted.
    EXPECT_TRUE(csv.startsWith("1,,\"名称, 规格\",零部件图号,零部件图号\r\n")) << csv.toStdString();
    EXPECT_EQ(ResultFormats::csv({"a"}, {}), "a\r\n");
}

TEST(ResultFormats, JsonReadsBackAsObjectsKeyedByHeader)
{
    const QByteArray bytes = ResultFormats::json(kHeaders, kRows).toUtf8();
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    ASSERT_TRUE(document.isArray());
    const QJsonArray array = document.array();
    ASSERT_EQ(array.size(), kRows.size());
    // An empty header is keyed by its column's index, a repeated one too; when a header already
    // holds that index, a "#" is added until the key is free.
    const QStringList keys = ResultFormats::jsonKeys(kHeaders);
    EXPECT_EQ(keys, (QStringList{"1", "1#", "名称, 规格", "零部件图号", "4"}));
    for (qsizetype r = 0; r < kRows.size(); ++r) {
        const QJsonObject object = array[r].toObject();
        EXPECT_EQ(object.size(), kHeaders.size());
        for (qsizetype c = 0; c < keys.size(); ++c)
            EXPECT_EQ(object.value(keys[c]).toString(), kRows[r][c]) << r << "," << c;
    }
    EXPECT_EQ(QJsonDocument::fromJson(ResultFormats::json(kHeaders, {}).toUtf8()).array().size(), 0);
}

TEST(ResultFormats, TsvStaysTheToolsOwnLines)
{
    EXPECT_EQ(ResultFormats::format(zq::tool::OutputFormat::Tsv, {"a", "b"}, {{"x\ty", "z\n"}}), "a\tb\nx\\ty\tz\\n\n");
}

TEST(EventLines, JsonEventsAreOneObjectALineWithNamedFields)
{
    const EventLines json(EventFormat::Json);
    struct Case {
        QString line;
        QJsonObject expected;
    };
    const Case cases[] = {
        {json.event("MSG", {"操作提示", "存储完毕，是否打开该文件?\n\"是\""}),
         {{"event", "MSG"}, {"caption", "操作提示"}, {"text", "存储完毕，是否打开该文件?\n\"是\""}}},
        {json.event("CMD", {"Locate", "A1@^P1"}), {{"event", "CMD"}, {"command", "Locate"}, {"argument", "A1@^P1"}}},
        {json.event("CLIP", {"a\tb"}), {{"event", "CLIP"}, {"text", "a\tb"}}},
        {json.event("OPEN", {"/tmp/结果.txt"}), {{"event", "OPEN"}, {"path", "/tmp/结果.txt"}}},
        {json.event("STATUS", {"操作提示:共查到3项记录"}), {{"event", "STATUS"}, {"text", "操作提示:共查到3项记录"}}},
        {json.call("CZQPartBorrowManage", "PartUsedSearch", {"ZQ8600-01", "\\x"}),
         {{"event", "CALL"}, {"component", "CZQPartBorrowManage"}, {"operation", "PartUsedSearch"},
          {"args", QJsonArray{"ZQ8600-01", "\\x"}}}},
        {json.sql("SELECT a FROM t WHERE b = 'O''型'\n"), {{"event", "SQL"}, {"text", "SELECT a FROM t WHERE b = 'O''型'\n"}}},
        {json.note("page \"x\" failed"), {{"event", "NOTE"}, {"text", "page \"x\" failed"}}},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(c.line.contains(u'\n')) << c.line.toStdString();
        EXPECT_TRUE(c.line.startsWith("{\"event\":")) << c.line.toStdString();
        const QJsonDocument document = QJsonDocument::fromJson(c.line.toUtf8());
        EXPECT_EQ(document.object(), c.expected) << c.line.toStdString();
    }
    const EventLines text;
    EXPECT_EQ(text.note("x"), "zqpdm-search: x");
    EXPECT_EQ(text.event("MSG", {"a", "b\nc"}), "MSG\ta\tb\\nc");
}

} // namespace

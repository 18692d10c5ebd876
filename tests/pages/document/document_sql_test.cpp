// The SQL texts and row layouts of the design-document and resource-file pages, byte for byte,
// built from plain values.
#include "DocumentSql.h"
#include "GbkText.h"
#include "ResourceSql.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zq::doc;

namespace {

const QDate kNov8(2026, 11, 8);
const QDate kDec8(2026, 12, 8);
const QString kProject = QStringLiteral(
    "SELECT ProjectNo, FileRemark, 'A', DocumentType, FileName, FileBulk, FileType, FileDate, '项目文档' FROM TaskDocuments");
const QString kDesign = QStringLiteral(
    "SELECT FileID, PartCode, PartRev, FilePrompt, FileName, FileSize, FileType, FileDate, '设计文档' FROM TeamWorkResult");
const QString kArchived = QStringLiteral(
    "SELECT ProductDwgCode, Code, RevNumber, DocumentType, FileName, FileBulk, FileType, FileDate FROM Documents");
const QString kFileDates = QStringLiteral("FileDate>='2026-11-08' AND FileDate<='2026-12-09'");
const QString kSaveDates = QStringLiteral("SaveDate>='2026-11-08' AND SaveDate<='2026-12-09'");

DocumentConditions Conditions(const char* description, const char* fileName, const char* part, const char* remark,
                              QDate from = kNov8, QDate to = kDec8)
{
    DocumentConditions c;
    c.description = QString::fromUtf8(description);
    c.fileName = QString::fromUtf8(fileName);
    c.part = QString::fromUtf8(part);
    c.remark = QString::fromUtf8(remark);
    c.from = from;
    c.to = to;
    return c;
}

struct DocumentCase {
    const char* name;
    DocumentConditions conditions;
    QString project, design, archived;
};

TEST(DocumentSql, EachKindFromTheConditions)
{
    const DocumentCase cases[] = {
        {"nothing typed: the date range alone", Conditions("", "", "", ""),
         kProject + " WHERE " + kFileDates, kDesign + " WHERE " + kSaveDates, kArchived + " WHERE " + kFileDates},
        {"description", Conditions("装配", "", "", ""),
         kProject + " WHERE DocumentType LIKE '%装配%' AND " + kFileDates,
         kDesign + " WHERE FilePrompt LIKE '%装配%' AND " + kSaveDates,
         kArchived + " WHERE DocumentType LIKE '%%装配%%' AND " + kFileDates},
        {"file name", Conditions("", "dwg", "", ""),
         kProject + " WHERE FileName LIKE '%dwg%' AND " + kFileDates,
         kDesign + " WHERE FileName LIKE '%dwg%' AND " + kSaveDates,
         kArchived + " WHERE FileName LIKE '%%dwg%%' AND " + kFileDates},
        {"part: the remark column on project documents, nothing on archived ones", Conditions("", "", "ZQ86", ""),
         kProject + " WHERE FileRemark LIKE '%ZQ86%' AND " + kFileDates,
         kDesign + " WHERE PartCode LIKE '%ZQ86%' AND " + kSaveDates, kArchived + " WHERE " + kFileDates},
        {"remark: not on team-work results", Conditions("", "", "", "密封"),
         kProject + " WHERE FileRemark LIKE '%密封%' AND " + kFileDates, kDesign + " WHERE " + kSaveDates,
         kArchived + " WHERE FileRemark LIKE '%%密封%%' AND " + kFileDates},
        {"all together", Conditions("a", "b", "c", "d"),
         kProject + " WHERE DocumentType LIKE '%a%' AND FileName LIKE '%b%' AND FileRemark LIKE '%d%'"
                    " AND FileRemark LIKE '%c%' AND " + kFileDates,
         kDesign + " WHERE FilePrompt LIKE '%a%' AND FileName LIKE '%b%' AND PartCode LIKE '%c%' AND " + kSaveDates,
         kArchived + " WHERE DocumentType LIKE '%%a%%' AND FileName LIKE '%%b%%' AND FileRemark LIKE '%%d%%' AND "
             + kFileDates},
        {"same day: LIKE the day", Conditions("", "", "", "", kDec8, kDec8),
         kProject + " WHERE FileDate LIKE '2026-12-08%'", kDesign + " WHERE SaveDate LIKE '2026-12-08%'",
         kArchived + " WHERE FileDate LIKE '2026-12-08%'"},
        {"reversed dates and nothing typed: no WHERE", Conditions("", "", "", "", kDec8, kNov8), kProject, kDesign,
         kArchived},
        {"reversed dates keep the text conditions", Conditions("x", "", "", "", kDec8, kNov8),
         kProject + " WHERE DocumentType LIKE '%x%'", kDesign + " WHERE FilePrompt LIKE '%x%'",
         kArchived + " WHERE DocumentType LIKE '%%x%%'"},
        {"trimmed; blanks alone are nothing", Conditions("  a ", " ", "", "", kDec8, kNov8),
         kProject + " WHERE DocumentType LIKE '%a%'", kDesign + " WHERE FilePrompt LIKE '%a%'",
         kArchived + " WHERE DocumentType LIKE '%%a%%'"},
        {"user wildcard and quotes doubled", Conditions("O'型*说明", "", "", "", kDec8, kNov8),
         kProject + " WHERE DocumentType LIKE '%O''型%说明%'", kDesign + " WHERE FilePrompt LIKE '%O''型%说明%'",
         kArchived + " WHERE DocumentType LIKE '%%O''型%说明%%'"},
    };
    for (const DocumentCase& c : cases) {
        EXPECT_EQ(ProjectDocumentSql(c.conditions), c.project) << c.name;
        EXPECT_EQ(DesignDocumentSql(c.conditions), c.design) << c.name;
        EXPECT_EQ(ArchivedDocumentSql(c.conditions), c.archived) << c.name;
    }
}

TEST(DocumentSql, TheKindChoosesTheTextsAndTheirOrder)
{
    DocumentConditions c = Conditions("a", "", "", "");
    const struct {
        int kind;
        QStringList sql;
    } cases[] = {
        {KindAll, {ProjectDocumentSql(c), DesignDocumentSql(c), ArchivedDocumentSql(c)}},
        {KindProject, {ProjectDocumentSql(c)}},
        {KindDesign, {DesignDocumentSql(c)}},
        {KindArchived, {ArchivedDocumentSql(c)}},
        {-1, {}},
    };
    for (const auto& k : cases) {
        c.kind = k.kind;
        const DocumentSqlTexts texts = BuildDocumentSql(c);
        EXPECT_EQ(texts.sql, k.sql) << k.kind;
        EXPECT_FALSE(texts.dateWarning);
    }
    EXPECT_EQ(DocumentConditions().kind, KindArchived);
    EXPECT_EQ(DocumentKindNames(), (QStringList{"所有", "项目文档", "设计文档", "归档文档"}));

    c.from = kDec8;
    c.to = kNov8;
    c.kind = KindAll;
    EXPECT_TRUE(BuildDocumentSql(c).dateWarning);
}

TEST(DocumentRows, RecordsItemTextsAndColumns)
{
    const QStringList fields{"XM2026-01", "ZQ8600-02", "A", "输入轴设计计算书", "输入轴计算书.doc", "12", "Word", "2026-12-01",
                             "项目文档"};
    const DocumentRecord record = DocumentRecord::FromFields(fields, DocumentRowLayout().queryFields);
    const QStringList expected{"XM2026-01", "ZQ8600-02", "A", "输入轴设计计算书", "输入轴计算书.doc", "Word", "12",
                               "2026-12-01", "", "", "", "", ""};
    for (int n = 1; n <= DocumentRecord::kSlotCount; ++n)
        EXPECT_EQ(record.Slot(n), expected.at(n - 1)) << "slot " << n;
    EXPECT_EQ(record.Slot(0), QString());
    EXPECT_EQ(record.Slot(14), QString());
    EXPECT_EQ(DocumentItemText(record), QStringLiteral("ZQ8600-02[A]"));
    EXPECT_EQ(DocumentRowLayout().listedFields,
              (QList<RecordField>{RecordField::Description, RecordField::Size, RecordField::FileType, RecordField::Date}));

    const DocumentRecord resource = DocumentRecord::FromFields(
        {"R-DJ-01", "Y系列电机样本", "Y系列电机样本.pdf", "2", "PDF", "2026-12-01"}, ResourceRowLayout().queryFields);
    const QStringList resourceSlots{"", "R-DJ-01", "", "Y系列电机样本", "Y系列电机样本.pdf", "PDF", "2", "2026-12-01"};
    for (int n = 1; n <= resourceSlots.size(); ++n)
        EXPECT_EQ(resource.Slot(n), resourceSlots.at(n - 1)) << "slot " << n;
    EXPECT_EQ(ResourceItemText(resource), QStringLiteral("Y系列电机样本"));
    EXPECT_EQ(ResourceRowLayout().listedFields,
              (QList<RecordField>{RecordField::Size, RecordField::FileType, RecordField::Date}));
}

const QString kResourceSelect =
    QStringLiteral("SELECT ItemCode, DocType, FileName, FileBulk, FileType, FileDate FROM EngineerViewDoc");

TEST(ResourceSql, ConditionRows)
{
    const struct {
        const char* name;
        QStringList values;
        QString sql;
    } cases[] = {
        {"empty grid: every row", {}, kResourceSelect},
        {"blank rows", QStringList(8, QString()), kResourceSelect},
        {"description", {"电机"}, kResourceSelect + " WHERE DocType LIKE '%电机%'"},
        {"date alone", {"", "", "2026"}, kResourceSelect + " WHERE FileDate LIKE '%2026%'"},
        {"other 4 alone", {"", "", "", "", "", "", "", "轴承"}, kResourceSelect + " WHERE Other4 LIKE '%轴承%'"},
        {"every row", {"a", "b", "c", "d", "e", "f", "g", "h"},
         kResourceSelect + " WHERE DocType LIKE '%a%' AND FileName LIKE '%b%' AND FileDate LIKE '%c%' AND DocRemark "
                           "LIKE '%d%' AND Other1 LIKE '%e%' AND Other2 LIKE '%f%' AND Other3 LIKE '%g%' AND Other4 LIKE '%h%'"},
        {"as typed: no trimming, wildcards and quotes", {"", " a*b", "", "it's"},
         kResourceSelect + " WHERE FileName LIKE '% a%b%' AND DocRemark LIKE '%it''s%'"},
        {"rows beyond eight are not read", {"", "", "", "", "", "", "", "", "ninth"}, kResourceSelect},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BuildResourceSql(c.values), c.sql) << c.name;
}

TEST(ResourceSql, ConfiguredRowNames)
{
    const QStringList fixed{"文件说明", "文件名称", "日期", "备注"};
    EXPECT_EQ(ReadResourceConditionNames(QStringLiteral("/nonexistent/zqpdmcad.ini")),
              (fixed + QStringList{"其他1", "其他2", "其他3", "其他4"}));

    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("zqpdmcad.ini"));
    QFile file(ini);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(zq::EncodeGbk(QStringLiteral("[资源视图信息]\r\n视图其他1=版本\r\n视图其他3= 审核人 \r\n视图其他4=\r\n")));
    file.close();
    EXPECT_EQ(ReadResourceConditionNames(ini), (fixed + QStringList{"版本", "其他2", "审核人", ""}));
}

} // namespace

// Saving a result list as a text file: the bytes of both formats and the dialog flow.
#include "WorkbenchTestKit.h"

#include "ResultExport.h"
#include <QFile>

using namespace wbtest;
using zq::ExportFormat;

namespace {

QByteArray gbk(const char* text)
{
    return zq::EncodeGbk(u8(text));
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

TEST(ResultExportFormat, BothFormatsByteForByte)
{
    const QStringList headers{u8("图号"), u8("名称"), QStringLiteral("A header text of thirty-one b.")};
    const QList<QStringList> rows{
        {QStringLiteral("P-001"), u8("齿轮,右"), QStringLiteral("x")},
        {QString(), u8("轴"), QString()},
    };
    QByteArray pad30 = QByteArray(30, ' ');
    auto padded = [&](const QByteArray& bytes) { return bytes + pad30.left(std::max<qsizetype>(0, 30 - bytes.size())); };

    const struct {
        const char* name;
        ExportFormat format;
        QStringList headers;
        QList<QStringList> rows;
        QByteArray expected;
    } cases[] = {
        {"comma-separated", ExportFormat::CommaSeparated, headers, rows,
         gbk("图号,名称,") + "A header text of thirty-one b.\r\n\r\n" + "P-001," + gbk("齿轮,右") + ",x\r\n" + ","
             + gbk("轴") + ",\r\n"},
        {"space-aligned", ExportFormat::SpaceAligned, headers, rows,
         padded(gbk("图号")) + padded(gbk("名称")) + "A header text of thirty-one b." + "\r\n\r\n"
             + padded("P-001") + padded(gbk("齿轮,右")) + padded("x") + "\r\n" + padded("") + padded(gbk("轴"))
             + padded("") + "\r\n"},
        {"empty list, comma", ExportFormat::CommaSeparated, {u8("图号"), u8("名称")}, {}, gbk("图号,名称") + "\r\n\r\n"},
        {"empty list, aligned", ExportFormat::SpaceAligned, {u8("图号")}, {}, padded(gbk("图号")) + "\r\n\r\n"},
        {"no columns", ExportFormat::CommaSeparated, {}, {{}, {}}, "\r\n\r\n\r\n\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(zq::ResultExport::FormatFile(c.headers, c.rows, c.format), c.expected);
    }
    // "图号" is 4 GBK bytes, padded with 26 spaces; the 31-byte header gets none.
    EXPECT_EQ(padded(gbk("图号")).size(), 30);
}

TEST(ResultExportFormat, ColumnsDroppedByTheOldCodeSwitch)
{
    const struct {
        int header, oldCode, tab, expected;
    } cases[] = {
        {5, 0, 0, 5}, {5, 0, 3, 5}, {5, 1, 0, 5}, {5, 1, 1, 4}, {5, 7, 2, 4}, {0, 1, 1, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(zq::ExportedColumnCount(c.header, c.oldCode, c.tab), c.expected)
            << c.header << " " << c.oldCode << " " << c.tab;
}

// Keeps the save dialog's request.
class SaveWatchingDesktop : public zq::ScriptedDesktop {
public:
    std::optional<zq::SaveFileAnswer> saveFile(const zq::SaveFileRequest& request) override
    {
        requests.append(request);
        return ScriptedDesktop::saveFile(request);
    }
    QList<zq::SaveFileRequest> requests;
};

class ExportFlowTest : public WithApp, public ::testing::Test {
protected:
    void SetUp() override
    {
        app();
        qunsetenv("ZQPDM_OLDCODE");
        m_list.InsertColumn(0, u8("图号"), CReportListCtrl::LVCFMT_LEFT, 80);
        m_list.InsertColumn(1, u8("名称"), CReportListCtrl::LVCFMT_LEFT, 80);
        m_list.InsertItem(0, QStringLiteral("P-1"));
        m_list.SetItemText(0, 1, u8("齿轮"));
    }
    void TearDown() override { qunsetenv("ZQPDM_OLDCODE"); }

    void answer(const QString& path, int filter = 1) { m_desktop.saveAnswer = zq::SaveFileAnswer{path, filter}; }
    QString file(const char* name) const { return m_dir.filePath(QString::fromUtf8(name)); }

    SaveWatchingDesktop m_desktop;
    zq::ScopedDesktop m_scope{m_desktop};
    QTemporaryDir m_dir;
    CReportListCtrl m_list;
};

TEST_F(ExportFlowTest, SavesTheListAndOffersToOpenIt)
{
    const struct {
        const char* name;
        int filter;
        int answer;
        QByteArray bytes;
        bool opened;
    } cases[] = {
        {"comma.txt", 1, zq::IDYES, gbk("图号,名称") + "\r\n\r\n" + "P-1," + gbk("齿轮") + "\r\n", true},
        {"aligned.TxT", 2, zq::IDNO,
         gbk("图号") + QByteArray(26, ' ') + gbk("名称") + QByteArray(26, ' ') + "\r\n\r\n" + "P-1"
             + QByteArray(27, ' ') + gbk("齿轮") + QByteArray(26, ' ') + "\r\n",
         false},
        {"other-answer.txt", 1, zq::IDCANCEL, gbk("图号,名称") + "\r\n\r\n" + "P-1," + gbk("齿轮") + "\r\n", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        m_desktop.events.clear();
        m_desktop.yesNoAnswer = c.answer;
        answer(file(c.name), c.filter);
        zq::ExportResultList(&m_list, 0);
        EXPECT_EQ(readAll(file(c.name)), c.bytes);
        ASSERT_EQ(m_desktop.messages(), QStringList{u8("存储完毕，是否打开该文件?")});
        EXPECT_EQ(m_desktop.eventsOf(QStringLiteral("OPEN")).size(), c.opened ? 1 : 0);
        EXPECT_EQ(m_desktop.waitDepth, 0);
    }
}

TEST_F(ExportFlowTest, SaveDialogRequest)
{
    zq::ExportResultList(&m_list, 0);   // cancelled
    ASSERT_EQ(m_desktop.requests.size(), 1);
    EXPECT_EQ(m_desktop.requests[0].filter,
              u8("以逗号分隔的查询结果文件 (*.txt)|*.txt|以空格对齐的查询结果文件 (*.txt)|*.txt||"));
    EXPECT_EQ(m_desktop.requests[0].defaultExt, QStringLiteral("txt"));
    EXPECT_TRUE(m_desktop.requests[0].overwritePrompt);
    EXPECT_EQ(m_desktop.messages(), QStringList());
}

TEST_F(ExportFlowTest, RefusalsAndFailures)
{
    QFile::link(QStringLiteral("/dev/full"), file("full.txt"));
    const struct {
        const char* name;
        QString path;
        bool withList;
        QString message;
    } cases[] = {
        {"no list", file("x.txt"), false, u8("CListCtrl控件无效!")},
        {"csv refused", file("result.csv"), true, u8("该文件必须是TXT类型的文本文件!")},
        {"txt inside the name only", file("result.txt.bak"), true, u8("该文件必须是TXT类型的文本文件!")},
        {"unwritable", file("missing-folder/result.txt"), true,
         u8("不能打开文件 ") + file("missing-folder/result.txt")},
        {"disk full", file("full.txt"), true, u8("写入文件时出错: ") + file("full.txt")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        m_desktop.events.clear();
        answer(c.path);
        zq::ExportResultList(c.withList ? &m_list : nullptr, 0);
        ASSERT_EQ(m_desktop.messages(), QStringList{c.message});
        const auto box = m_desktop.eventsOf(QStringLiteral("MSG")).first().fields;
        EXPECT_EQ(box.value(0), u8("操作提示"));
        EXPECT_TRUE(m_desktop.eventsOf(QStringLiteral("OPEN")).isEmpty());
    }
    EXPECT_FALSE(QFile::exists(file("result.csv")));
}

TEST_F(ExportFlowTest, NameWithoutExtensionGetsTxt)
{
    answer(file("plain"));
    zq::ExportResultList(&m_list, 0);
    EXPECT_TRUE(QFile::exists(file("plain.txt")));
    EXPECT_EQ(m_desktop.messages(), QStringList{u8("存储完毕，是否打开该文件?")});
}

TEST_F(ExportFlowTest, OldCodeSwitchDropsTheLastColumnOffTheFirstTab)
{
    qputenv("ZQPDM_OLDCODE", "1");
    const struct {
        int tab;
        QByteArray bytes;
    } cases[] = {
        {0, gbk("图号,名称") + "\r\n\r\nP-1," + gbk("齿轮") + "\r\n"},
        {2, gbk("图号") + "\r\n\r\nP-1\r\n"},
    };
    for (const auto& c : cases) {
        answer(file("oldcode.txt"));
        zq::ExportResultList(&m_list, c.tab);
        EXPECT_EQ(readAll(file("oldcode.txt")), c.bytes) << c.tab;
    }
}

// A list whose file is written in several pieces: every row once, in order, in both formats.
TEST_F(ExportFlowTest, LargeListsAreWrittenWhole)
{
    QStringList headers{u8("图号"), u8("名称")};
    QList<QStringList> rows{{QStringLiteral("P-1"), u8("齿轮")}};
    for (int r = 1; r < 60000; ++r) {
        rows.append({QStringLiteral("GB-%1").arg(r), u8("零件%1").arg(r)});
        m_list.InsertItem(r, rows.last()[0]);
        m_list.SetItemText(r, 1, rows.last()[1]);
    }
    for (const auto format : {zq::ExportFormat::CommaSeparated, zq::ExportFormat::SpaceAligned}) {
        const QString path = file(format == zq::ExportFormat::CommaSeparated ? "large-1.txt" : "large-2.txt");
        answer(path, int(format));
        zq::ExportResultList(&m_list, 0);
        EXPECT_EQ(readAll(path), zq::ResultExport::FormatFile(headers, rows, format)) << int(format);
    }
}

// A list holds texts of Latin-1 characters one byte each: exported, those outside ASCII are
// written as GBK (or GB18030 where GBK lacks them) as any other text is, in both formats.
TEST_F(ExportFlowTest, TextsHeldInLatin1ExportAsTheirCharacters)
{
    const QString texts[] = {QStringLiteral("M8×20"), QStringLiteral("Straße"), QStringLiteral("½ é ÿ"),
                             QStringLiteral("°C ±0.5"), QStringLiteral("ZQ8600-01"), QString(40, u'ä'), u8("齿轮×2")};
    QList<QStringList> rows{{QStringLiteral("P-1"), u8("齿轮")}};
    for (int r = 0; r < int(std::size(texts)); ++r) {
        rows.append({texts[r], texts[(r + 1) % std::size(texts)]});
        m_list.InsertItem(r + 1, rows.last()[0]);
        m_list.SetItemText(r + 1, 1, rows.last()[1]);
    }
    for (const auto format : {zq::ExportFormat::CommaSeparated, zq::ExportFormat::SpaceAligned}) {
        const QString path = file(format == zq::ExportFormat::CommaSeparated ? "latin-1.txt" : "latin-2.txt");
        answer(path, int(format));
        zq::ExportResultList(&m_list, 0);
        EXPECT_EQ(readAll(path), zq::ResultExport::FormatFile({u8("图号"), u8("名称")}, rows, format)) << int(format);
    }
}

// Rows whose sub-items were never set export empty cells there, however long the list (the
// export reads rows ahead of the one it writes).
TEST_F(ExportFlowTest, CellsNeverSetExportEmpty)
{
    QList<QStringList> rows{{QStringLiteral("P-1"), u8("齿轮")}};
    for (int r = 1; r < 100; ++r) {
        const bool named = r % 3 == 0;
        rows.append({QStringLiteral("GB-%1").arg(r), named ? u8("零件%1").arg(r) : QString()});
        m_list.InsertItem(r, rows.last()[0]);
        if (named)
            m_list.SetItemText(r, 1, rows.last()[1]);
    }
    answer(file("sparse.txt"));
    zq::ExportResultList(&m_list, 0);
    EXPECT_EQ(readAll(file("sparse.txt")),
              zq::ResultExport::FormatFile({u8("图号"), u8("名称")}, rows, zq::ExportFormat::CommaSeparated));
}

TEST_F(ExportFlowTest, EmptyListWritesHeaderAndEmptyLine)
{
    m_list.DeleteAllItems();
    answer(file("empty.txt"));
    zq::ExportResultList(&m_list, 0);
    EXPECT_EQ(readAll(file("empty.txt")), gbk("图号,名称") + "\r\n\r\n");
}

} // namespace

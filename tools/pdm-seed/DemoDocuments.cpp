// Demo documents: archived design documents, project documents, team-work results and
// resource files. Every file is in the file store and in the database.
#include "DemoData.h"

namespace zq::seed {

namespace {

QString s(const char* text) { return QString::fromUtf8(text); }

QString fileTypeOf(const QString& fileName)
{
    const QString ext = fileName.section(QLatin1Char('.'), -1).toLower();
    if (ext == QLatin1String("dwg"))
        return QStringLiteral("AutoCAD 图形");
    if (ext == QLatin1String("dxf"))
        return QStringLiteral("DXF 图形");
    if (ext == QLatin1String("doc") || ext == QLatin1String("docx"))
        return QStringLiteral("Microsoft Word 文档");
    if (ext == QLatin1String("xls") || ext == QLatin1String("xlsx"))
        return QStringLiteral("Microsoft Excel 工作表");
    if (ext == QLatin1String("csv"))
        return QStringLiteral("CSV 文件");
    if (ext == QLatin1String("pdf"))
        return QStringLiteral("PDF 文档");
    if (ext == QLatin1String("prt"))
        return QStringLiteral("三维零件模型");
    if (ext == QLatin1String("png"))
        return QStringLiteral("PNG 图像");
    return QStringLiteral("文本文档");
}

struct ArchivedDoc {
    const char* product;
    const char* code;
    const char* revision;
    const char* type;       // DocumentType: the description
    const char* fileName;
    const char* remark;
    int daysBack;
};

const ArchivedDoc kArchived[] = {
    {"ZQ8600", "ZQ8600", "A", "减速器装配图", "ZQ8600.dwg", "总装图", 3},
    {"ZQ8600", "ZQ8600", "A", "减速器使用说明书", "ZQ8600说明书.doc", "随机文件", 4},
    {"ZQ8600", "ZQ8600-01-02", "A", "箱盖零件图", "ZQ8600-01-02.dwg", "视孔尺寸已改", 2},
    {"ZQ8600", "ZQ8600-02-01", "B", "输入轴零件图", "ZQ8600-02-01.dwg", "键槽加长", 5},
    {"ZQ8600", "ZQ8600-00-01", "A", "O'型圈选型说明", "O型圈选型.txt", "密封件", 8},
    {"ZQ8700", "ZQ8700", "A", "齿轮泵技术条件", "ZQ8700技术条件.pdf", "技术条件", 10},
    {"ZQ8700", "ZQ8700-01", "A", "泵体零件图", "ZQ8700-01.dwg", "泵体", 12},
    {"ZQ8800", "ZQ8800-01-01", "A", "缸筒零件图", "ZQ8800-01-01.dwg", "旧资料", 45},
    // Files whose text the content index reads, older than the page's default 30 days.
    {"ZQ8600", "ZQ8600-01-01", "A", "箱座零件图", "ZQ8600-01-01.dxf", "DXF 图纸", 35},
    {"ZQ8600", "ZQ8600", "A", "减速器技术条件", "ZQ8600减速器技术条件.docx", "技术条件", 50},
    {"ZQ8600", "ZQ8600", "A", "减速器零件明细表", "ZQ8600零件明细.xlsx", "零件明细", 55},
    {"ZQ8600", "ZQ8600", "A", "减速器标准件清单", "ZQ8600标准件清单.csv", "标准件", 60},
};

struct ProjectDoc {
    const char* projectNo;
    const char* remark;     // FileRemark: the part or subject the document is about
    const char* type;
    const char* fileName;
    int daysBack;
};

const ProjectDoc kProjectDocs[] = {
    {"XM2026-01", "ZQ8600-02", "输入轴设计计算书", "输入轴计算书.doc", 6},
    {"XM2026-01", "ZQ8600", "减速器设计任务书", "减速器设计任务书.doc", 9},
    {"XM2026-02", "ZQ8700", "齿轮泵方案评审记录", "方案评审记录.doc", 2},
};

struct TeamWorkDoc {
    const char* fileId;
    const char* partCode;
    const char* revision;
    const char* prompt;
    const char* fileName;
    int daysBack;
};

const TeamWorkDoc kTeamWorkDocs[] = {
    {"TW0001", "ZQ8600-02-02", "A", "小齿轮三维模型", "ZQ8600-02-02.prt", 4},
    {"TW0002", "ZQ8700-02-01", "B", "主动齿轮零件图", "ZQ8700-02-01.dwg", 6},
    {"TW0003", "ZQ8600-01-01", "A", "箱座强度校核", "箱座强度校核.xls", 11},
};

struct ResourceDoc {
    const char* itemCode;
    const char* fileName;   // DocType is the file title (the name without extension)
    const char* remark;
    const char* other[4];   // 版本, 作者, 审核人, 关键字
    int daysBack;
};

const ResourceDoc kResources[] = {
    {"R-DJ-01", "Y系列电机样本.pdf", "电机选型", {"V2.0", "刘洋", "陈静", "电机"}, 5},
    {"R-ZC-01", "深沟球轴承选型手册.pdf", "轴承选型", {"V3.1", "刘洋", "陈静", "轴承"}, 20},
    {"R-BZ-01", "GB5783螺栓标准.txt", "标准件", {"2000版", "王强", "陈静", "螺栓"}, 40},
    {"R-CL-01", "45钢热处理规范.doc", "材料", {"V1.0", "李娜", "张伟", "热处理"}, 100},
    {"R-CL-02", "HT200铸件技术条件.doc", "材料", {"V1.2", "李娜", "张伟", "铸件"}, 380},
    {"R-TP-01", "减速器外观图.png", "外观图片", {"V1.0", "刘洋", "王强", "外观"}, 15},
};

void writeArchived(DemoContext& ctx)
{
    auto& docs = ctx.out.table(QStringLiteral("Documents"),
                               {QStringLiteral("ProductDwgCode"), QStringLiteral("Code"), QStringLiteral("RevNumber"),
                                QStringLiteral("DocumentType"), QStringLiteral("FileName"), QStringLiteral("FileBulk"),
                                QStringLiteral("FileType"), QStringLiteral("FileDate"), QStringLiteral("FileRemark")});
    for (const ArchivedDoc& d : kArchived) {
        const QString fileName = s(d.fileName);
        const int kb = StoreDesignFile(ctx, s(d.product), s(d.code), s(d.revision), fileName,
                                       DemoFileContent(fileName, s(d.type)));
        docs.add({s(d.product), s(d.code), s(d.revision), s(d.type), fileName, kb, fileTypeOf(fileName),
                  ctx.clock.stamp(d.daysBack, 10, 20), s(d.remark)});
    }
}

void writeProjectDocs(DemoContext& ctx)
{
    auto& docs = ctx.out.table(QStringLiteral("TaskDocuments"),
                               {QStringLiteral("ProjectNo"), QStringLiteral("FileRemark"), QStringLiteral("DocumentType"),
                                QStringLiteral("FileName"), QStringLiteral("FileBulk"), QStringLiteral("FileType"),
                                QStringLiteral("FileDate")});
    for (const ProjectDoc& d : kProjectDocs) {
        const QString fileName = s(d.fileName);
        const int kb = StoreDesignFile(ctx, s(d.projectNo), s(d.remark), QStringLiteral("A"), fileName,
                                       DemoFileContent(fileName, s(d.type)));
        docs.add({s(d.projectNo), s(d.remark), s(d.type), fileName, kb, fileTypeOf(fileName),
                  ctx.clock.stamp(d.daysBack, 15, 5)});
    }
}

void writeTeamWorkDocs(DemoContext& ctx)
{
    auto& docs = ctx.out.table(QStringLiteral("TeamWorkResult"),
                               {QStringLiteral("FileID"), QStringLiteral("PartCode"), QStringLiteral("PartRev"),
                                QStringLiteral("FilePrompt"), QStringLiteral("FileName"), QStringLiteral("FileSize"),
                                QStringLiteral("FileType"), QStringLiteral("FileDate"), QStringLiteral("SaveDate")});
    for (const TeamWorkDoc& d : kTeamWorkDocs) {
        const QString fileName = s(d.fileName);
        const QByteArray content = DemoFileContent(fileName, s(d.prompt));
        StoreDesignFile(ctx, s(d.fileId), s(d.partCode), s(d.revision), fileName, content);
        docs.add({s(d.fileId), s(d.partCode), s(d.revision), s(d.prompt), fileName, int(content.size()),
                  fileTypeOf(fileName), ctx.clock.stamp(d.daysBack, 11, 0), ctx.clock.stamp(d.daysBack, 11, 30)});
    }
}

void writeResources(DemoContext& ctx)
{
    auto& docs = ctx.out.table(
        QStringLiteral("EngineerViewDoc"),
        {QStringLiteral("ItemCode"), QStringLiteral("DocType"), QStringLiteral("FileName"), QStringLiteral("FileBulk"),
         QStringLiteral("FileType"), QStringLiteral("FileDate"), QStringLiteral("DocRemark"), QStringLiteral("Other1"),
         QStringLiteral("Other2"), QStringLiteral("Other3"), QStringLiteral("Other4"), QStringLiteral("DocSaved"),
         QStringLiteral("DocContent")});
    for (const ResourceDoc& r : kResources) {
        const QString fileName = s(r.fileName);
        const QString title = fileName.section(QLatin1Char('.'), 0, -2);
        const QByteArray content = DemoFileContent(fileName, title);
        StoreResourceFile(ctx, s(r.itemCode), fileName, content);
        docs.add({s(r.itemCode), title, fileName, KiloBytes(content.size()), fileTypeOf(fileName),
                  ctx.clock.stamp(r.daysBack, 16, 40), s(r.remark), s(r.other[0]), s(r.other[1]), s(r.other[2]),
                  s(r.other[3]), 1, content});
    }
}

} // namespace

void WriteDocuments(DemoContext& ctx)
{
    writeArchived(ctx);
    writeProjectDocs(ctx);
    writeTeamWorkDocs(ctx);
    writeResources(ctx);
}

} // namespace zq::seed

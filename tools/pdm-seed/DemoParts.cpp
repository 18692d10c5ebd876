// Demo products, drawings (title blocks), part lists, attributes and batch products.
#include "DemoData.h"
#include <QHash>

namespace zq::seed {

namespace {

struct PartSpec {
    const char* code;
    const char* name;
    const char* material;
    const char* standard;      // 规格 (Dstand)
    const char* style;     // 类型: 产品, 部件, 自制件, 外购件, 标准件
    const char* weight;    // 重量 (Tother1, Dother1)
    const char* designer;
    int daysBack;          // drawing date; -1: no drawing (standard parts)
    const char* product;   // the product the drawing belongs to
    const char* state;
};

// Drawings and parts. A part's code tells its place: ZQ8600-01-02 is in ZQ8600-01 of ZQ8600.
const PartSpec kParts[] = {
    {"ZQ8600", "ZQ8600型减速器", "", "i=12.5", "产品", "186.0", "张伟", 40, "ZQ8600", "归档"},
    {"ZQ8600-01", "箱体部件", "", "", "部件", "95.0", "张伟", 38, "ZQ8600", "归档"},
    {"ZQ8600-01-01", "箱座", "HT200", "", "自制件", "62.5", "李娜", 36, "ZQ8600", "审核"},
    {"ZQ8600-01-02", "箱盖", "HT200", "", "自制件", "28.4", "李娜", 35, "ZQ8600", "审核"},
    {"ZQ8600-01-02-01", "视孔盖组件", "", "", "部件", "1.2", "王强", 30, "ZQ8600", "审核"},
    {"ZQ8600-01-02-01-01", "透气塞", "Q235-A", "M16×1.5", "自制件", "0.1", "王强", 28, "ZQ8600", "设计"},
    {"ZQ8600-01-02-01-02", "视孔盖板", "Q235-A", "δ=4", "自制件", "0.6", "王强", 28, "ZQ8600", "设计"},
    {"ZQ8600-02", "输入轴部件", "", "", "部件", "12.0", "张伟", 25, "ZQ8600", "审核"},
    {"ZQ8600-02-01", "输入轴", "45", "φ40×320", "自制件", "3.2", "王强", 5, "ZQ8600", "设计"},
    {"ZQ8600-02-02", "小齿轮", "40Cr", "m=3 z=19", "自制件", "1.8", "王强", 18, "ZQ8600", "审核"},
    {"ZQ8600-03", "输出轴部件", "", "", "部件", "25.0", "张伟", 24, "ZQ8600", "审核"},
    {"ZQ8600-03-01", "输出轴组件", "", "", "部件", "8.5", "李娜", 22, "ZQ8600", "审核"},
    {"ZQ8600-03-01-01", "输出轴", "45", "φ60×420", "自制件", "7.9", "李娜", 21, "ZQ8600", "设计"},
    {"ZQ8600-03-02", "大齿轮", "45", "m=3 z=237", "自制件", "14.6", "李娜", 19, "ZQ8600", "设计"},
    {"ZQ8600-00-01", "O'型圈", "丁腈橡胶", "45×3.55", "外购件", "0.01", "刘洋", 15, "ZQ8600", "设计"},
    {"GB5783-M8X20", "六角头螺栓", "8.8级", "M8×20", "标准件", "0.012", "", -1, "", ""},
    {"GB93-8", "弹簧垫圈", "65Mn", "8", "标准件", "0.002", "", -1, "", ""},
    {"GB276-6206", "深沟球轴承", "GCr15", "6206", "标准件", "0.2", "", -1, "", ""},
    {"GB276-6208", "深沟球轴承", "GCr15", "6208", "标准件", "0.37", "", -1, "", ""},
    {"GB1096-C10X40", "平键", "45", "C10×40", "标准件", "0.03", "", -1, "", ""},
    {"ZQ8700", "ZQ8700型齿轮泵", "", "CB-B25", "产品", "9.6", "李娜", 60, "ZQ8700", "归档"},
    {"ZQ8700-01", "泵体", "HT250", "", "自制件", "4.2", "王强", 58, "ZQ8700", "归档"},
    {"ZQ8700-02", "主动齿轮轴组件", "", "", "部件", "1.6", "李娜", 55, "ZQ8700", "审核"},
    {"ZQ8700-02-01", "主动齿轮", "40Cr", "m=2.5 z=14", "自制件", "0.7", "李娜", 54, "ZQ8700", "审核"},
    {"ZQ8700-02-02", "主动轴", "45", "φ20×150", "自制件", "0.5", "李娜", 54, "ZQ8700", "审核"},
    {"ZQ8700-03", "从动齿轮轴", "40Cr", "m=2.5 z=14", "自制件", "1.1", "王强", 52, "ZQ8700", "审核"},
    {"ZQ8700-04", "泵盖", "HT250", "", "自制件", "2.0", "王强", 50, "ZQ8700", "审核"},
    {"ZQ8800", "ZQ8800型液压缸", "", "φ80×400", "产品", "23.0", "张伟", 200, "ZQ8800", "归档"},
    {"ZQ8800-01", "缸筒组件", "", "", "部件", "12.0", "张伟", 200, "ZQ8800", "归档"},
    {"ZQ8800-01-01", "缸筒", "27SiMn", "φ80/φ95", "自制件", "9.8", "刘洋", 200, "ZQ8800", "归档"},
    {"ZQ8800-01-02", "缸底", "45", "", "自制件", "1.9", "刘洋", 200, "ZQ8800", "归档"},
    {"ZQ8800-02", "活塞杆组件", "", "", "部件", "8.0", "张伟", 200, "ZQ8800", "归档"},
    {"ZQ8800-02-01", "活塞杆", "45", "φ45×480", "自制件", "6.0", "刘洋", 200, "ZQ8800", "归档"},
    {"ZQ8800-02-02", "活塞", "QT500-7", "φ80", "自制件", "1.2", "刘洋", 200, "ZQ8800", "归档"},
    {"ZQ8800-02-03", "导向套", "ZCuSn10Pb1", "", "自制件", "0.8", "刘洋", 400, "ZQ8800", "归档"},
    {"ZQ9900-01", "试制支架", "Q235-A", "", "自制件", "3.5", "刘洋", 10, "ZQ9900", "设计"},
};

struct Line {
    const char* product;
    const char* up;
    const char* code;
    int number;
};

// Part lists. ZQ8600-00-01 (O'型圈) is used under ZQ8600-02 and ZQ8600-03 and in ZQ8700;
// GB5783-M8X20 directly under ZQ8600, under ZQ8600-01 and under ZQ8700-04.
const Line kLines[] = {
    {"ZQ8600", "ZQ8600", "ZQ8600-01", 1},
    {"ZQ8600", "ZQ8600", "ZQ8600-02", 1},
    {"ZQ8600", "ZQ8600", "ZQ8600-03", 1},
    {"ZQ8600", "ZQ8600", "GB5783-M8X20", 8},
    {"ZQ8600", "ZQ8600-01", "ZQ8600-01-01", 1},
    {"ZQ8600", "ZQ8600-01", "ZQ8600-01-02", 1},
    {"ZQ8600", "ZQ8600-01", "GB5783-M8X20", 6},
    {"ZQ8600", "ZQ8600-01", "GB93-8", 6},
    {"ZQ8600", "ZQ8600-01-02", "ZQ8600-01-02-01", 1},
    {"ZQ8600", "ZQ8600-01-02-01", "ZQ8600-01-02-01-01", 1},
    {"ZQ8600", "ZQ8600-01-02-01", "ZQ8600-01-02-01-02", 1},
    {"ZQ8600", "ZQ8600-02", "ZQ8600-02-01", 1},
    {"ZQ8600", "ZQ8600-02", "ZQ8600-02-02", 1},
    {"ZQ8600", "ZQ8600-02", "ZQ8600-00-01", 2},
    {"ZQ8600", "ZQ8600-02", "GB276-6206", 2},
    {"ZQ8600", "ZQ8600-03", "ZQ8600-03-01", 1},
    {"ZQ8600", "ZQ8600-03", "ZQ8600-03-02", 1},
    {"ZQ8600", "ZQ8600-03", "ZQ8600-00-01", 2},
    {"ZQ8600", "ZQ8600-03", "GB276-6208", 2},
    {"ZQ8600", "ZQ8600-03-01", "ZQ8600-03-01-01", 1},
    {"ZQ8600", "ZQ8600-03-01", "GB1096-C10X40", 1},
    {"ZQ8700", "ZQ8700", "ZQ8700-01", 1},
    {"ZQ8700", "ZQ8700", "ZQ8700-02", 1},
    {"ZQ8700", "ZQ8700", "ZQ8700-03", 1},
    {"ZQ8700", "ZQ8700", "ZQ8700-04", 1},
    {"ZQ8700", "ZQ8700", "ZQ8600-00-01", 1},
    {"ZQ8700", "ZQ8700-02", "ZQ8700-02-01", 1},
    {"ZQ8700", "ZQ8700-02", "ZQ8700-02-02", 1},
    {"ZQ8700", "ZQ8700-02", "GB1096-C10X40", 1},
    {"ZQ8700", "ZQ8700-04", "GB5783-M8X20", 4},
    {"ZQ8800", "ZQ8800", "ZQ8800-01", 1},
    {"ZQ8800", "ZQ8800", "ZQ8800-02", 1},
    {"ZQ8800", "ZQ8800-01", "ZQ8800-01-01", 1},
    {"ZQ8800", "ZQ8800-01", "ZQ8800-01-02", 1},
    {"ZQ8800", "ZQ8800-02", "ZQ8800-02-01", 1},
    {"ZQ8800", "ZQ8800-02", "ZQ8800-02-02", 1},
    {"ZQ8800", "ZQ8800-02", "ZQ8800-02-03", 1},
};

struct ProductSpec {
    const char* code;
    const char* name;
    const char* type;
    const char* designer;
    int daysBack;
};

// ZQ9900 has drawings but no row here: a product missing from Product.
const ProductSpec kProducts[] = {
    {"ZQ8600", "ZQ8600型减速器", "减速机", "张伟", 40},
    {"ZQ8700", "ZQ8700型齿轮泵", "液压泵", "李娜", 60},
    {"ZQ8800", "ZQ8800型液压缸", "液压缸", "张伟", 200},
};

struct AttributeSpec {
    const char* code;
    const char* group;
    const char* keyFlag;
    const char* outFlag;
    const char* length;
    const char* width;
    const char* height;
    const char* provider;
    const char* other[5];   // 表面处理, 热处理, 颜色, 质量等级, 备件
};

const AttributeSpec kAttributes[] = {
    {"ZQ8600-01-01", "0101", "Y", "自制", "820", "460", "380", "本厂", {"喷漆", "时效", "灰色", "A", "否"}},
    {"ZQ8600-01-02", "0101", "Y", "自制", "820", "460", "200", "本厂", {"喷漆", "时效", "灰色", "A", "否"}},
    {"ZQ8600-02-01", "0201", "Y", "自制", "400", "80", "80", "本厂", {"发黑", "调质", "", "A", "是"}},
    {"ZQ8600-02-02", "0301", "Y", "自制", "120", "120", "60", "本厂", {"发黑", "渗碳淬火", "", "A", "是"}},
    {"ZQ8600-03-01-01", "0201", "Y", "自制", "500", "100", "100", "本厂", {"发黑", "调质", "", "A", "是"}},
    {"ZQ8600-03-02", "0301", "N", "自制", "740", "740", "90", "本厂", {"发黑", "调质", "", "B", "否"}},
    {"ZQ8600-00-01", "0401", "N", "外购", "60", "60", "10", "西北橡胶厂", {"无", "无", "黑色", "B", "是"}},
    {"ZQ8700-01", "0101", "Y", "自制", "200", "160", "150", "本厂", {"喷漆", "时效", "绿色", "A", "否"}},
    {"ZQ8700-02-01", "0301", "Y", "自制", "60", "60", "40", "本厂", {"发黑", "渗碳淬火", "", "A", "是"}},
    {"ZQ8800-02-01", "0201", "Y", "自制", "560", "80", "80", "本厂", {"镀铬", "调质", "", "A", "是"}},
};

struct BatchSpec {
    const char* number;
    const char* product;
    int daysBack;
};

const BatchSpec kBatches[] = {
    {"B2026-01", "ZQ8600", 12},
    {"B2026-02", "ZQ8700", 3},
};

QString s(const char* text) { return QString::fromUtf8(text); }

QVariant orNull(const char* text)
{
    return *text ? QVariant(QString::fromUtf8(text)) : QVariant(QMetaType(QMetaType::QString));
}

const char* managerOf(const QString& product)
{
    if (product == QLatin1String("ZQ8700"))
        return "李娜";
    if (product == QLatin1String("ZQ8800"))
        return "王强";
    return "张伟";
}

// The title-block fields of a drawing, in TitleColumns() order up to State.
QVariantList titleFields(const PartSpec& p, const QString& state)
{
    const QString style = s(p.style);
    const bool assembly = style == QStringLiteral("产品") || style == QStringLiteral("部件");
    const QString kind = style == QStringLiteral("产品")   ? QStringLiteral("总装图")
                         : style == QStringLiteral("部件") ? QStringLiteral("部装图")
                         : style == QStringLiteral("外购件") ? QStringLiteral("外购件图")
                                                            : QStringLiteral("零件图");
    return {s(p.code),
            s(p.name),
            orNull(p.material),
            assembly ? QStringLiteral("1:2") : QStringLiteral("1:1"),
            assembly ? QStringLiteral("A1") : QStringLiteral("A3"),
            kind,
            QStringLiteral("Q/ZQ 101-2020"),
            assembly ? QStringLiteral("横向") : QStringLiteral("竖向"),
            assembly ? QStringLiteral("有") : QStringLiteral("无"),
            s(p.designer),
            s(p.weight),
            QStringLiteral("陈静"),
            QStringLiteral("刘洋"),
            OldDrawingNumber(s(p.code)),
            QStringLiteral("张伟"),
            s(managerOf(s(p.product))),
            state};
}

QHash<QString, const PartSpec*> partIndex()
{
    QHash<QString, const PartSpec*> index;
    for (const PartSpec& p : kParts)
        index.insert(s(p.code), &p);
    return index;
}

void writeProducts(DemoContext& ctx)
{
    auto& products = ctx.out.table(QStringLiteral("Product"),
                                   {QStringLiteral("ProductDwgCode"), QStringLiteral("ProductName"),
                                    QStringLiteral("ProductType"), QStringLiteral("Designer"),
                                    QStringLiteral("CreateDate")});
    for (const ProductSpec& p : kProducts)
        products.add({s(p.code), s(p.name), s(p.type), s(p.designer), ctx.clock.stamp(p.daysBack, 8, 30)});
}

void writeTitles(DemoContext& ctx)
{
    auto& titles = ctx.out.table(QStringLiteral("ZqlomiraAll_title"), TitleColumns());
    int minute = 0;
    for (const PartSpec& p : kParts) {
        if (p.daysBack < 0)
            continue;
        QVariantList row = titleFields(p, s(p.state));
        const bool revised = QLatin1String(p.code) == QLatin1String("ZQ8600-02-01");
        if (revised) {
            // The input shaft has an archived revision A and the current revision B (after XG2026-002).
            QVariantList older = titleFields(p, QStringLiteral("归档"));
            older.append(ctx.clock.stamp(120, 10, 15));
            older.append(s(p.product));
            older.append(QStringLiteral("A"));
            titles.add(older);
        }
        row.append(ctx.clock.stamp(p.daysBack, 9 + (minute / 60) % 8, minute % 60));
        row.append(s(p.product));
        row.append(revised ? QStringLiteral("B") : QStringLiteral("A"));
        titles.add(row);
        minute += 7;
    }
}

QVariantList detailRow(const QHash<QString, const PartSpec*>& parts, const Line& line, int serial)
{
    const PartSpec* part = parts.value(s(line.code));
    const PartSpec* up = parts.value(s(line.up));
    const QString style = s(part->style);
    const QString remark = style == QStringLiteral("外购件")   ? QStringLiteral("外购")
                           : style == QStringLiteral("标准件") ? QStringLiteral("标准件库")
                                                              : QString();
    return {s(line.product), s(line.up), s(up->name), s(part->code), s(part->name), orNull(part->material),
            orNull(part->standard), remark.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(remark),
            style, s(part->weight), OldDrawingNumber(s(part->code)), line.number, serial};
}

void writeDetails(DemoContext& ctx, const QHash<QString, const PartSpec*>& parts)
{
    auto& details = ctx.out.table(QStringLiteral("ZqlomiraAll_detail"), DetailColumns());
    int serial = 0;
    for (const Line& line : kLines)
        details.add(detailRow(parts, line, ++serial));
}

void writeAttributes(DemoContext& ctx)
{
    auto& attributes = ctx.out.table(
        QStringLiteral("PartAttribute"),
        {QStringLiteral("PartCode"), QStringLiteral("GroupCode"), QStringLiteral("Key_Flag"), QStringLiteral("Out_Flag"),
         QStringLiteral("Box_Length"), QStringLiteral("Box_Width"), QStringLiteral("Box_Height"),
         QStringLiteral("Provider"), QStringLiteral("Other1"), QStringLiteral("Other2"), QStringLiteral("Other3"),
         QStringLiteral("Other4"), QStringLiteral("Other5")});
    for (const AttributeSpec& a : kAttributes)
        attributes.add({s(a.code), s(a.group), s(a.keyFlag), s(a.outFlag), s(a.length), s(a.width), s(a.height),
                        s(a.provider), orNull(a.other[0]), orNull(a.other[1]), orNull(a.other[2]),
                        orNull(a.other[3]), orNull(a.other[4])});
}

void writeBatches(DemoContext& ctx, const QHash<QString, const PartSpec*>& parts)
{
    QStringList titleColumns = TitleColumns();
    titleColumns.removeLast();   // batch titles carry no revision
    titleColumns.prepend(QStringLiteral("OrderProductCode"));
    titleColumns.prepend(QStringLiteral("TOrdercode"));
    auto& titles = ctx.out.table(QStringLiteral("ZqOrderProduct_title"), titleColumns);
    auto& details = ctx.out.table(
        QStringLiteral("ZqOrderProduct_detail"),
        {QStringLiteral("DOrdercode"), QStringLiteral("OrderProductCode"), QStringLiteral("ProductDwgCode"),
         QStringLiteral("UpCode"), QStringLiteral("Upname"), QStringLiteral("Dcode"), QStringLiteral("Dname"),
         QStringLiteral("Dmaterial"), QStringLiteral("Dstand"), QStringLiteral("Dremark"), QStringLiteral("Dstyle"),
         QStringLiteral("Dother1"), QStringLiteral("Dother2"), QStringLiteral("Dnumber")});
    for (const BatchSpec& b : kBatches) {
        int minute = 0;
        for (const PartSpec& p : kParts) {
            if (p.daysBack < 0 || QLatin1String(p.product) != QLatin1String(b.product))
                continue;
            QVariantList row = titleFields(p, QStringLiteral("投产"));
            row.prepend(s(b.product));
            row.prepend(s(b.number));
            row.append(ctx.clock.stamp(b.daysBack, 14, minute++));
            row.append(s(b.product));
            titles.add(row);
        }
        for (const Line& line : kLines) {
            if (QLatin1String(line.product) != QLatin1String(b.product))
                continue;
            QVariantList row = detailRow(parts, line, 0);
            row.removeLast();   // no serial number
            row.prepend(s(b.product));
            row.prepend(s(b.number));
            details.add(row);
        }
    }
}

} // namespace

void WriteParts(DemoContext& ctx)
{
    const auto parts = partIndex();
    writeProducts(ctx);
    writeTitles(ctx);
    writeDetails(ctx, parts);
    writeAttributes(ctx);
    writeBatches(ctx, parts);
}

} // namespace zq::seed

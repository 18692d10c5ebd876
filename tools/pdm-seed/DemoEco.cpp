// Demo change orders: the orders, their changed parts with handling opinions, the departments
// they were distributed to and the stored order files.
#include "DemoData.h"

namespace zq::seed {

namespace {

QString s(const char* text) { return QString::fromUtf8(text); }

QVariant orNull(const char* text)
{
    return text ? QVariant(QString::fromUtf8(text)) : QVariant(QMetaType(QMetaType::QString));
}

struct OrderSpec {
    const char* number;
    const char* subject;
    const char* author;
    int daysBack;
    const char* state;
    const char* reason;
};

const OrderSpec kOrders[] = {
    {"XG2026-001", "箱盖视孔尺寸修改", "张伟", 2, "正式", "视孔盖安装干涉"},
    {"XG2026-002", "输入轴键槽加长", "李娜", 5, "完成", "键长不足"},
    {"XG2026-003", "O'型圈材料更改为氟橡胶", "张伟", 8, "更改", "耐油温要求提高"},
    {"XG2026-004", "泵体进油口螺纹修改", "王强", 12, "评审", "用户管路接口变更"},
    {"XG2026-005", "活塞杆镀铬层加厚", "刘洋", 20, "待评审", "耐磨性不足"},
    {"XG2026-006", "主动齿轮齿数调整", "李娜", 0, "临时", "流量调整"},
    {"XG2025-101", "缸底焊缝要求修改", "王强", 90, "正式", "焊缝探伤要求"},
};

struct ChangedPart {
    const char* order;
    const char* code;
    const char* name;
    const char* result;    // handling opinion; null: none recorded
    const char* content;
};

const ChangedPart kChangedParts[] = {
    {"XG2026-001", "ZQ8600-01-02", "箱盖", "返修", "视孔尺寸由80×60改为100×80"},
    {"XG2026-001", "ZQ8600-01-02-01-02", "视孔盖板", "报废", "外形尺寸随视孔加大"},
    {"XG2026-002", "ZQ8600-02-01", "输入轴", "报废", "键槽长度由32改为40"},
    {"XG2026-003", "ZQ8600-00-01", "O'型圈", "继续使用", "材料由丁腈橡胶改为氟橡胶"},
    {"XG2026-004", "ZQ8700-01", "泵体", "返修", "进油口螺纹由M22×1.5改为M27×2"},
    {"XG2026-005", "ZQ8800-02-01", "活塞杆", "返修", "镀铬层厚度由0.02改为0.05"},
    {"XG2026-005", "ZQ8800-02-02", "活塞", nullptr, "配合尺寸复查"},
    {"XG2026-006", "ZQ8700-02-01", "主动齿轮", "报废", "齿数由14改为12"},
    {"XG2026-006", "ZQ8700-02-02", "主动轴", "报废后重新投料", "轴径随齿轮调整"},
    {"XG2025-101", "ZQ8800-01-02", "缸底", "改制使用", "焊缝增加探伤要求"},
};

struct Handout {
    const char* order;
    const char* group;
    const char* department;   // stored as written, some with leading blanks
    int copies;
};

const Handout kHandouts[] = {
    {"XG2026-001", "修改单", "一车间", 2},
    {"XG2026-001", "修改单", "  二车间", 1},
    {"XG2026-001", "修改单", "质量部", 1},
    {"XG2026-002", "修改单", "一车间", 1},
    {"XG2026-002", "修改单", "技术部", 1},
    {"XG2026-003", "修改单", " 二车间", 1},
    {"XG2026-003", "修改单", "采购部", 1},
    {"XG2026-004", "修改单", "三车间", 2},
    {"XG2026-004", "通知单", "一车间", 1},
    {"XG2026-005", "修改单", "一车间", 1},
    {"XG2025-101", "修改单", "二车间", 1},
};

struct OrderFile {
    const char* order;
    const char* docType;
    const char* fileName;
};

// XG2026-004 to XG2026-006 have no stored order file.
const OrderFile kOrderFiles[] = {
    {"XG2026-001", "_ZQ_ECO", "XG2026-001.tbl"},
    {"XG2026-001", "附件", "箱盖修改示意.dwg"},
    {"XG2026-002", "_ZQ_ECO", "XG2026-002.tbl"},
    {"XG2026-003", "_ZQ_ECO", "XG2026-003.tbl"},
    {"XG2025-101", "_ZQ_ECO", "XG2025-101.tbl"},
};

} // namespace

void WriteChangeOrders(DemoContext& ctx)
{
    const QString group = QStringLiteral("修改单");
    auto& orders = ctx.out.table(QStringLiteral("ECOModifyManage"),
                                 {QStringLiteral("ECONo"), QStringLiteral("ECOGroup"), QStringLiteral("Remark"),
                                  QStringLiteral("SaveUser"), QStringLiteral("SaveDate"), QStringLiteral("State"),
                                  QStringLiteral("Reason")});
    int hour = 8;
    for (const OrderSpec& o : kOrders) {
        orders.add({s(o.number), group, s(o.subject), s(o.author), ctx.clock.stamp(o.daysBack, hour, 45), s(o.state),
                    s(o.reason)});
        hour = hour == 17 ? 8 : hour + 1;
    }

    auto& parts = ctx.out.table(QStringLiteral("ECOModifyPart"),
                                {QStringLiteral("ECONo"), QStringLiteral("PartCode"), QStringLiteral("PartName"),
                                 QStringLiteral("Result"), QStringLiteral("ModifyContent")});
    for (const ChangedPart& p : kChangedParts)
        parts.add({s(p.order), s(p.code), s(p.name), orNull(p.result), s(p.content)});

    auto& handouts = ctx.out.table(QStringLiteral("ECOHandout"),
                                   {QStringLiteral("ECONo"), QStringLiteral("ECOGroup"), QStringLiteral("Enpartment"),
                                    QStringLiteral("HandoutNum")});
    for (const Handout& h : kHandouts)
        handouts.add({s(h.order), s(h.group), s(h.department), h.copies});

    auto& files = ctx.out.table(QStringLiteral("ECORelateFile"),
                                {QStringLiteral("ECOGroup"), QStringLiteral("ECONo"), QStringLiteral("DocType"),
                                 QStringLiteral("FileName"), QStringLiteral("FileBulk"), QStringLiteral("DocSaved"),
                                 QStringLiteral("DocContent")});
    for (const OrderFile& f : kOrderFiles) {
        const QByteArray content = DemoFileContent(s(f.fileName), QStringLiteral("更改单 ") + s(f.order));
        files.add({group, s(f.order), s(f.docType), s(f.fileName), KiloBytes(content.size()), 1, content});
    }
}

} // namespace zq::seed

#include "ScaleData.h"

#include <QList>
#include <algorithm>
#include <iterator>

namespace zq::seed {

namespace {

const char* const kLevel1[] = {"机架部件", "传动部件", "润滑部件", "电气部件"};
const char* const kLevel2[] = {"支座组件", "齿轮组件", "轴组件", "盖板组件"};
const char* const kLevel3[] = {"连接组件", "调整组件", "密封组件", "紧固组件"};
const char* const kLevel4[] = {"垫片", "套筒", "轴套", "挡圈", "压盖", "法兰", "销轴",
                               "支架", "底板", "端盖", "隔套", "调整垫", "定位销", "连接板"};
const char* const kMaterials[] = {"45", "Q235-A", "HT200", "40Cr", "20CrMnTi", "ZG270-500"};
const char* const kDesigners[] = {"张伟", "李娜", "王强", "刘洋"};
const char* const kStates[] = {"设计", "审核", "批准", "归档"};
// The parts library's names: a qualifier and a part.
const char* const kQualifiers[] = {"调整", "上", "下", "左", "右", "前", "后", "内", "外", "主动", "从动",
                                   "加强", "固定", "活动", "密封", "导向", "缓冲", "过渡"};
const char* const kLibraryParts[] = {"垫片", "套筒", "轴套", "挡圈", "压盖", "法兰", "销轴", "支架",
                                     "底板", "端盖", "隔套", "定位销", "连接板", "密封圈", "齿轮", "轴承座",
                                     "弹簧", "导轨", "滑块", "链轮", "皮带轮", "联轴器", "平键", "衬套",
                                     "护罩", "手柄", "托架", "盖板", "拉杆", "顶丝"};
constexpr int kPartsPerAssembly = 14;

// A well-mixed number from a few others (splitmix64), so the generated data looks irregular
// and is yet the same on every run.
quint64 Mix(quint64 a, quint64 b = 0, quint64 c = 0)
{
    quint64 z = a * 0x9E3779B97F4A7C15ull ^ (b + 0x632BE59BD9B4E019ull) * 0xBF58476D1CE4E5B9ull ^ c * 0x94D049BB133111EBull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

QString LibraryCode(int index)
{
    return QStringLiteral("ZQK-%1").arg(index + 1, 6, 10, QLatin1Char('0'));
}

QString LibraryName(int index)
{
    constexpr int parts = int(std::size(kLibraryParts));
    const int part = index % parts;
    const int qualifier = (index / parts) % int(std::size(kQualifiers));
    return QString::fromUtf8(kQualifiers[qualifier]) + QString::fromUtf8(kLibraryParts[part]);
}

QString s(const char* text) { return QString::fromUtf8(text); }

struct Node {
    QString code;
    QString name;
    int level;   // 0 product, 1..3 assemblies, 4 parts
};

class ScaleWriter {
public:
    ScaleWriter(DemoContext& ctx, int step, const ScaleShape& shape)
        : m_ctx(ctx), m_step(step), m_shape(shape), m_product(QStringLiteral("ZQG%1").arg(step, 4, 10, QLatin1Char('0'))),
          m_titles(ctx.out.table(QStringLiteral("ZqlomiraAll_title"), TitleColumns())),
          m_details(ctx.out.table(QStringLiteral("ZqlomiraAll_detail"), DetailColumns()))
    {
    }

    void write()
    {
        const Node product{m_product, QStringLiteral("ZQG%1型通用机组").arg(m_step, 4, 10, QLatin1Char('0')), 0};
        m_ctx.out
            .table(QStringLiteral("Product"), {QStringLiteral("ProductDwgCode"), QStringLiteral("ProductName"),
                                               QStringLiteral("ProductType"), QStringLiteral("Designer"),
                                               QStringLiteral("CreateDate")})
            .add({product.code, product.name, QStringLiteral("通用机组"), s(kDesigners[m_step % 4]), stamp(0)});
        title(product);
        writeLibraryParts();
        expand(product);
        writeDocuments();
        writeChangeOrder();
        writeTasks();
    }

private:
    QString stamp(int salt) const
    {
        const int days = m_shape.dateSpreadDays <= 360
                             ? (m_step * 37 + salt * 13) % std::max(1, m_shape.dateSpreadDays)
                             : int(Mix(quint64(m_step), quint64(salt)) % quint64(m_shape.dateSpreadDays));
        return m_ctx.clock.stamp(days, 8 + salt % 9, (salt * 7) % 60, salt % 60);
    }

    // The drawings of the library parts this product adds.
    void writeLibraryParts()
    {
        const int first = (m_step - 1) * m_shape.libraryPartsPerStep;
        for (int i = 0; i < m_shape.libraryPartsPerStep; ++i)
            title(Node{LibraryCode(first + i), LibraryName(first + i), 4});
    }

    // The library parts of one third-level assembly: distinct, from every part added so far.
    QList<int> libraryPicks(int assembly, int count) const
    {
        const int known = m_step * m_shape.libraryPartsPerStep;
        QList<int> picks;
        if (known <= 0)
            return picks;
        int at = int(Mix(quint64(m_step), quint64(assembly)) % quint64(known));
        const int stride = 1 + int(Mix(quint64(assembly), quint64(m_step), 7) % quint64(std::max(1, known - 1)));
        while (picks.size() < std::min(count, known)) {
            while (picks.contains(at))
                at = (at + 1) % known;
            picks.append(at);
            at = (at + stride) % known;
        }
        return picks;
    }

    void title(const Node& n)
    {
        const int i = m_serial;
        const bool assembly = n.level < 4;
        m_titles.add({n.code, n.name, assembly ? QVariant(QMetaType(QMetaType::QString)) : QVariant(s(kMaterials[i % 6])),
                      assembly ? QStringLiteral("1:2") : QStringLiteral("1:1"),
                      assembly ? QStringLiteral("A2") : QStringLiteral("A4"),
                      n.level == 0 ? QStringLiteral("总装图") : assembly ? QStringLiteral("部装图") : QStringLiteral("零件图"),
                      QStringLiteral("Q/ZQ 101-2020"), QStringLiteral("竖向"), QStringLiteral("无"),
                      s(kDesigners[i % 4]), QString::number(0.5 + (i % 50) * 0.25), QStringLiteral("陈静"),
                      QStringLiteral("刘洋"), OldDrawingNumber(n.code), QStringLiteral("张伟"),
                      s(kDesigners[m_step % 4]), s(kStates[i % 4]), stamp(i), m_product, QStringLiteral("A")});
    }

    void line(const Node& up, const Node& n, int number)
    {
        ++m_serial;
        m_details.add({m_product, up.code, up.name, n.code, n.name,
                       n.level < 4 ? QVariant(QMetaType(QMetaType::QString)) : QVariant(s(kMaterials[m_serial % 6])),
                       QVariant(QMetaType(QMetaType::QString)), QVariant(QMetaType(QMetaType::QString)),
                       n.level < 4 ? QStringLiteral("部件") : QStringLiteral("自制件"),
                       QString::number(0.5 + (m_serial % 50) * 0.25), OldDrawingNumber(n.code), number, m_serial});
    }

    void expand(const Node& up)
    {
        if (up.level == 3) {
            const int own = std::clamp(m_shape.ownPartsPerAssembly, 0, kPartsPerAssembly);
            for (int i = 0; i < own; ++i) {
                const Node part{QStringLiteral("%1-%2").arg(up.code).arg(i + 1, 2, 10, QLatin1Char('0')),
                                s(kLevel4[i]), 4};
                line(up, part, 1 + i % 3);
                title(part);
            }
            const QList<int> picks = libraryPicks(++m_assemblies, kPartsPerAssembly - own);
            for (qsizetype i = 0; i < picks.size(); ++i)
                line(up, Node{LibraryCode(picks[i]), LibraryName(picks[i]), 4}, 1 + int(i % 3));
            line(up, Node{QStringLiteral("GB5783-M8X20"), QStringLiteral("六角头螺栓"), 4}, 4);
            return;
        }
        const char* const* names = up.level == 0 ? kLevel1 : up.level == 1 ? kLevel2 : kLevel3;
        for (int i = 0; i < 4; ++i) {
            const Node child{QStringLiteral("%1-%2").arg(up.code).arg(i + 1, 2, 10, QLatin1Char('0')), s(names[i]),
                             up.level + 1};
            line(up, child, 1);
            title(child);
            if (child.level == 3) {
                m_ctx.out
                    .table(QStringLiteral("PartAttribute"),
                           {QStringLiteral("PartCode"), QStringLiteral("GroupCode"), QStringLiteral("Key_Flag"),
                            QStringLiteral("Out_Flag"), QStringLiteral("Box_Length"), QStringLiteral("Box_Width"),
                            QStringLiteral("Box_Height"), QStringLiteral("Provider")})
                    .add({child.code, QStringLiteral("09%1").arg(i + 1, 2, 10, QLatin1Char('0')),
                          i % 2 ? QStringLiteral("N") : QStringLiteral("Y"), QStringLiteral("自制"),
                          QString::number(100 + i * 50), QStringLiteral("100"), QStringLiteral("80"),
                          QStringLiteral("本厂")});
            }
            expand(child);
        }
    }

    void writeDocuments()
    {
        auto& docs = m_ctx.out.table(
            QStringLiteral("Documents"),
            {QStringLiteral("ProductDwgCode"), QStringLiteral("Code"), QStringLiteral("RevNumber"),
             QStringLiteral("DocumentType"), QStringLiteral("FileName"), QStringLiteral("FileBulk"),
             QStringLiteral("FileType"), QStringLiteral("FileDate"), QStringLiteral("FileRemark")});
        const QString part = m_product + QStringLiteral("-01-01-01-01");
        const struct { QString code, type, file; } rows[] = {
            {m_product, QStringLiteral("机组装配图"), m_product + QStringLiteral(".dwg")},
            {part, QStringLiteral("垫片零件图"), part + QStringLiteral(".dwg")},
        };
        int salt = 1;
        for (const auto& r : rows) {
            const int kb = StoreDesignFile(m_ctx, m_product, r.code, QStringLiteral("A"), r.file,
                                           DemoFileContent(r.file, r.type));
            docs.add({m_product, r.code, QStringLiteral("A"), r.type, r.file, kb, QStringLiteral("AutoCAD 图形"),
                      m_ctx.clock.stamp((m_step + salt++) % 30, 10, 0), QStringLiteral("生成数据")});
        }
        const QString item = QStringLiteral("R-G%1").arg(m_step, 4, 10, QLatin1Char('0'));
        const QString file = item + QStringLiteral("说明.txt");
        const QByteArray content = DemoFileContent(file, item);
        StoreResourceFile(m_ctx, item, file, content);
        m_ctx.out
            .table(QStringLiteral("EngineerViewDoc"),
                   {QStringLiteral("ItemCode"), QStringLiteral("DocType"), QStringLiteral("FileName"),
                    QStringLiteral("FileBulk"), QStringLiteral("FileType"), QStringLiteral("FileDate"),
                    QStringLiteral("DocRemark"), QStringLiteral("DocSaved"), QStringLiteral("DocContent")})
            .add({item, item + QStringLiteral("说明"), file, KiloBytes(content.size()), QStringLiteral("文本文档"),
                  stamp(3), QStringLiteral("生成数据"), 1, content});
    }

    void writeChangeOrder()
    {
        const QString number = QStringLiteral("XGG%1").arg(m_step, 4, 10, QLatin1Char('0'));
        const QString group = QStringLiteral("修改单");
        const char* const states[] = {"临时", "待评审", "评审", "更改", "完成", "正式"};
        m_ctx.out
            .table(QStringLiteral("ECOModifyManage"),
                   {QStringLiteral("ECONo"), QStringLiteral("ECOGroup"), QStringLiteral("Remark"),
                    QStringLiteral("SaveUser"), QStringLiteral("SaveDate"), QStringLiteral("State")})
            .add({number, group, m_product + QStringLiteral("垫片厚度调整"), s(kDesigners[m_step % 4]),
                  m_ctx.clock.stamp(m_step % 30, 11, 0), s(states[m_step % 6])});
        auto& parts = m_ctx.out.table(QStringLiteral("ECOModifyPart"),
                                      {QStringLiteral("ECONo"), QStringLiteral("PartCode"), QStringLiteral("PartName"),
                                       QStringLiteral("Result")});
        parts.add({number, m_product + QStringLiteral("-01-01-01-01"), QStringLiteral("垫片"), QStringLiteral("报废")});
        parts.add({number, m_product + QStringLiteral("-01-01-01-02"), QStringLiteral("套筒"), QStringLiteral("返修")});
        auto& handouts = m_ctx.out.table(QStringLiteral("ECOHandout"),
                                         {QStringLiteral("ECONo"), QStringLiteral("ECOGroup"),
                                          QStringLiteral("Enpartment"), QStringLiteral("HandoutNum")});
        handouts.add({number, group, m_step % 2 ? QStringLiteral("一车间") : QStringLiteral("二车间"), 1});
        handouts.add({number, group, QStringLiteral("质量部"), 1});
        const QString file = number + QStringLiteral(".tbl");
        const QByteArray content = DemoFileContent(file, number);
        m_ctx.out
            .table(QStringLiteral("ECORelateFile"),
                   {QStringLiteral("ECOGroup"), QStringLiteral("ECONo"), QStringLiteral("DocType"),
                    QStringLiteral("FileName"), QStringLiteral("FileBulk"), QStringLiteral("DocSaved"),
                    QStringLiteral("DocContent")})
            .add({group, number, QStringLiteral("_ZQ_ECO"), file, KiloBytes(content.size()), 1, content});
    }

    void writeTasks()
    {
        const QString project = QStringLiteral("XMG%1").arg(m_step, 4, 10, QLatin1Char('0'));
        m_ctx.out
            .table(QStringLiteral("ProjectManage"),
                   {QStringLiteral("ProjectNo"), QStringLiteral("ProjectName"), QStringLiteral("ProjectManager"),
                    QStringLiteral("WorkState"), QStringLiteral("CreatedTime"), QStringLiteral("AlertTime"),
                    QStringLiteral("ProjectPath")})
            .add({project, m_product + QStringLiteral("开发"), QStringLiteral("zhangwei"), QStringLiteral("正进行中"),
                  m_ctx.clock.stamp(m_step % 30, 9, 0), QString(QLatin1String("")), QStringLiteral("项目管理")});
        auto& work = m_ctx.out.table(QStringLiteral("TeamWorkManage"),
                                     {QStringLiteral("WorkID"), QStringLiteral("WorkName"), QStringLiteral("Manager"),
                                      QStringLiteral("WorkState"), QStringLiteral("CreateTime"),
                                      QStringLiteral("CheckTime")});
        auto& parts = m_ctx.out.table(QStringLiteral("TeamWorkPart"),
                                      {QStringLiteral("WorkID"), QStringLiteral("PartCode"),
                                       QStringLiteral("PartName"), QStringLiteral("UserName"),
                                       QStringLiteral("SaveDate")});
        const QString ids[] = {project + QStringLiteral("-01"), project + QStringLiteral("#02")};
        int n = 0;
        for (const QString& id : ids) {
            ++n;
            work.add({id, m_product + QStringLiteral("部件设计%1").arg(n), QStringLiteral("lina"),
                      QStringLiteral("正进行中"), m_ctx.clock.stamp(m_step % 30, 10, n), QString(QLatin1String(""))});
            parts.add({id, QStringLiteral("%1-0%2").arg(m_product).arg(n), s(kLevel1[n - 1]), QStringLiteral("李娜"),
                       m_ctx.clock.stamp(m_step % 30, 16, n)});
        }
    }

    DemoContext& m_ctx;
    int m_step;
    ScaleShape m_shape;
    QString m_product;
    TableWriter& m_titles;
    TableWriter& m_details;
    int m_serial = 0;
    int m_assemblies = 0;   // third-level assemblies so far
};

} // namespace

int ScaleShape::titlesPerStep() const
{
    const int assemblies = 1 + 4 + 16 + 64;
    return assemblies + 64 * std::clamp(ownPartsPerAssembly, 0, kPartsPerAssembly) + libraryPartsPerStep;
}

void WriteScaleData(DemoContext& ctx, int scale, const ScaleShape& shape, const ScaleProgress& progress)
{
    for (int step = 1; step < scale; ++step) {
        ScaleWriter(ctx, step, shape).write();
        if (progress)
            progress(step, scale - 1);
    }
}

} // namespace zq::seed

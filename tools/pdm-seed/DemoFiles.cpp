// What the demo's stored files hold. A file of a type the content index reads (PDF, Word and
// Excel, DXF, CSV, text) is a real file of that type, and each names something found in no other
// file and no row of the demo; the others (drawings, models, older Office files) are short GBK texts.
#include "DemoData.h"
#include "DemoFileFormats.h"
#include "GbkText.h"

#include <QHash>

namespace zq::seed {

namespace {

// The lines of each file beyond its heading; cells of a row are separated by tabs.
const QHash<QString, QStringList>& Bodies()
{
    static const QHash<QString, QStringList> bodies = {
        {QStringLiteral("ZQ8700技术条件.pdf"),
         {QStringLiteral("1. 泵体、泵盖采用HT250铸件, 不得有砂眼、气孔等缺陷。"),
          QStringLiteral("2. 主动齿轮与从动齿轮啮合侧隙0.08～0.12 mm。"),
          QStringLiteral("3. 轴端密封采用氟橡胶密封圈, 工作温度-20～120 °C。"),
          QStringLiteral("4. 额定压力2.5 MPa下保压5分钟不得渗漏。"),
          QStringLiteral("5. 出厂前按Q/ZQ 101-2020进行性能试验。")}},
        {QStringLiteral("Y系列电机样本.pdf"),
         {QStringLiteral("Y132M-4  额定功率7.5 kW  转速1440 r/min"),
          QStringLiteral("Y160M-4  额定功率11 kW  转速1460 r/min"),
          QStringLiteral("结构: 鼠笼转子, 全封闭自扇冷式"),
          QStringLiteral("绝缘等级B级, 防护等级IP44")}},
        {QStringLiteral("深沟球轴承选型手册.pdf"),
         {QStringLiteral("6206: d=30 D=62 B=16, 额定动载荷19.5 kN"),
          QStringLiteral("6208: d=40 D=80 B=18, 额定动载荷29.5 kN"),
          QStringLiteral("寿命计算按当量动载荷P=XFr+YFa"),
          QStringLiteral("润滑: 锂基润滑脂, 填充量为轴承内部空间的1/3")}},
        {QStringLiteral("O型圈选型.txt"),
         {QStringLiteral("ZQ8600-00-01 O'型圈 φ40×3.1, 用于输入轴、输出轴端盖密封。"),
          QStringLiteral("材料: 丁腈橡胶 NBR70, 使用温度 -30～100 ℃。"),
          QStringLiteral("选型时校核沟槽压缩率 15%～25%, 并考虑压缩永久变形。")}},
        {QStringLiteral("GB5783螺栓标准.txt"),
         {QStringLiteral("GB/T 5783-2000 六角头螺栓 全螺纹"),
          QStringLiteral("规格 M8×20: 螺距1.25, 性能等级8.8级"),
          QStringLiteral("螺纹公差6g, 产品等级A级"),
          QStringLiteral("表面处理: 氧化或镀锌")}},
        {QStringLiteral("ZQ8600-01-01.dxf"),
         {QStringLiteral("{\\fSimSun|b1|i0|c134|p2;技术要求}"),
          QStringLiteral("1. HT200铸件时效处理, 消除内应力;"),
          QStringLiteral("2. 未注铸造圆角R3\\~R5;"),
          QStringLiteral("3. 轴承孔%%c72{\\H0.7x;\\S+0.030^0;}, 表面粗糙度Ra1.6;"),
          QStringLiteral("4. 结合面不得加垫片, 定位销孔Ø8配作。")}},
        {QStringLiteral("ZQ8600减速器技术条件.docx"),
         {QStringLiteral("1. 装配前所有零件用煤油清洗, 箱体内不得有杂物。"),
          QStringLiteral("2. 齿轮副接触斑点沿齿高不小于45%, 沿齿长不小于60%。"),
          QStringLiteral("3. 轴承轴向游隙0.05～0.10 mm。"),
          QStringLiteral("4. 装配后进行空载跑合试验, 正反转各1小时, 温升不超过35 ℃。"),
          QStringLiteral("5. 箱盖与箱座结合面涂密封胶, 不得漏油。")}},
        {QStringLiteral("ZQ8600零件明细.xlsx"),
         {QStringLiteral("序号\t代号\t名称\t数量\t材料"),
          QStringLiteral("1\tZQ8600-01\t箱体部件\t1\t"),
          QStringLiteral("2\tZQ8600-02\t输入轴部件\t1\t"),
          QStringLiteral("3\tZQ8600-03\t输出轴部件\t1\t"),
          QStringLiteral("4\tZQ8600-00-01\tO'型圈\t4\t丁腈橡胶"),
          QStringLiteral("5\tGB5783-M8X20\t六角头螺栓\t14\t"),
          QStringLiteral("注: 易损件清单见随机文件")}},
        {QStringLiteral("ZQ8600标准件清单.csv"),
         {QStringLiteral("序号\t代号\t名称\t规格\t数量\t表面处理"),
          QStringLiteral("1\tGB5783-M8X20\t六角头螺栓\tM8×20\t14\t镀锌钝化"),
          QStringLiteral("2\tGB93-8\t弹簧垫圈\t8\t6\t发黑"),
          QStringLiteral("3\tGB276-6206\t深沟球轴承\t6206\t1\t"),
          QStringLiteral("4\tGB276-6208\t深沟球轴承\t6208\t1\t"),
          QStringLiteral("5\tGB1096-C10X40\t平键\tC10×40\t1\t")}},
    };
    return bodies;
}

QList<QStringList> Rows(const QStringList& lines)
{
    QList<QStringList> rows;
    for (const QString& line : lines)
        rows.append(line.split(QLatin1Char('\t')));
    return rows;
}

// The placeholder of a type the index does not read: GBK text with a little bulk, so that sizes differ.
QByteArray Placeholder(const QStringList& heading, const QString& fileName)
{
    QByteArray bytes = zq::EncodeGbk(heading.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
    uint hash = 2166136261u;
    for (QChar c : fileName)
        hash = (hash ^ c.unicode()) * 16777619u;
    const int lines = int(hash % 40);
    for (int i = 0; i < lines; ++i)
        bytes += QByteArray("0123456789ABCDEF").repeated(4) + "\r\n";
    return bytes;
}

} // namespace

QByteArray DemoFileContent(const QString& fileName, const QString& description)
{
    const QStringList heading{QStringLiteral("ZQPDM 演示文件"), QStringLiteral("文件名称: %1").arg(fileName),
                              QStringLiteral("文件说明: %1").arg(description)};
    const QStringList body = Bodies().value(fileName);
    const QString type = fileName.section(QLatin1Char('.'), -1).toLower();
    if (type == QLatin1String("pdf"))
        return MakePdf(description, QStringList{description} + heading + body);
    if (type == QLatin1String("docx"))
        return MakeDocx(QStringList{description} + heading + body);
    if (type == QLatin1String("xlsx"))
        return MakeXlsx(description, Rows(heading + body));
    if (type == QLatin1String("csv"))
        return MakeCsv(Rows(body));
    if (type == QLatin1String("dxf"))
        return MakeDxf(heading, body.join(QStringLiteral("\\P")));
    if (type == QLatin1String("png"))
        return MakePng();
    if (type == QLatin1String("txt"))
        return zq::EncodeGbk((heading + body).join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
    return Placeholder(heading, fileName);
}

} // namespace zq::seed

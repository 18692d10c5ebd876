#include "LoadMix.h"

#include "BenchData.h"
#include "SearchWindow.h"

namespace zq::bench {

namespace {

// Control ids of the pages' conditions.
constexpr int kFromDate = 1204;
constexpr int kConditionGrid = 1318;
constexpr int kConditionKind = 1256;   // 标题 / 明细
constexpr int kFileName = 1252;        // 设计文档
constexpr int kOrderNumber = 1376;     // 更改单
constexpr int kPartCode = 1022;        // 更改影响面
constexpr int kTaskNumber = 1021;      // 设计任务

const char* const kAssemblyNames[] = {"支座组件", "齿轮组件", "轴组件", "盖板组件"};

// The grid's first rows set to texts (a row left empty is cleared).
bool gridRows(SearchWindow& window, const QStringList& texts)
{
    for (int row = 0; row < texts.size(); ++row)
        if (!window.typeCell(kConditionGrid, row, texts[row]))
            return false;
    return true;
}

} // namespace

QString LoadProductNumber(quint64 draw, int products)
{
    return QStringLiteral("%1").arg(int(draw % quint64(std::max(1, products))) + 1, 4, 10, QLatin1Char('0'));
}

QString LoadFromDate()
{
    return BenchToday().addYears(-11).toString(Qt::ISODate);
}

const std::vector<LoadSearch>& LoadMix()
{
    static const std::vector<LoadSearch> mix{
        {QStringLiteral("设计零部件"), QStringLiteral("drawing number"),
         [](SearchWindow& w, quint64 d, int n) {
             return w.set(kConditionKind, QStringLiteral("0")) && w.set(kFromDate, LoadFromDate())
                    && gridRows(w, {QStringLiteral("ZQG%1-0%2").arg(LoadProductNumber(d, n)).arg(1 + d / 7 % 4), QString()});
         }},
        {QStringLiteral("设计零部件"), QStringLiteral("part-list number"),
         [](SearchWindow& w, quint64 d, int n) {
             return w.set(kConditionKind, QStringLiteral("1"))
                    && gridRows(w, {QStringLiteral("ZQG%1-0").arg(LoadProductNumber(d, n)), QString()});
         }},
        {QStringLiteral("设计零部件"), QStringLiteral("drawing name and number"),
         [](SearchWindow& w, quint64 d, int n) {
             return w.set(kConditionKind, QStringLiteral("0")) && w.set(kFromDate, LoadFromDate())
                    && gridRows(w, {QStringLiteral("ZQG%1").arg(LoadProductNumber(d, n).left(2)),
                                    QString::fromUtf8(kAssemblyNames[d / 3 % 4])});
         }},
        {QStringLiteral("资源文件"), QStringLiteral("resource file"),
         [](SearchWindow& w, quint64 d, int n) { return gridRows(w, {QStringLiteral("R-G%1").arg(LoadProductNumber(d, n))}); }},
        {QStringLiteral("设计文档"), QStringLiteral("document file name"),
         [](SearchWindow& w, quint64 d, int n) {
             return w.set(kFromDate, LoadFromDate()) && w.set(kFileName, QStringLiteral("ZQG%1").arg(LoadProductNumber(d, n)));
         }},
        {QStringLiteral("批次产品"), QStringLiteral("batch product drawing"),
         [](SearchWindow& w, quint64 d, int) {
             return w.set(kFromDate, LoadFromDate())
                    && gridRows(w, {QString(), QStringLiteral("ZQ8%1").arg(6 + d % 3)});
         }},
        {QStringLiteral("更改单"), QStringLiteral("change order number"),
         [](SearchWindow& w, quint64 d, int n) {
             return w.set(kFromDate, LoadFromDate()) && w.set(kOrderNumber, QStringLiteral("XGG%1").arg(LoadProductNumber(d, n)));
         }},
        {QStringLiteral("更改影响面"), QStringLiteral("changed part"),
         [](SearchWindow& w, quint64 d, int n) {
             return w.set(kFromDate, LoadFromDate())
                    && w.set(kPartCode, QStringLiteral("ZQG%1-01-01-01").arg(LoadProductNumber(d, n)));
         }},
        {QStringLiteral("设计任务"), QStringLiteral("task number"),
         [](SearchWindow& w, quint64 d, int n) {
             return w.set(kFromDate, LoadFromDate()) && w.set(kTaskNumber, QStringLiteral("XMG%1").arg(LoadProductNumber(d, n)));
         }},
    };
    return mix;
}

QStringList TabsLeftOutOfTheLoadMix()
{
    return {QStringLiteral("数据视图项 (it walks the host's product tree, which a load client has not got)"),
            QStringLiteral("更改发放部门 and 更改处理意见 (their conditions are list rows filled through pickers)"),
            QStringLiteral("设计过程零部件 (its conditions come from the host's tree)")};
}

} // namespace zq::bench

// The data-view search: every item below the selected item of a large host tree whose text
// matches "*垫片*", against fnmatch over the same texts in the same order.
#include "Cases.h"

#include "BenchData.h"
#include "ListCtrl.h"
#include "RawBaselines.h"
#include "SearchWindow.h"
#include "TreeCtrlEx.h"

namespace zq::bench {

namespace {

enum { kPattern = 1046 };

const char* const kPartNames[] = {"垫片", "套筒", "轴套", "挡圈", "压盖", "法兰", "销轴",
                                  "支架", "底板", "端盖", "隔套", "调整垫", "定位销", "连接板"};

struct TreeShape {
    int products, assemblies, subassemblies, parts;
};

// A host tree like the client's: products, three levels of assemblies and their parts, each
// item shown as code and name. The texts below the top item are collected in walk order.
CTreeCursor buildTree(CTreeCtrlEx& tree, const TreeShape& shape, std::vector<std::string>& texts)
{
    auto add = [&](const QString& text, const CTreeCursor& parent) {
        texts.push_back(text.toStdString());
        return tree.InsertItem(text, parent);
    };
    const CTreeCursor top = tree.InsertItem(QStringLiteral("产品结构"));
    for (int p = 1; p <= shape.products; ++p) {
        const QString product = QStringLiteral("ZQG%1").arg(p, 4, 10, QLatin1Char('0'));
        const CTreeCursor productItem = add(product + QStringLiteral(" 通用机组"), top);
        for (int a = 1; a <= shape.assemblies; ++a) {
            const QString assembly = QStringLiteral("%1-%2").arg(product).arg(a, 2, 10, QLatin1Char('0'));
            const CTreeCursor assemblyItem = add(assembly + QStringLiteral(" 部件"), productItem);
            for (int s = 1; s <= shape.subassemblies; ++s) {
                const QString sub = QStringLiteral("%1-%2").arg(assembly).arg(s, 2, 10, QLatin1Char('0'));
                const CTreeCursor subItem = add(sub + QStringLiteral(" 组件"), assemblyItem);
                for (int n = 0; n < shape.parts; ++n)
                    add(QStringLiteral("%1-%2 %3")
                            .arg(sub)
                            .arg(n + 1, 2, 10, QLatin1Char('0'))
                            .arg(QString::fromUtf8(kPartNames[n % 14])),
                        subItem);
            }
        }
    }
    return top;
}

} // namespace

void RunViewCase(const BenchOptions& options, BenchTable& table)
{
    const TreeShape shape = options.smoke ? TreeShape{2, 2, 3, 10} : TreeShape{50, 4, 10, 99};
    const QString pattern = QStringLiteral("*垫片*");
    CTreeCtrlEx tree;
    std::vector<std::string> texts;
    tree.SelectItem(buildTree(tree, shape, texts));
    const QString name = QStringLiteral("data-view search, %1 items").arg(texts.size());
    Figure figure{name, 0, 0, 0, QStringLiteral("ms"), Limit::Ratio, 2, true};

    // Any installation serves: the page reads no table.
    const Installation installation = SqliteInstallation(options.dataDir, 1);
    QString error = installation.error;
    if (error.isEmpty()) {
        SearchWindow window(installation, QStringLiteral("数据视图项"), &tree);
        if (window.ok() && window.set(kPattern, pattern)) {
            figure.ours = MedianSeconds(options.repeats, [&] { return window.find(); }) * 1e3;
            std::vector<size_t> matches;
            figure.raw = MedianSeconds(options.repeats, [&] {
                              matches.clear();
                              return raw::FnmatchLoop(texts, pattern.toStdString(), matches).seconds;
                          })
                * 1e3;
            const CReportListCtrl& list = *window.results();
            figure.rows = list.GetItemCount();
            bool same = size_t(list.GetItemCount()) == matches.size() && !matches.empty();
            for (size_t i = 0; same && i < matches.size(); ++i)
                same = list.GetItemText(int(i), 0).toStdString() == texts[matches[i]];
            if (!same)
                error = QStringLiteral("the window listed %1 items, fnmatch found %2 (or they differ)")
                            .arg(list.GetItemCount())
                            .arg(matches.size());
        }
        if (error.isEmpty())
            error = window.error();
    }
    if (!error.isEmpty())
        Note(name + QStringLiteral(": ") + error);
    figure.failed = !error.isEmpty();
    table.add(figure);
}

} // namespace zq::bench

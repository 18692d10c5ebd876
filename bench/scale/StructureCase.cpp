// The structure search: part-list lines with a given 规格 (model text), inside one product whose
// subassemblies are each used in many places, listed as every path from the product down to
// each of them; against one recursive CTE on the SQLite API that lists the same paths and names.
#include "Cases.h"

#include "BenchData.h"
#include "ListCtrl.h"
#include "RawBaselines.h"
#include "SearchWindow.h"
#include "TreeCtrlEx.h"
#include "ZQDBConnect.h"

#include <QSet>
#include <algorithm>

namespace zq::bench {

namespace {

enum { kKind = 1256, kConditions = 1318, kScope = 1172 };
constexpr int kDetailKind = 1;
constexpr int kStandRow = 3;   // the part-list condition on Dstand

QString cte()
{
    return QStringLiteral(
               "WITH RECURSIVE up(code, path, part) AS ("
               " SELECT UpCode, UpCode || '::' || DCode, DCode FROM ZqlomiraAll_detail"
               " WHERE ProductDwgCode = '%1' AND Dstand LIKE '%%2%'"
               " UNION ALL"
               " SELECT d.UpCode, d.UpCode || '::' || up.path, up.part FROM up JOIN ZqlomiraAll_detail d"
               " ON d.ProductDwgCode = '%1' AND d.DCode = up.code WHERE up.code <> '%1')"
               " SELECT path, (SELECT DName FROM ZqlomiraAll_detail n WHERE n.DCode = up.part"
               " AND n.ProductDwgCode = '%1') FROM up WHERE up.code = '%1'")
        .arg(QString::fromLatin1(kStructureProduct), MatchedStand());
}

QStringList listedPaths(const CReportListCtrl& list)
{
    QStringList paths;
    for (int r = 0; r < list.GetItemCount(); ++r)
        paths.append(list.GetItemText(r, 2) + QChar(0x1f) + list.GetItemText(r, 1));
    std::sort(paths.begin(), paths.end());
    return paths;
}

bool isLookup(const QString& sql)
{
    return sql.startsWith(u"SELECT UpCode FROM ") || sql.startsWith(u"SELECT DName FROM ");
}

} // namespace

void RunStructureCase(const BenchOptions& options, BenchTable& table)
{
    const StructureShape shape = options.smoke ? StructureShape{2, 5, 5, 10, 3, 4, 7} : StructureShape{};
    qint64 lines = 0;
    const Installation installation = StructureInstallation(options.dataDir, shape, &lines);
    const QString name = QStringLiteral("structure search, %1 lines").arg(lines);
    Figure time{name, 0, 0, 0, QStringLiteral("ms"), Limit::Ratio, 2, true};
    Figure lookups{QStringLiteral("structure search, look-ups / distinct codes"), 0, 0, 0, QStringLiteral("stmts"),
                   Limit::Ratio, 1, true};
    Figure statements{QStringLiteral("structure search, statements / distinct codes"), 0, 0, 0,
                      QStringLiteral("stmts"), Limit::None, 0, true};
    auto finish = [&](const QString& error) {
        if (!error.isEmpty())
            Note(name + QStringLiteral(": ") + error);
        for (Figure* f : {&time, &lookups, &statements}) {
            f->failed = !error.isEmpty();
            table.add(*f);
        }
    };
    if (!installation.ok())
        return finish(installation.error);

    CTreeCtrlEx tree;
    const QString product = QString::fromLatin1(kStructureProduct);
    const CTreeItemRecord record{QStringLiteral("_Product"), product};
    tree.SelectItem(tree.InsertItem(product, {}, &record));
    SearchWindow window(installation, QStringLiteral("设计零部件"), &tree);
    if (!window.ok() || !window.set(kKind, QString::number(kDetailKind))
        || !window.typeCell(kConditions, kStandRow, MatchedStand()) || !window.set(kScope, QStringLiteral("1")))
        return finish(window.error());

    QStringList sent;
    SetSqlTraceListener([&sent](const QString& sql) { sent.append(sql); });
    const double ours = MedianSeconds(options.repeats, [&] {
        sent.clear();
        return window.find();
    });
    SetSqlTraceListener({});
    const QStringList oursPaths = listedPaths(*window.results());

    raw::Cells cells;
    QString error = window.error();
    const double raw = MedianSeconds(options.repeats, [&] {
        cells = raw::Cells(2);
        const raw::Result run = raw::SqliteRows(installation.sqlitePath.toStdString(), cte().toStdString(), cells);
        if (!run.ok())
            error = QString::fromStdString(run.error);
        return run.seconds;
    });
    QStringList rawPaths;
    QSet<QString> codes;
    for (size_t r = 0; r < cells.rows(); ++r) {
        const QString path = QString::fromUtf8(cells.at(r, 0));
        rawPaths.append(path + QChar(0x1f) + QString::fromUtf8(cells.at(r, 1)));
        for (const QString& code : path.split(QStringLiteral("::")))
            codes.insert(code);
    }
    std::sort(rawPaths.begin(), rawPaths.end());
    if (error.isEmpty() && (oursPaths != rawPaths || rawPaths.isEmpty()))
        error = QStringLiteral("the window listed %1 paths, the CTE %2 (or they differ)")
                    .arg(oursPaths.size())
                    .arg(rawPaths.size());

    const qint64 paths = oursPaths.size();
    time = {name, paths, ours * 1e3, raw * 1e3, QStringLiteral("ms"), Limit::Ratio, 2};
    lookups.rows = statements.rows = paths;
    lookups.ours = double(std::count_if(sent.begin(), sent.end(), isLookup));
    statements.ours = double(sent.size());
    lookups.raw = statements.raw = double(codes.size());
    finish(error);
}

} // namespace zq::bench

#include "ResultListOutput.h"

#include "ListCtrl.h"
#include "OutputLines.h"

#include <vector>

namespace zq::tool {

QString WriteResultList(CReportListCtrl& list, OutputFormat format)
{
    // A column the page hides (no header, no width: 旧图号 under the old-code switch) is not shown
    // to the user, and not written either.
    QStringList headers;
    QList<int> shown;
    CHeaderCtrl* header = list.GetHeaderCtrl();
    for (int c = 0; c < list.GetColumnCount(); ++c) {
        if (header->GetItemText(c).isEmpty() && list.GetColumnWidth(c) == 0)
            continue;
        headers.append(header->GetItemText(c));
        shown.append(c);
    }
    StandardOutput output;
    ResultWriter writer(format, headers, output.sink());
    std::vector<QStringView> shownCells(size_t(shown.size()));
    list.VisitRowTexts(list.GetColumnCount(), [&](std::span<const QStringView> cells) {
        for (qsizetype i = 0; i < shown.size(); ++i)
            shownCells[size_t(i)] = size_t(shown[i]) < cells.size() ? cells[size_t(shown[i])] : QStringView();
        writer.row(shownCells);
    });
    writer.finish();
    return output.finish();
}

} // namespace zq::tool

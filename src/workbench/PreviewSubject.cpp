#include "PreviewSubject.h"
#include "ListCtrl.h"

#include <QAbstractItemModel>

namespace zq {

PreviewSubject FieldsOfRow(const CReportListCtrl& list, int row)
{
    PreviewSubject subject;
    if (row < 0 || row >= list.GetItemCount())
        return subject;
    subject.title = list.GetItemText(row, 0);
    for (int column = 0; column < list.GetColumnCount(); ++column) {
        if (list.GetColumnWidth(column) <= 0)
            continue;   // a hidden column stays hidden
        const QString heading = list.model()->headerData(column, Qt::Horizontal).toString();
        subject.fields.append({heading, list.GetItemText(row, column)});
    }
    return subject;
}

} // namespace zq

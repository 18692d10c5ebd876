#pragma once
// A page's conditions as plain JSON values, read from its template's controls as the user left
// them and applied back through the controls as a user would set them (so the page's own
// notifications run): edit texts, combo box items, check boxes and radio buttons, dates, the rows
// of condition grids, and the rows of lists the user fills (departments, opinions). The result
// list is no condition. A date is kept relative to the day it was read ("30 days ago") unless
// fixed dates are asked for.
//
//   {"controls": [{"id": 1256, "kind": "combo", "label": "条件:", "text": "明细", "index": 1},
//                 {"id": 1204, "kind": "date", "label": "日期:", "daysFromToday": -30},
//                 {"id": 1318, "kind": "grid", "rows": [["图号", "ZQ86"], ["图名", ""]]}, ...]}
#include <QDate>
#include <QJsonObject>
#include <QSet>
#include <QStringList>

class QWidget;

namespace zq {

struct ConditionReading {
    QDate today;               // what relative dates count from
    bool fixedDates = false;   // keep dates as they stand instead
    QWidget* resultList = nullptr;   // left out
    QSet<int> rowLists;        // lists and grids whose rows the user adds: kept and restored whole
};

// The conditions of the page's template controls.
QJsonObject ReadPageConditions(QWidget& page, const ConditionReading& reading);

// Applies conditions to the page's controls. Returns the parts it could not apply (a control or a
// grid row the page no longer has, an item a combo box no longer offers), each named for the user.
QStringList ApplyPageConditions(QWidget& page, const QJsonObject& conditions, const ConditionReading& reading);

// "编制人=张伟, 从=2025-01-01": the conditions that hold something and differ from the page's
// initial ones (none given: every condition that holds something), for a menu entry.
QString SummarizeConditions(const QJsonObject& conditions, const QDate& today, const QJsonObject& initial = {});

} // namespace zq

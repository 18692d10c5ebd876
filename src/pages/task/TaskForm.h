#pragma once
// The form both task pages show: the search page "设计任务" (template 399) and its display-only
// sibling of the property view (template 23005). Its controls, their values as page data, and
// the task list's columns.
#include <QDate>
#include <QString>
#include <QStringList>

class CImageList;
class CReportListCtrl;
class QWidget;

namespace zq::task {

enum ControlId {
    IdName = 1014, IdNumber = 1021, IdPerson = 1084, IdPickUser = 1248, IdFrom = 1204, IdTo = 1258,
    IdState = 1020, IdKind = 1250, IdResult = 1319,
};

// The values of the form's controls.
struct TaskFormData {
    QString name;
    QString number;
    QString person;
    QDate from;
    QDate to;
    int state = 0;
    int kind = 0;
};

// Dialog data exchange: controls → data (save) or data → controls.
void ExchangeTaskForm(QWidget& page, TaskFormData& data, bool save);

// Replaces the state list's entries and selects one of them.
void FillStateList(QWidget& page, bool reviewStates, int index);

// Grid lines, full-row select and the six columns; column 1 is headed numberHeader.
void SetupTaskList(CReportListCtrl& list, const QString& numberHeader, const CImageList* icons);

// Appends one task row of six texts (column 0 the item, icon 0).
void AppendTaskRow(CReportListCtrl& list, const QStringList& fields);

} // namespace zq::task

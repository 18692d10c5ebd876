#include "TaskForm.h"

#include "DialogTemplate.h"
#include "ListCtrl.h"
#include "PageRegistry.h"
#include "TaskSql.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QSignalBlocker>

namespace zq::task {

namespace {

constexpr int kSearchTemplateId = 399;
constexpr int kPropertyTemplateId = 23005;

// Three rows of conditions above the task list, within the page area of the search window.
DialogTemplate MakeTaskForm(int id)
{
    return DialogTemplate{
        id, QString(), QSize(356, 203), QStringLiteral("MS Sans Serif"), 8,
        {
            {-1, ControlKind::Static, QStringLiteral("任务名称:"), QRect(2, 5, 44, 8)},
            {IdName, ControlKind::Edit, QString(), QRect(48, 3, 66, 12)},
            {-1, ControlKind::Static, QStringLiteral("任务编号:"), QRect(120, 5, 38, 8)},
            {IdNumber, ControlKind::Edit, QString(), QRect(160, 3, 70, 12)},
            {-1, ControlKind::Static, QStringLiteral("负责人:"), QRect(236, 5, 30, 8)},
            {IdPerson, ControlKind::Edit, QString(), QRect(268, 3, 62, 12)},
            {IdPickUser, ControlKind::Button, QStringLiteral("..."), QRect(332, 3, 16, 12)},
            {-1, ControlKind::Static, QStringLiteral("任务类型:"), QRect(2, 21, 44, 8)},
            {IdKind, ControlKind::ComboDropList, KindNames().join(u'\n'), QRect(48, 19, 66, 90)},
            {-1, ControlKind::Static, QStringLiteral("任务状态:"), QRect(120, 21, 38, 8)},
            {IdState, ControlKind::ComboDropList, TaskStateNames().join(u'\n'), QRect(160, 19, 70, 120)},
            {-1, ControlKind::Static, QStringLiteral("分配时间从:"), QRect(2, 37, 44, 8)},
            {IdFrom, ControlKind::DatePicker, QString(), QRect(48, 34, 66, 14)},
            {-1, ControlKind::Static, QStringLiteral("到:"), QRect(120, 37, 38, 8)},
            {IdTo, ControlKind::DatePicker, QString(), QRect(160, 34, 70, 14)},
            {IdResult, ControlKind::SortList, QString(), QRect(0, 52, 352, 148)},
        },
    };
}

const DialogTemplate kSearchTemplate = MakeTaskForm(kSearchTemplateId);
const DialogTemplate kPropertyTemplate = MakeTaskForm(kPropertyTemplateId);
const TemplateRegistration kSearchRegistration(&kSearchTemplate);
const TemplateRegistration kPropertyRegistration(&kPropertyTemplate);

QDate PickerDate(const QWidget& page, int id)
{
    auto* picker = ControlAs<QDateTimeEdit>(page, id);
    return picker ? picker->date() : QDate();
}

void SetPickerDate(QWidget& page, int id, const QDate& date)
{
    if (auto* picker = ControlAs<QDateTimeEdit>(page, id); picker && date.isValid())
        picker->setDate(date);
}

} // namespace

void ExchangeTaskForm(QWidget& page, TaskFormData& data, bool save)
{
    if (save) {
        data.name = ControlText(page, IdName);
        data.number = ControlText(page, IdNumber);
        data.person = ControlText(page, IdPerson);
        data.from = PickerDate(page, IdFrom);
        data.to = PickerDate(page, IdTo);
        data.state = ComboIndex(page, IdState);
        data.kind = ComboIndex(page, IdKind);
        return;
    }
    SetControlText(page, IdName, data.name);
    SetControlText(page, IdNumber, data.number);
    SetControlText(page, IdPerson, data.person);
    SetPickerDate(page, IdFrom, data.from);
    SetPickerDate(page, IdTo, data.to);
    // Writing the kind is not a user's choice: no kind-change notification.
    if (auto* kind = ControlAs<QComboBox>(page, IdKind)) {
        const QSignalBlocker quiet(kind);
        kind->setCurrentIndex(data.kind);
    }
    SetComboIndex(page, IdState, data.state);
}

void FillStateList(QWidget& page, bool reviewStates, int index)
{
    auto* states = ControlAs<QComboBox>(page, IdState);
    if (!states)
        return;
    const QSignalBlocker quiet(states);
    states->clear();
    states->addItems(reviewStates ? ReviewStateNames() : TaskStateNames());
    states->setCurrentIndex(index);
}

void SetupTaskList(CReportListCtrl& list, const QString& numberHeader, const CImageList* icons)
{
    list.SetSingleSelection(true);
    list.SetExtendedStyle(list.GetExtendedStyle() | CReportListCtrl::LVS_EX_GRIDLINES
                          | CReportListCtrl::LVS_EX_FULLROWSELECT);
    if (icons)
        list.SetImageList(icons);
    const struct { QString header; int width; } columns[] = {
        {QStringLiteral("任务名称"), 100}, {numberHeader, 100}, {QStringLiteral("负责人"), 90},
        {QStringLiteral("状态"), 70},      {QStringLiteral("创建日期"), 90}, {QStringLiteral("类型"), 90},
    };
    int index = 0;
    for (const auto& column : columns)
        list.InsertColumn(index++, column.header, CReportListCtrl::LVCFMT_LEFT, column.width);
}

void AppendTaskRow(CReportListCtrl& list, const QStringList& fields)
{
    const int row = list.InsertItem(list.GetItemCount(), fields.value(0), 0);
    for (int column = 1; column < fields.size(); ++column)
        list.SetItemText(row, column, fields[column]);
}

} // namespace zq::task

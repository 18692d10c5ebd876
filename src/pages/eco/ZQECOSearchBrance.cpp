#include "ZQECOSearchBrance.h"

#include "Desktop.h"
#include "PageRegistry.h"
#include "UserServices.h"
#include "ZQPDMFC.h"

#include <QAbstractButton>

namespace {

enum ControlId { IdFrom = 1204, IdTo = 1258, IdDepartments = 1318, IdAdd = 1009, IdRemove = 1008, IdResult = 1319 };

const DialogTemplate kTemplate377{
    377, QString(), CZQSearchPage::kTemplateArea, QStringLiteral("MS Sans Serif"), 8,
    {
        {-1, ControlKind::Static, QStringLiteral("编制日期:"), QRect(2, 4, 40, 8)},
        {-1, ControlKind::Static, QStringLiteral("从:"), QRect(10, 18, 14, 8)},
        {IdFrom, ControlKind::DatePicker, QString(), QRect(34, 15, 76, 14)},
        {-1, ControlKind::Static, QStringLiteral("到:"), QRect(10, 36, 14, 8)},
        {IdTo, ControlKind::DatePicker, QString(), QRect(34, 33, 76, 14)},
        {-1, ControlKind::Static, QStringLiteral("涉及的发布部门:"), QRect(2, 53, 90, 8)},
        {IdDepartments, ControlKind::SortList, QString(), QRect(2, 63, 108, 114), CS_MULTISEL | CS_STRETCH_DOWN},
        {IdAdd, ControlKind::Button, QStringLiteral("增加"), QRect(2, 181, 50, 14), CS_MOVE_DOWN},
        {IdRemove, ControlKind::Button, QStringLiteral("删除"), QRect(60, 181, 50, 14), CS_MOVE_DOWN},
        {IdResult, ControlKind::ReportList, QString(), QRect(112, 2, 235, 193)},
    },
};

const zq::TemplateRegistration kTemplateRegistration(&kTemplate377);
const zq::PageRegistration kPageRegistration(QStringLiteral("更改发放部门"),
                                             [] { return std::make_unique<CZQECOSearchBrance>(); });

const QString kDepartmentPrompt = QStringLiteral("发放部门");

} // namespace

CZQECOSearchBrance::CZQECOSearchBrance(QWidget* parent) : CZQECOListPage(parent) {}

bool CZQECOSearchBrance::CreatePage(QWidget* parent)
{
    return CreateFromTemplate(parent, 377);
}

bool CZQECOSearchBrance::OnInitDialog()
{
    ConnectOrderList();
    m_pDepartmentList = zq::ControlAs<CReportListCtrl>(*this, IdDepartments);
    DeclareRowList(IdDepartments);
    if (auto* button = zq::ControlAs<QAbstractButton>(*this, IdAdd))
        connect(button, &QAbstractButton::clicked, this, [this] { OnAdd(); });
    if (auto* button = zq::ControlAs<QAbstractButton>(*this, IdRemove))
        connect(button, &QAbstractButton::clicked, this, [this] { OnRemove(); });

    if (!InitConnection())
        return false;
    SetupOrderList();
    zq::eco::SetupConditionList(m_pDepartmentList);
    SetupDatePickers(30, true);
    return true;
}

QStringList CZQECOSearchBrance::Departments() const
{
    return m_pDepartmentList ? m_pDepartmentList->GetColumnTexts(1) : QStringList();
}

void CZQECOSearchBrance::AddDepartments(const QStringList& names)
{
    if (!m_pDepartmentList)
        return;
    for (const QString& name : names) {
        bool listed = false;
        for (int row = 0; row < m_pDepartmentList->GetItemCount() && !listed; ++row)
            listed = zq::EqualsNoCase(m_pDepartmentList->GetItemText(row, 1), name);
        if (listed)
            continue;
        const int row = m_pDepartmentList->InsertItem(m_pDepartmentList->GetItemCount(), kDepartmentPrompt);
        m_pDepartmentList->SetItemText(row, 1, name);
    }
}

void CZQECOSearchBrance::OnAdd()
{
    CSelectEnpartment picker;
    if (picker.DoModal() != zq::IDOK)
        return;
    AddDepartments(picker.m_arrEnpartment);
}

void CZQECOSearchBrance::OnRemove()
{
    if (!m_pDepartmentList || m_pDepartmentList->DeleteSelectedItems() == 0)
        ShowPrompt(QStringLiteral("请先选择发放部门..."));
}

int CZQECOSearchBrance::DoSearch()
{
    QueryGuard guard(*this);
    ClearRows();
    return RunOrderQuery(TakeSql(zq::eco::BuildDepartmentSql(FromDate(), ToDate(), Departments())));
}

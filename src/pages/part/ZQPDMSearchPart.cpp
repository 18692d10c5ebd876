#include "ZQPDMSearchPart.h"

#include "Desktop.h"
#include "ListCtrl.h"
#include "PageRegistry.h"
#include "PartServices.h"
#include "PartSql.h"
#include "RunQuery.h"
#include "ScopePath.h"
#include "StructureSearch.h"
#include "TempResourceOverride.h"
#include "ZQDBConnect.h"
#include "ZQPDMFC.h"
#include "ZQPDMSearchFunction.h"

#include <QComboBox>
#include <QSignalBlocker>

#include <algorithm>

using namespace zq::part;

namespace {

constexpr int kDaysBack = 360;
constexpr int kValueColumn = 1;

const zq::PageRegistration kRegistration(QStringLiteral("设计零部件"),
                                         [] { return std::make_unique<CZQPDMSearchPart>(); });

CTreeCtrlEx* HostTree()
{
    return CZQPDMSearchFunction::m_pTreeEx;
}

} // namespace

CZQPDMSearchPart::CZQPDMSearchPart(QWidget* parent) : CZQSearchPage(parent) {}

CZQPDMSearchPart::~CZQPDMSearchPart() = default;

bool CZQPDMSearchPart::CreatePage(QWidget* parent)
{
    return CreateFromTemplate(parent, kTemplateId);
}

CGridListCtrl* CZQPDMSearchPart::ConditionList() const
{
    return zq::ControlAs<CGridListCtrl>(*this, IDC_CONDITIONS);
}

CHeaderListCtrl* CZQPDMSearchPart::ResultList() const
{
    return zq::ControlAs<CHeaderListCtrl>(*this, IDC_RESULTS);
}

CReportListCtrl* CZQPDMSearchPart::GetResultList()
{
    return ResultList();
}

bool CZQPDMSearchPart::OnInitDialog()
{
    SetKeyRule(KeyRule::ForwardToParent);
    SetResizeRule(ResizeRule::ConditionAndResult);
    if (auto* kind = zq::ControlAs<QComboBox>(*this, IDC_KIND)) {
        connect(kind, &QComboBox::currentIndexChanged, this, [this] { OnSelchangeKind(); });
    }
    if (CHeaderListCtrl* results = ResultList()) {
        ReportSelectionOnItemChanged(results);
        connect(results, &CReportListCtrl::rightClicked, this, [this] { OnResultRightClick(); });
    }

    if (!InitConnection())
        return false;

    SetupConditionList();
    m_rows = ConditionRows(ReadConditionNames(ConditionConfigPath()));
    if (auto* kind = zq::ControlAs<QComboBox>(*this, IDC_KIND)) {
        const QSignalBlocker quiet(kind);
        kind->setCurrentIndex(m_nKind);
    }
    OnSelchangeKind();
    m_rows.ClearValues();
    SetupDatePickers(kDaysBack, false);
    UpdateData(false);
    SetupResultColumns();
    return true;
}

void CZQPDMSearchPart::SetupConditionList()
{
    CGridListCtrl* list = ConditionList();
    if (!list)
        return;
    list->SetExtendedStyle(list->GetExtendedStyle() | CReportListCtrl::LVS_EX_FULLROWSELECT |
                           CReportListCtrl::LVS_EX_GRIDLINES);
    list->InsertColumn(0, QStringLiteral("属性项"), CReportListCtrl::LVCFMT_LEFT, 80);
    list->InsertColumn(1, QStringLiteral("属性值"), CReportListCtrl::LVCFMT_LEFT, 80);
    list->SetEditableColumns({kValueColumn});
}

void CZQPDMSearchPart::SetupResultColumns()
{
    m_resultIcons.Add(zq::LoadIconResource(140));
    m_resultIcons.Add(zq::LoadIconResource(148));
    const bool oldCodeHidden = zq::OldCodeSwitch() != 0;
    SetupResultList(ResultList(),
                    {
                        {QStringLiteral("零部件图号"), 100},
                        {QStringLiteral("零部件图名"), 120},
                        {QStringLiteral("所在产品"), 120},
                        {QStringLiteral("产品名称"), 120},
                        {oldCodeHidden ? QString() : QStringLiteral("旧图号"), oldCodeHidden ? 0 : 120},
                        {QStringLiteral("来源类型"), 120},
                    },
                    &m_resultIcons);
}

void CZQPDMSearchPart::UpdateData(bool save)
{
    if (save) {
        m_nKind = zq::ComboIndex(*this, IDC_KIND);
        m_strScope = zq::ControlText(*this, IDC_SCOPE_TEXT);
        m_bScope = zq::IsChecked(*this, IDC_SCOPE_CHECK);
    } else {
        zq::SetComboIndex(*this, IDC_KIND, m_nKind);
        zq::SetControlText(*this, IDC_SCOPE_TEXT, m_strScope);
        zq::SetChecked(*this, IDC_SCOPE_CHECK, m_bScope);
    }
}

QStringList CZQPDMSearchPart::ConditionValues() const
{
    QStringList values;
    if (CGridListCtrl* list = ConditionList())
        for (int row = 0; row < list->GetItemCount(); ++row)
            values.append(list->GetItemText(row, kValueColumn));
    return values;
}

QString CZQPDMSearchPart::ScopeOfSelectedTreeItem() const
{
    CTreeCtrlEx* tree = HostTree();
    return tree ? BuildScopePath(tree->GetSelectedItem()) : QString();
}

void CZQPDMSearchPart::OnSelchangeKind()
{
    // Writing the fields back to the combo box must not start a second switch.
    if (m_bSwitching)
        return;
    m_bSwitching = true;
    UpdateData(true);
    if (m_nShownKind >= 0)
        m_rows.Keep(m_nShownKind, ConditionValues());
    ShowRowsOfKind(m_nKind);

    const bool detail = m_nKind == KindDetail;
    if (detail) {
        if (HostTree())
            m_strScope = ScopeOfSelectedTreeItem();
        UpdateData(false);
    }
    for (int id : {int(IDC_FROM), int(IDC_TO)})
        if (QWidget* picker = zq::Control(*this, id))
            picker->setEnabled(!detail);
    if (QWidget* check = zq::Control(*this, IDC_SCOPE_CHECK))
        check->setEnabled(detail);
    m_bSwitching = false;
}

void CZQPDMSearchPart::ShowRowsOfKind(int kind)
{
    CGridListCtrl* list = ConditionList();
    if (!list)
        return;
    list->DeleteAllItems();
    const QStringList& names = m_rows.Names(kind);
    const QStringList values = m_rows.Values(kind);
    for (int row = 0; row < names.size(); ++row) {
        const int inserted = list->InsertItem(row, names.at(row));
        list->SetItemText(inserted, kValueColumn, values.value(row));
    }
    m_nShownKind = kind;
}

void CZQPDMSearchPart::SetTreeItem(CTreeCursor)
{
    // The host's current selection counts, not the item passed in.
    if (HostTree() && m_nKind == KindDetail)
        zq::SetControlText(*this, IDC_SCOPE_TEXT, ScopeOfSelectedTreeItem());
}

bool CZQPDMSearchPart::ScopeInForce() const
{
    const QWidget* check = zq::Control(*this, IDC_SCOPE_CHECK);
    return m_bScope && check && check->isEnabledTo(this);
}

QString CZQPDMSearchPart::BuildSearchSql()
{
    UpdateData(true);
    switch (m_nKind) {
    case KindTitle:
        return BuildTitleSql();
    case KindDetail:
        return BuildDetailSql();
    default:
        return BuildAttributeSql();
    }
}

namespace {

QString WarnedSql(const PartSqlText& built)
{
    if (built.dateWarning)
        CZQSearchPage::WarnReversedDates();
    return built.sql;
}

} // namespace

QString CZQPDMSearchPart::BuildTitleSql()
{
    return WarnedSql(zq::part::BuildTitleSql(ConditionValues(), FromDate(), ToDate()));
}

QString CZQPDMSearchPart::BuildDetailSql()
{
    return WarnedSql(zq::part::BuildDetailSql(ConditionValues(), m_bScope, m_strScope));
}

QString CZQPDMSearchPart::BuildAttributeSql()
{
    return WarnedSql(zq::part::BuildAttributeSql(ConditionValues(), FromDate(), ToDate()));
}

int CZQPDMSearchPart::DoSearch()
{
    const QString sql = BuildSearchSql();
    // A "范围" tick left from a part-list search has no effect on the other kinds.
    return ScopeInForce() ? StructureSearch() : PlainSearch(sql);
}

int CZQPDMSearchPart::PlainSearch(const QString& sql)
{
    CHeaderListCtrl* list = ResultList();
    if (!list)
        return 0;
    list->DeleteAllItems();
    QueryRequest request;
    request.variant = QueryVariant::A;
    request.sql = sql;
    request.connection = m_pConnection;
    request.dataSystemType = m_nDataSystemType;
    request.list = list;
    request.onRecord = [this, list](int row, const QStringList& fields) {
        const int inserted = list->InsertItem(row, fields.value(0));
        if (fields.size() > 1)
            list->SetItemText(inserted, 1, fields.at(1));
        if (fields.size() > 2) {
            list->SetItemText(inserted, 2, fields.at(2));
            const QString name =
                m_pDBConnect ? m_pDBConnect->GetSelectItemData(ProductNameSql(fields.at(2)), zq::DataSystemPDM)
                             : QString();
            list->SetItemText(inserted, 3, name);
        }
        if (fields.size() > 3)
            list->SetItemText(inserted, 4, fields.at(3));
    };
    return RunQuery(request);
}

int CZQPDMSearchPart::StructureSearch()
{
    if (m_strScope.isEmpty())
        return 0;
    CTreeCtrlEx* tree = HostTree();
    const QString productCode = tree ? FindProductCode(tree->GetSelectedItem()) : QString();
    // The part-list rows without the scope, which the structure walk replaces.
    CollectStructurePaths(productCode, StructureCondition(ConditionValues()));
    ShowStructurePaths();
    return 1;
}

void CZQPDMSearchPart::CollectStructurePaths(const QString& productCode, const QString& condition)
{
    m_structurePaths.clear();
    m_structurePaths = zq::part::CollectStructurePaths({m_pDBConnect, m_pConnection, m_nDataSystemType},
                                                       productCode, condition);
}

void CZQPDMSearchPart::ShowStructurePaths()
{
    if (CHeaderListCtrl* list = ResultList())
        zq::part::ShowStructurePaths(*list, m_structurePaths, m_strScope, m_pDBConnect);
}

QString CZQPDMSearchPart::GetLocateText()
{
    CHeaderListCtrl* list = ResultList();
    const int row = ReportedRowIn(list);
    if (row < 0)
        return QString();
    return LocateText(list->GetItemText(row, 0), list->GetItemText(row, 2), ScopeInForce(), m_strScope);
}

void CZQPDMSearchPart::OnResultRightClick()
{
    CHeaderListCtrl* list = ResultList();
    if (!list)
        return;
    const int mark = list->GetSelectionMark();
    if (mark < 0 || mark >= list->GetItemCount())
        return;
    const int command = TrackPopupMenu({
        {ID_BORROW, QStringLiteral("借用查询...")},
        {0, QString()},
        {ID_ATTRIBUTES, QStringLiteral("零部件属性...")},
        {0, QString()},
        {ID_VERSIONS, QStringLiteral("版本浏览...")},
    });
    RunPartCommand(command, list->GetItemText(mark, 0));
}

void CZQPDMSearchPart::RunPartCommand(int command, const QString& code)
{
    switch (command) {
    case ID_BORROW:
        CZQPartBorrowManage::PartUsedSearch(code);
        break;
    case ID_ATTRIBUTES: {
        CZQPart part;
        part.SetPartParameter(code, QString(), QString(), QStringLiteral("A"));
        part.DwgAttribute(QStringLiteral("ZqlomiraAll"), 1);
        break;
    }
    case ID_VERSIONS: {
        CZQPart part;
        part.SetPartParameter(code, QString(), QString(), QStringLiteral("A"));
        part.BrowsePartReversion();
        break;
    }
    default:
        break;
    }
}

#include "ZQPDMSearchPart.h"

#include "ListCtrl.h"
#include "PageRegistry.h"
#include "ScopePath.h"
#include "StructureSearch.h"
#include "ZQDBConnect.h"
#include "ZQPDMSearchFunction.h"

using namespace zq::part;

namespace {

// The product code is field 2 (and column 2); its name takes column 3; the query's fourth field
// goes to column 4.
constexpr int kProductField = 2;
constexpr int kProductNameColumn = 3;
constexpr int kOldCodeField = 3;
constexpr int kOldCodeColumn = 4;

const zq::PageRegistration kRegistration(QStringLiteral("设计零部件"),
                                         [] { return std::make_unique<CZQPDMSearchPart>(); });

CTreeCtrlEx* HostTree()
{
    return CZQPDMSearchFunction::m_pTreeEx;
}

} // namespace

CZQPDMSearchPart::CZQPDMSearchPart(QWidget* parent) : CZQPartConditionPage(parent) {}

CZQPDMSearchPart::~CZQPDMSearchPart() = default;

bool CZQPDMSearchPart::CreatePage(QWidget* parent)
{
    return CreateFromTemplate(parent, kTemplateId);
}

bool CZQPDMSearchPart::OnInitDialog()
{
    return InitConditionPage(ConditionRows(ReadConditionNames(ConditionConfigPath())),
                             {
                                 {QStringLiteral("零部件图号"), 100},
                                 {QStringLiteral("零部件图名"), 120},
                                 {QStringLiteral("所在产品"), 120},
                                 {QStringLiteral("产品名称"), 120},
                                 OldCodeColumn(),
                                 {QStringLiteral("来源类型"), 120},
                             });
}

void CZQPDMSearchPart::UpdateData(bool save)
{
    CZQPartConditionPage::UpdateData(save);
    if (save) {
        m_strScope = zq::ControlText(*this, IDC_SCOPE_TEXT);
        m_bScope = zq::IsChecked(*this, IDC_SCOPE_CHECK);
    } else {
        zq::SetControlText(*this, IDC_SCOPE_TEXT, m_strScope);
        zq::SetChecked(*this, IDC_SCOPE_CHECK, m_bScope);
    }
}

QString CZQPDMSearchPart::ScopeOfSelectedTreeItem() const
{
    CTreeCtrlEx* tree = HostTree();
    return tree ? BuildScopePath(tree->GetSelectedItem()) : QString();
}

void CZQPDMSearchPart::OnKindShown(int kind)
{
    const bool detail = kind == KindDetail;
    if (detail) {
        if (HostTree())
            m_strScope = ScopeOfSelectedTreeItem();
        UpdateData(false);
    }
    if (QWidget* check = zq::Control(*this, IDC_SCOPE_CHECK))
        check->setEnabled(detail);
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
    if (ScopeInForce())
        return StructureSearch();
    m_productNames.Clear();
    const int result = PlainSearch(sql);
    m_productNames.Clear();
    return result;
}

int CZQPDMSearchPart::ResultColumnOfField(int field) const
{
    return field == kOldCodeField ? kOldCodeColumn : field;
}

void CZQPDMSearchPart::CompleteRow(RowViews& texts, std::span<const QAnyStringView> fields)
{
    if (fields.size() <= size_t(kProductField))
        return;
    while (texts.size() <= kProductNameColumn)
        texts.append(QStringView());
    if (!m_pDBConnect)
        return;
    // Each product's name is read once a search; its rows share the code and name texts.
    const ProductNames::Product& product = m_productNames.Lookup(*m_pDBConnect, fields[kProductField]);
    texts[kProductField] = product.code;
    texts[kProductNameColumn] = product.name;
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
    if (CReportListCtrl* list = GetResultList())
        zq::part::ShowStructurePaths(*list, m_structurePaths, m_strScope, m_pDBConnect);
}

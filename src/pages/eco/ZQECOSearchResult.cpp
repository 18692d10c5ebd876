#include "ZQECOSearchResult.h"

#include "PageRegistry.h"
#include "ZQPDMFC.h"

#include <QAbstractButton>

namespace {

enum ControlId { IdFrom = 1204, IdTo = 1258, IdOpinions = 1318, IdAdd = 1009, IdRemove = 1008, IdResult = 1319 };

const DialogTemplate kTemplate378{
    378, QString(), CZQSearchPage::kTemplateArea, QStringLiteral("MS Sans Serif"), 8,
    {
        {-1, ControlKind::Static, QStringLiteral("编制日期:"), QRect(2, 4, 40, 8)},
        {-1, ControlKind::Static, QStringLiteral("从:"), QRect(10, 18, 14, 8)},
        {IdFrom, ControlKind::DatePicker, QString(), QRect(34, 15, 76, 14)},
        {-1, ControlKind::Static, QStringLiteral("到:"), QRect(10, 36, 14, 8)},
        {IdTo, ControlKind::DatePicker, QString(), QRect(34, 33, 76, 14)},
        {-1, ControlKind::Static, QStringLiteral("更改零部件的处理意见:"), QRect(2, 53, 100, 8)},
        {IdOpinions, ControlKind::GridList, QString(), QRect(2, 63, 108, 114), CS_MULTISEL | CS_STRETCH_DOWN},
        {IdAdd, ControlKind::Button, QStringLiteral("增加"), QRect(2, 181, 50, 14), CS_MOVE_DOWN},
        {IdRemove, ControlKind::Button, QStringLiteral("删除"), QRect(60, 181, 50, 14), CS_MOVE_DOWN},
        {IdResult, ControlKind::ReportList, QString(), QRect(112, 2, 235, 193)},
    },
};

const zq::TemplateRegistration kTemplateRegistration(&kTemplate378);
const zq::PageRegistration kPageRegistration(QStringLiteral("更改处理意见"),
                                             [] { return std::make_unique<CZQECOSearchResult>(); });

} // namespace

CZQECOSearchResult::CZQECOSearchResult(QWidget* parent) : CZQECOListPage(parent) {}

bool CZQECOSearchResult::CreatePage(QWidget* parent)
{
    return CreateFromTemplate(parent, 378);
}

bool CZQECOSearchResult::OnInitDialog()
{
    ConnectOrderList();
    m_pOpinionList = zq::ControlAs<CGridListCtrl>(*this, IdOpinions);
    DeclareRowList(IdOpinions);
    if (auto* button = zq::ControlAs<QAbstractButton>(*this, IdAdd))
        connect(button, &QAbstractButton::clicked, this, [this] { OnAdd(); });
    if (auto* button = zq::ControlAs<QAbstractButton>(*this, IdRemove))
        connect(button, &QAbstractButton::clicked, this, [this] { OnRemove(); });

    if (!InitConnection())
        return false;
    zq::eco::SetupConditionList(m_pOpinionList);
    if (m_pOpinionList) {
        m_pOpinionList->SetEditableColumns({1});
        m_pOpinionList->EnableEditing(true);
    }
    SetupOrderList();
    SetupDatePickers(30, true);
    return true;
}

QStringList CZQECOSearchResult::Opinions() const
{
    return m_pOpinionList ? m_pOpinionList->GetColumnTexts(1) : QStringList();
}

void CZQECOSearchResult::OnAdd()
{
    if (!m_pOpinionList)
        return;
    const int row = m_pOpinionList->InsertItem(m_pOpinionList->GetItemCount(), QStringLiteral("处理意见"));
    m_pOpinionList->SetItemText(row, 1, QString());
}

void CZQECOSearchResult::OnRemove()
{
    if (m_pOpinionList)
        m_pOpinionList->DeleteSelectedItems();
}

int CZQECOSearchResult::DoSearch()
{
    QueryGuard guard(*this);
    ClearRows();
    return RunOrderQuery(TakeSql(zq::eco::BuildOpinionSql(FromDate(), ToDate(), Opinions())));
}

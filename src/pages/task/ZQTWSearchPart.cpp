#include "ZQTWSearchPart.h"

#include "Desktop.h"
#include "DialogTemplate.h"
#include "PageRegistry.h"
#include "SearchFailure.h"
#include "TempResourceOverride.h"
#include "ZQDBConnect.h"
#include "ZQPDMSearchFunction.h"
#include "ZQPDMSearchMain.h"

#include <QAbstractButton>
#include <QResizeEvent>

using namespace zq::task;

namespace {

constexpr int kPartIcon = 140;
constexpr int kDaysBack = 365;
constexpr int kValueColumn = 1;

// The time range and the condition grid on the left, the parts on the right.
const DialogTemplate kTemplate24005{
    CZQTWSearchPart::kTemplateId, QString(), QSize(356, 203), QStringLiteral("MS Sans Serif"), 8,
    {
        {-1, ControlKind::Static, QStringLiteral("时间范围"), QRect(2, 4, 60, 8)},
        {CZQTWSearchPart::IDC_FROM_CHECK, ControlKind::CheckBox, QStringLiteral("从："), QRect(2, 17, 28, 10)},
        {CZQTWSearchPart::IDC_FROM, ControlKind::DatePicker, QString(), QRect(32, 15, 80, 14), CS_DISABLED},
        {CZQTWSearchPart::IDC_TO_CHECK, ControlKind::CheckBox, QStringLiteral("到："), QRect(2, 34, 28, 10)},
        {CZQTWSearchPart::IDC_TO, ControlKind::DatePicker, QString(), QRect(32, 32, 80, 14), CS_DISABLED},
        {CZQTWSearchPart::IDC_CONDITIONS, ControlKind::GridList, QString(), QRect(0, 50, 112, 150)},
        {CZQTWSearchPart::IDC_RESULTS, ControlKind::SortList, QString(), QRect(114, 2, 238, 198)},
    },
};

const zq::TemplateRegistration kTemplateRegistration(&kTemplate24005);
const zq::PageRegistration kPageRegistration(QStringLiteral("设计过程零部件"),
                                             [] { return std::make_unique<CZQTWSearchPart>(); });

} // namespace

CZQTWSearchPart::CZQTWSearchPart(QWidget* parent) : CZQSearchPage(parent)
{
    SetResizeRule(ResizeRule::Custom);
}

bool CZQTWSearchPart::CreatePage(QWidget* parent)
{
    return CreateFromTemplate(parent, kTemplateId);
}

bool CZQTWSearchPart::OnInitDialog()
{
    zq::WaitCursor wait;
    m_pConditionGrid = zq::ControlAs<CGridListCtrl>(*this, IDC_CONDITIONS);
    m_pResultList = zq::ControlAs<CReportListCtrl>(*this, IDC_RESULTS);
    for (const int id : {IDC_FROM_CHECK, IDC_TO_CHECK})
        if (auto* box = zq::ControlAs<QAbstractButton>(*this, id))
            connect(box, &QAbstractButton::clicked, this, [this] { EnablePickers(); });
    if (m_pResultList)
        connect(m_pResultList, &CReportListCtrl::doubleClicked, this, &CZQTWSearchPart::OnDblclkList);

    if (!InitConnection())
        return false;
    SetupConditionGrid();
    SetupPartList();
    SetupDatePickers(kDaysBack, false);
    return true;
}

void CZQTWSearchPart::SetupConditionGrid()
{
    if (!m_pConditionGrid)
        return;
    m_pConditionGrid->SetExtendedStyle(m_pConditionGrid->GetExtendedStyle() | CReportListCtrl::LVS_EX_GRIDLINES
                                       | CReportListCtrl::LVS_EX_FULLROWSELECT);
    m_pConditionGrid->InsertColumn(0, QStringLiteral("属性项"), CReportListCtrl::LVCFMT_LEFT, 80);
    m_pConditionGrid->InsertColumn(1, QStringLiteral("属性值"), CReportListCtrl::LVCFMT_LEFT, 90);
    m_pConditionGrid->SetEditableColumns({kValueColumn});
    for (const ProcessPartRow& row : ProcessPartRows())
        m_pConditionGrid->InsertItem(m_pConditionGrid->GetItemCount(), QString::fromUtf8(row.label));
}

void CZQTWSearchPart::SetupPartList()
{
    if (m_imageList.GetImageCount() == 0)
        m_imageList.Add(zq::LoadIconResource(kPartIcon));
    SetupResultList(m_pResultList,
                    {{QStringLiteral("图号"), 80},
                     {QStringLiteral("图名"), 80},
                     {QStringLiteral("负责人"), 80},
                     {QStringLiteral("存储时间"), 80},
                     {QStringLiteral("所属任务名称"), 100},
                     {QStringLiteral("所属任务编号"), 100},
                     {QStringLiteral("任务负责人"), 100},
                     {QStringLiteral("任务状态"), 80},
                     {QStringLiteral("所属项目名称"), 100},
                     {QStringLiteral("所属项目编号"), 100},
                     {QStringLiteral("项目负责人"), 100},
                     {QStringLiteral("项目状态"), 80}},
                    &m_imageList);
}

void CZQTWSearchPart::EnablePickers()
{
    if (QWidget* from = zq::Control(*this, IDC_FROM))
        from->setEnabled(zq::IsChecked(*this, IDC_FROM_CHECK));
    if (QWidget* to = zq::Control(*this, IDC_TO))
        to->setEnabled(zq::IsChecked(*this, IDC_TO_CHECK));
}

QString CZQTWSearchPart::BuildSql()
{
    if (m_pConditionGrid)
        m_pConditionGrid->CommitEdit();
    ProcessPartConditions conditions;
    for (int row = 0; m_pConditionGrid && row < m_pConditionGrid->GetItemCount(); ++row)
        conditions.grid.append({m_pConditionGrid->GetItemText(row, 0), m_pConditionGrid->GetItemText(row, kValueColumn)});
    if (zq::IsChecked(*this, IDC_FROM_CHECK))
        conditions.from = FromDate();
    if (zq::IsChecked(*this, IDC_TO_CHECK))
        conditions.to = ToDate();
    bool reversed = false;
    const QString sql = BuildProcessPartSql(conditions, &reversed);
    if (reversed)
        WarnReversedDates();
    return sql;
}

int CZQTWSearchPart::DoSearch()
{
    QueryGuard guard(*this);
    zq::WaitCursor wait;
    if (m_pResultList)
        m_pResultList->DeleteAllItems();
    const QString sql = BuildSql();
    if (!m_pDBConnect || m_pDBConnect->GetRecordInfo(sql, m_pResultList, 0, false, zq::DataSystemPDM) < 0) {
        ShowPrompt(QStringLiteral("查询数据库记录时出现异常!"));
        zq::NoteSearchFailure(m_pDBConnect ? m_pDBConnect->LastError() : QStringLiteral("数据库连接未打开"));
        return 0;
    }
    return 1;
}

QString CZQTWSearchPart::GetLocateText()
{
    if (!m_pResultList)
        return QString();
    const QList<int> selected = m_pResultList->GetSelectedRows();
    if (selected.isEmpty())
        return QString();
    const int row = selected.first();
    return m_pResultList->GetItemText(row, 0) + QStringLiteral("@^") + m_pResultList->GetItemText(row, 1)
           + QStringLiteral("@^") + m_pResultList->GetItemText(row, 5);
}

// Every double-click on a part is told to the host, also on the same part again.
void CZQTWSearchPart::OnDblclkList(int row)
{
    if (!m_pResultList || row < 0 || row >= m_pResultList->GetItemCount())
        return;
    const QString text = GetLocateText();
    if (CZQPDMSearchMain* main = CZQPDMSearchFunction::m_pPDMSearchMain)
        main->NotifyLocate(text);
}

// The grid keeps its left, top and right; the part list keeps its left and top; both reach
// down to 5 pixels above the bottom, the part list also to 5 pixels inside the right edge.
void CZQTWSearchPart::resizeEvent(QResizeEvent* event)
{
    CZQSearchPage::resizeEvent(event);
    StretchToCorner(m_pConditionGrid, event->size().width(), event->size().height(), true);
    StretchToCorner(m_pResultList, event->size().width(), event->size().height(), false);
}

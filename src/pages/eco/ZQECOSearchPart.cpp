#include "ZQECOSearchPart.h"

#include "Desktop.h"
#include "ECOSql.h"
#include "PageRegistry.h"
#include "PartServices.h"
#include "RunQuery.h"
#include "TLItem.h"
#include "TempResourceOverride.h"
#include "ZQPDMFC.h"

#include <QAbstractButton>

namespace {

enum ControlId {
    IdAuthor = 1067, IdPickUser = 1309, IdFrom = 1204, IdTo = 1258, IdOrderNumber = 1376, IdSubject = 1004,
    IdPartCode = 1022, IdModeParts = 1034, IdModeUpper = 1041, IdResult = 1319,
};
constexpr int kPartIcon = 140;
constexpr int kPartFields = 4;

const DialogTemplate kTemplate149{
    149, QString(), CZQSearchPage::kTemplateArea, QStringLiteral("MS Sans Serif"), 8,
    {
        {-1, ControlKind::Static, QStringLiteral("编制人:"), QRect(2, 4, 30, 8)},
        {IdAuthor, ControlKind::Edit, QString(), QRect(34, 2, 60, 12)},
        {IdPickUser, ControlKind::Button, QStringLiteral("..."), QRect(96, 2, 14, 12)},
        {-1, ControlKind::Static, QStringLiteral("编制日期:"), QRect(2, 19, 40, 8)},
        {-1, ControlKind::Static, QStringLiteral("从:"), QRect(10, 33, 14, 8)},
        {IdFrom, ControlKind::DatePicker, QString(), QRect(34, 30, 76, 14)},
        {-1, ControlKind::Static, QStringLiteral("到:"), QRect(10, 51, 14, 8)},
        {IdTo, ControlKind::DatePicker, QString(), QRect(34, 48, 76, 14)},
        {-1, ControlKind::Static, QStringLiteral("更改单编号(含):"), QRect(2, 68, 80, 8)},
        {IdOrderNumber, ControlKind::Edit, QString(), QRect(2, 78, 108, 12)},
        {-1, ControlKind::Static, QStringLiteral("主题(含):"), QRect(2, 95, 60, 8)},
        {IdSubject, ControlKind::Edit, QString(), QRect(2, 105, 108, 12)},
        {-1, ControlKind::Static, QStringLiteral("零部件图号(近似):"), QRect(2, 122, 90, 8)},
        {IdPartCode, ControlKind::Edit, QString(), QRect(2, 132, 108, 12)},
        {-1, ControlKind::GroupBox, QString(), QRect(2, 148, 108, 34)},
        {IdModeParts, ControlKind::Radio, QStringLiteral("更改零部件"), QRect(8, 156, 96, 10), CS_GROUP},
        {IdModeUpper, ControlKind::Radio, QStringLiteral("涉及上级部件"), QRect(8, 168, 96, 10)},
        {IdResult, ControlKind::ReportList, QString(), QRect(112, 2, 235, 193)},
    },
};

const zq::TemplateRegistration kTemplateRegistration(&kTemplate149);
const zq::PageRegistration kPageRegistration(QStringLiteral("更改影响面"),
                                             [] { return std::make_unique<CZQECOSearchPart>(); });

} // namespace

CZQECOSearchPart::CZQECOSearchPart(QWidget* parent) : CZQSearchPage(parent), m_author(*this, IdAuthor)
{
    SetKeyRule(KeyRule::Swallow);
}

CZQECOSearchPart::~CZQECOSearchPart()
{
    // The list items point at the records; let go of them before the records.
    if (m_pResultList)
        m_pResultList->DeleteAllItems();
}

bool CZQECOSearchPart::CreatePage(QWidget* parent)
{
    return CreateFromTemplate(parent, 149);
}

bool CZQECOSearchPart::OnInitDialog()
{
    zq::WaitCursor wait;
    return InitPage();
}

bool CZQECOSearchPart::InitPage()
{
    m_pResultList = zq::ControlAs<CReportListCtrl>(*this, IdResult);
    if (m_pResultList) {
        connect(m_pResultList, &CReportListCtrl::rightClicked, this, [this] { OnResultRightClick(); });
        // A header change is taken and nothing else happens.
        connect(m_pResultList, &CReportListCtrl::headerItemChanged, this, [](int) {});
    }
    if (auto* button = zq::ControlAs<QAbstractButton>(*this, IdPickUser))
        connect(button, &QAbstractButton::clicked, this, [this] { m_author.Pick(m_pDBConnect); });
    zq::SetChecked(*this, IdModeParts, true);

    if (!InitConnection())
        return false;
    EnsureServicesOpen();
    m_author.ShowFetchedUser();
    m_imageList.Add(zq::LoadIconResource(kPartIcon));
    SetupResultList(m_pResultList,
                    {{QStringLiteral("零部件图号"), 100},
                     {QStringLiteral("零部件图名"), 120},
                     {QStringLiteral("所在产品"), 120},
                     {QStringLiteral("影响处"), 120}},
                    &m_imageList);
    SetupDatePickers(30, true);
    return true;
}

int CZQECOSearchPart::DoSearch()
{
    if (!m_pResultList)
        return 0;
    QueryGuard guard(*this);
    m_pResultList->DeleteAllItems();
    m_rowRecords.clear();

    zq::eco::PartConditions conditions;
    conditions.author = zq::ControlText(*this, IdAuthor);
    conditions.orderNumber = zq::ControlText(*this, IdOrderNumber);
    conditions.subject = zq::ControlText(*this, IdSubject);
    conditions.partCode = zq::ControlText(*this, IdPartCode);
    conditions.mode = zq::IsChecked(*this, IdModeUpper) ? zq::eco::PartResultMode::UpperParts
                                                        : zq::eco::PartResultMode::ChangedParts;
    conditions.from = FromDate();
    conditions.to = ToDate();
    const zq::eco::SqlText text = zq::eco::BuildChangedPartSql(conditions);
    if (text.dateWarning)
        WarnReversedDates();

    QueryRequest request = PageQuery(QueryVariant::B, text.sql, m_pResultList);
    request.fieldCount = kPartFields;
    request.onRecord = [this](int row, const QStringList& fields) {
        m_rowRecords.emplace_back(InsertRecordRow(*m_pResultList, row, fields));
    };
    return RunQuery(request);
}

void CZQECOSearchPart::OnResultRightClick()
{
    const int row = m_pResultList->GetSelectionMark();
    if (row < 0 || row >= m_pResultList->GetItemCount())
        return;
    const int command = TrackPopupMenu({{CmdUsedSearch, QStringLiteral("借用查询...")},
                                        {0, QString()},
                                        {CmdAttributes, QStringLiteral("零部件属性...")},
                                        {0, QString()},
                                        {CmdVersions, QStringLiteral("版本浏览...")},
                                        {0, QString()},
                                        {CmdCopyCode, QStringLiteral("复制零部件图号...")}});
    RunMenuCommand(command, row);
}

void CZQECOSearchPart::RunMenuCommand(int command, int row)
{
    if (!m_pResultList || row < 0 || row >= m_pResultList->GetItemCount())
        return;
    const QString code = m_pResultList->GetItemText(row, 0);
    switch (command) {
    case CmdUsedSearch:
        CZQPartBorrowManage::PartUsedSearch(code);
        break;
    case CmdAttributes: {
        CZQPart part;
        part.SetPartParameter(code, QString(), QString(), QStringLiteral("A"));
        part.DwgAttribute(QStringLiteral("ZqlomiraAll"), 1);
        break;
    }
    case CmdVersions: {
        CZQPart part;
        part.SetPartParameter(code, QString(), code, QStringLiteral("A"));
        part.BrowsePartReversion();
        break;
    }
    case CmdCopyCode:
        CopyTextToClipboard(code);
        break;
    default:
        break;
    }
}

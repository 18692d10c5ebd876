#include "ZQECOListPage.h"

#include "CallLog.h"
#include "ComError.h"
#include "Desktop.h"
#include "EcoServices.h"
#include "FileServices.h"
#include "RunQuery.h"
#include "TLItem.h"
#include "TempResourceOverride.h"
#include "ZQDBConnect.h"
#include "ZQPDMFC.h"

#include <QFile>
#include <QFileInfo>

namespace {

constexpr int kResultListId = 1319;
constexpr int kOrderIcon = 221;
constexpr int kOrderFields = 5;

} // namespace

CZQECOListPage::CZQECOListPage(QWidget* parent) : CZQSearchPage(parent)
{
    SetKeyRule(KeyRule::Swallow);
}

CZQECOListPage::~CZQECOListPage()
{
    // The list items point at the records; let go of them before the records.
    if (m_pResultList)
        m_pResultList->DeleteAllItems();
}

QString CZQECOListPage::GetLocateText()
{
    if (!m_pResultList || m_nLastReportedRow < 0 || m_nLastReportedRow >= m_pResultList->GetItemCount())
        return QString();
    return m_pResultList->GetItemText(m_nLastReportedRow, LocateColumn());
}

void CZQECOListPage::SetupOrderList()
{
    if (m_imageList.GetImageCount() == 0)
        m_imageList.Add(zq::LoadIconResource(kOrderIcon));
    SetupResultList(m_pResultList,
                    {{QStringLiteral("单据类型"), 80},
                     {QStringLiteral("更改单号"), 100},
                     {QStringLiteral("更改主题"), 120},
                     {QStringLiteral("编制人员"), 100},
                     {QStringLiteral("编制日期"), 100}},
                    &m_imageList);
}

void CZQECOListPage::ConnectOrderList()
{
    m_pResultList = zq::ControlAs<CReportListCtrl>(*this, kResultListId);
    if (!m_pResultList)
        return;
    connect(m_pResultList, &CReportListCtrl::rightClicked, this, [this] { OnResultRightClick(); });
    connect(m_pResultList, &CReportListCtrl::itemChanged, this, [this](int row) { ReportSelection(row); });
}

void CZQECOListPage::ClearRows()
{
    if (m_pResultList)
        m_pResultList->DeleteAllItems();
    m_rowRecords.clear();
}

QueryRequest CZQECOListPage::OrderQuery(const QString& sql)
{
    QueryRequest request = PageQuery(QueryVariant::B, sql, m_pResultList);
    request.fieldCount = kOrderFields;
    request.onRecord = [this](int row, const QStringList& fields) {
        m_rowRecords.emplace_back(InsertRecordRow(*m_pResultList, row, fields));
    };
    return request;
}

int CZQECOListPage::RunOrderQuery(const QString& sql)
{
    return m_pResultList ? RunQuery(OrderQuery(sql)) : 0;
}

int CZQECOListPage::ReadOrderRows(const QString& sql)
{
    return m_pResultList ? ReadQuery(OrderQuery(sql)) : 0;
}

QString CZQECOListPage::TakeSql(const zq::eco::SqlText& text)
{
    if (text.dateWarning)
        WarnReversedDates();
    return text.sql;
}

void CZQECOListPage::OnResultRightClick()
{
    const int row = m_pResultList->GetSelectionMark();
    if (row < 0 || row >= m_pResultList->GetItemCount())
        return;
    const int command = TrackPopupMenu({{CmdBrowse, QStringLiteral("浏览...")},
                                        {0, QString()},
                                        {CmdProperties, QStringLiteral("属性...")},
                                        {0, QString()},
                                        {CmdCopyNumber, QStringLiteral("复制更改单编号...")}});
    RunMenuCommand(command, row);
}

void CZQECOListPage::RunMenuCommand(int command, int row)
{
    if (!m_pResultList || row < 0 || row >= m_pResultList->GetItemCount())
        return;
    const QString kind = m_pResultList->GetItemText(row, 0);
    const QString number = m_pResultList->GetItemText(row, 1);
    switch (command) {
    case CmdBrowse:
        BrowseStoredFile(kind, number);
        break;
    case CmdProperties:
        CZQECOObject().ViewECOItem(kind, number);
        break;
    case CmdCopyNumber:
        CopyTextToClipboard(number);
        break;
    default:
        break;
    }
}

void CZQECOListPage::BrowseStoredFile(const QString& kind, const QString& number)
{
    if (!m_pDBConnect)
        return;
    try {
        if (m_pDBConnect->GetSelectItemData(zq::eco::StoredFileSizeSql(kind, number), zq::DataSystemPDM).isEmpty())
            return;
        const QString localPath = zq::WorkingFolder() + zq::eco::StoredFileName(number);
        // A copy left by an earlier fetch must not pass for this one.
        QFile::remove(localPath);
        const qsizetype failuresBefore = zq::CallLog::FailureCount();
        const QString written = CZQSaveFileToDB().PopFileFromDB(zq::eco::StoredFileContentSql(kind, number), localPath,
                                                                 QStringLiteral("DocContent"), QStringLiteral("pdm"));
        if (written.isEmpty() || !QFileInfo::exists(localPath)) {
            const QStringList reasons = zq::CallLog::ReasonsSince(failuresBefore);
            ShowPrompt(QStringLiteral("文件没有下载成功"),
                       reasons.isEmpty() ? QStringLiteral("本地没有得到文件 %1").arg(localPath) : reasons.join(u'\n'));
            return;
        }
        CCommonBrowserTool().BrowseFile(localPath, 0);
    } catch (const zq::_com_error& error) {
        zq::ReportComError(error.Description(), error.Source());
    }
}

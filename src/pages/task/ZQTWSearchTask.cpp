#include "ZQTWSearchTask.h"

#include "ComError.h"
#include "Desktop.h"
#include "PageRegistry.h"
#include "RunQuery.h"
#include "TempResourceOverride.h"
#include "ZQDBConnect.h"
#include "ZQPDMFC.h"
#include "ZQPDMSearchFunction.h"
#include "ZQPDMSearchMain.h"

#include <QAbstractButton>
#include <QComboBox>

using namespace zq::task;

namespace {

constexpr int kTaskIcon = 207;
constexpr int kTaskFields = 6;
constexpr int kDaysBack = 30;

const zq::PageRegistration kRegistration(QStringLiteral("设计任务"), [] { return std::make_unique<CZQTWSearchTask>(); });

void ShowSearchFailure()
{
    zq::Desktop::current().messageBox(QStringLiteral("查询信息时,数据库出现异常!"), QStringLiteral("操作说明"),
                                      zq::MB_OK | zq::MB_ICONEXCLAMATION);
}

} // namespace

CZQTWSearchTask::CZQTWSearchTask(QWidget* parent)
    : CZQSearchPage(parent), m_person(*this, IdPerson, zq::UserField::Shows::LogName)
{
}

bool CZQTWSearchTask::CreatePage(QWidget* parent)
{
    return CreateFromTemplate(parent, kTemplateId);
}

bool CZQTWSearchTask::OnInitDialog()
{
    zq::WaitCursor wait;
    m_pResultList = zq::ControlAs<CReportListCtrl>(*this, IdResult);
    if (auto* kind = zq::ControlAs<QComboBox>(*this, IdKind))
        connect(kind, &QComboBox::currentIndexChanged, this, [this] { OnSelchangeKind(); });
    if (auto* button = zq::ControlAs<QAbstractButton>(*this, IdPickUser))
        connect(button, &QAbstractButton::clicked, this, [this] {
            m_person.Pick(m_pDBConnect);
            UpdateData(true);
        });
    if (m_pResultList)
        connect(m_pResultList, &CReportListCtrl::doubleClicked, this, &CZQTWSearchTask::OnDblclkList);

    if (!InitConnection())
        return false;
    EnsureServicesOpen();
    m_person.ShowFetchedUser();
    SetupDatePickers(kDaysBack, true);
    m_data.person = zq::ControlText(*this, IdPerson);
    m_data.from = FromDate();
    m_data.to = ToDate();
    UpdateData(false);
    if (m_imageList.GetImageCount() == 0)
        m_imageList.Add(zq::LoadIconResource(kTaskIcon));
    if (m_pResultList)
        SetupTaskList(*m_pResultList, QStringLiteral("任务编号"), &m_imageList);
    return true;
}

void CZQTWSearchTask::UpdateData(bool save)
{
    ExchangeTaskForm(*this, m_data, save);
}

// The review kinds have their own states; the list changes content (and goes back to its first
// entry) only when the kind moves between a review kind and a task kind.
void CZQTWSearchTask::OnSelchangeKind()
{
    const int oldKind = m_data.kind;
    UpdateData(true);
    const bool wasReview = IsReviewKind(oldKind);
    const bool isReview = IsReviewKind(m_data.kind);
    if (isReview != wasReview)
        m_data.state = 0;
    FillStateList(*this, isReview, m_data.state);
}

TaskSqlTexts CZQTWSearchTask::BuildSql()
{
    UpdateData(true);
    TaskConditions conditions;
    conditions.name = m_data.name;
    conditions.number = m_data.number;
    conditions.person = m_data.person;
    conditions.kind = m_data.kind;
    conditions.stateIndex = m_data.state;
    conditions.stateText = zq::ControlText(*this, IdState);
    conditions.from = m_data.from;
    conditions.to = m_data.to;
    return BuildTaskSql(conditions, [this] {
        if (!m_pDBConnect)
            throw zq::_com_error(zq::kErrInvalidConnection, QStringLiteral("没有数据库连接"));
        return m_pDBConnect->FetchServerDate(zq::DataSystemPDM);
    });
}

int CZQTWSearchTask::DoSearch()
{
    QueryGuard guard(*this);
    if (m_pResultList)
        m_pResultList->DeleteAllItems();
    TaskSqlTexts texts;
    try {
        texts = BuildSql();
    } catch (const zq::_com_error& error) {
        zq::ReportComError(error.Description(), error.Source());
        ShowSearchFailure();
        return 0;
    }
    // One warning for the whole search, though every query drops its date condition.
    if (texts.dateWarning)
        WarnReversedDates();
    for (const QString& sql : std::as_const(texts.sql)) {
        if (!ReadTasks(sql)) {
            ShowSearchFailure();
            return 0;
        }
    }
    return 1;
}

bool CZQTWSearchTask::ReadTasks(const QString& sql)
{
    QueryRequest request = PageQuery(QueryVariant::A, sql, m_pResultList);
    request.fieldCount = kTaskFields;
    request.onRecord = [this](int, const QStringList& fields) {
        if (m_pResultList)
            AppendTaskRow(*m_pResultList, fields);
    };
    return ReadQuery(request) != 0;
}

QString CZQTWSearchTask::GetLocateText()
{
    if (!m_pResultList)
        return QString();
    const QList<int> selected = m_pResultList->GetSelectedRows();
    if (selected.isEmpty())
        return QString();
    // The row a locate text was made for: a double-click on it sends no second Locate.
    m_nLastDblClkRow = selected.first();
    return m_pResultList->GetItemText(selected.first(), 1);
}

void CZQTWSearchTask::OnDblclkList(int row)
{
    if (!m_pResultList || row < 0 || row >= m_pResultList->GetItemCount() || row == m_nLastDblClkRow)
        return;
    m_nLastDblClkRow = row;
    const QString text = GetLocateText();
    if (CZQPDMSearchMain* main = CZQPDMSearchFunction::m_pPDMSearchMain)
        main->NotifyLocate(text);
}

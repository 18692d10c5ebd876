#include "ZQSearchPage.h"
#include "PageConditions.h"
#include "DatePickers.h"
#include "Desktop.h"
#include "PageRegistry.h"
#include "RunQuery.h"
#include "ZQDBConnect.h"
#include "ZQPDMSearchFunction.h"
#include "ZQPDMSearchMain.h"
#include <QApplication>
#include <QDateTimeEdit>
#include <QKeyEvent>
#include <QResizeEvent>
#include <memory>
#include <vector>

namespace {

constexpr int kConditionListId = 1318;
constexpr int kResultListId = 1319;
constexpr int kMargin = 5;

// Connection objects the module had to create because the host had none. The host never
// learns to destroy them, so they live until the application object goes away.
std::vector<std::unique_ptr<zq::CZQDBConnect>>& createdConnections()
{
    static std::vector<std::unique_ptr<zq::CZQDBConnect>> created;
    return created;
}

void releaseCreatedConnections()
{
    auto& created = createdConnections();
    for (const auto& connection : created)
        if (zq::CZQDBConnect::GetCurDBConnect() == connection.get())
            zq::CZQDBConnect::SetCurDBConnect(nullptr);
    created.clear();
}

bool isEnter(const QKeyEvent* event)
{
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

bool isEnterOrEscape(const QKeyEvent* event)
{
    return isEnter(event) || event->key() == Qt::Key_Escape;
}

} // namespace

CZQSearchPage::CZQSearchPage(QWidget* parent) : QWidget(parent) {}

CZQSearchPage::~CZQSearchPage() = default;

void CZQSearchPage::ShowPrompt(const QString& text, const QString& detail)
{
    zq::Desktop::current().messageBox(text, QStringLiteral("操作提示"), zq::MB_OK | zq::MB_ICONEXCLAMATION, detail);
}

void CZQSearchPage::WarnReversedDates()
{
    ShowPrompt(QStringLiteral("开始日期与结束日期不匹配..."));
}

void CZQSearchPage::CopyTextToClipboard(const QString& text)
{
    zq::Desktop::current().setClipboardText(text);
}

bool CZQSearchPage::CreateFromTemplate(QWidget* parent, int templateId)
{
    const DialogTemplate* dialogTemplate = zq::PageTemplate(templateId);
    if (!dialogTemplate)
        return false;
    setParent(parent);
    setWindowFlags(Qt::Widget);
    if (!zq::BuildDialog(*this, dialogTemplate))
        return false;
    InstallKeyFilter();
    OnInitDialog();
    m_initialConditions = SaveConditions(zq::Desktop::current().now().date(), false);
    return true;
}

QueryRequest CZQSearchPage::PageQuery(QueryVariant variant, const QString& sql, CReportListCtrl* list) const
{
    QueryRequest request;
    request.variant = variant;
    request.sql = sql;
    request.connection = m_pConnection;
    request.dataSystemType = m_nDataSystemType;
    request.list = list;
    return request;
}

void CZQSearchPage::OpenServices()
{
    if (zq::CZQDBConnect::GetCurDBConnect())
        EnsureServicesOpen();
}

void CZQSearchPage::EnsureServicesOpen()
{
    if (m_bServicesOpen)
        return;
    m_bServicesOpen = true;
    OnOpenServices();
}

bool CZQSearchPage::InitConnection()
{
    zq::CZQDBConnect* connect = zq::CZQDBConnect::GetCurDBConnect();
    if (!connect) {
        auto created = std::make_unique<zq::CZQDBConnect>();
        const bool ok = created->Init() && created->ConnectPDM();
        if (!ok) {
            if (zq::CZQDBConnect::GetCurDBConnect() == created.get())
                zq::CZQDBConnect::SetCurDBConnect(nullptr);
            return false;
        }
        if (createdConnections().empty())
            qAddPostRoutine(releaseCreatedConnections);
        connect = created.get();
        createdConnections().push_back(std::move(created));
        zq::CZQDBConnect::SetCurDBConnect(connect);
    }
    m_pDBConnect = connect;
    m_pConnection = connect->GetPtrPDM();
    m_nDataSystemType = connect->m_nDataSystemType;
    return true;
}

void CZQSearchPage::SetupResultList(CReportListCtrl* list, const QList<ColumnSpec>& columns, const CImageList* smallIcons)
{
    if (!list)
        return;
    list->SetSingleSelection(true);
    list->SetExtendedStyle(list->GetExtendedStyle() | CReportListCtrl::LVS_EX_FULLROWSELECT
                           | CReportListCtrl::LVS_EX_GRIDLINES);
    if (smallIcons)
        list->SetImageList(smallIcons);
    for (int i = 0; i < columns.size(); ++i)
        list->InsertColumn(i, columns[i].header, CReportListCtrl::LVCFMT_LEFT, columns[i].width);
}

void CZQSearchPage::SetupDatePickers(int daysBack, bool whiteCalendar)
{
    zq::SetupDatePickers(*this, daysBack, whiteCalendar);
}

QDate CZQSearchPage::FromDate() const
{
    auto* edit = zq::ControlAs<QDateTimeEdit>(*this, zq::kFromPickerId);
    return edit ? edit->date() : QDate();
}

QDate CZQSearchPage::ToDate() const
{
    auto* edit = zq::ControlAs<QDateTimeEdit>(*this, zq::kToPickerId);
    return edit ? edit->date() : QDate();
}

QString CZQSearchPage::FromDateText() const
{
    return FromDate().toString(QStringLiteral("yyyy-MM-dd"));
}

QString CZQSearchPage::ToDateText() const
{
    return ToDate().toString(QStringLiteral("yyyy-MM-dd"));
}

void CZQSearchPage::StretchToCorner(QWidget* control, int width, int height, bool keepRight)
{
    if (!control)
        return;
    QRect r = control->geometry();
    const int newWidth = keepRight ? r.width() : std::max(0, width - kMargin - r.left());
    const int newHeight = std::max(0, height - kMargin - r.top());
    control->setGeometry(r.left(), r.top(), newWidth, newHeight);
}

void CZQSearchPage::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int w = event->size().width();
    const int h = event->size().height();
    zq::ApplyAnchors(*this, event->size());
    switch (m_resizeRule) {
    case ResizeRule::ResultOnly:
        StretchToCorner(zq::Control(*this, kResultListId), w, h, false);
        break;
    case ResizeRule::ConditionAndResult:
        StretchToCorner(zq::Control(*this, kConditionListId), w, h, true);
        StretchToCorner(zq::Control(*this, kResultListId), w, h, false);
        break;
    case ResizeRule::Custom:
        break;
    }
}

void CZQSearchPage::ReportSelection(int row)
{
    if (row < 0 || row == m_nLastReportedRow)
        return;
    m_nLastReportedRow = row;
    const QString text = GetLocateText();
    if (CZQPDMSearchMain* main = CZQPDMSearchFunction::m_pPDMSearchMain)
        main->NotifyLocate(text);
}

void CZQSearchPage::ReportSelectionOnItemChanged(CReportListCtrl* list)
{
    if (list)
        connect(list, &CReportListCtrl::itemChanged, this, &CZQSearchPage::ReportSelection);
}

int CZQSearchPage::ReportedRowIn(const CReportListCtrl* list) const
{
    if (!list || m_nLastReportedRow < 0 || m_nLastReportedRow >= list->GetItemCount())
        return -1;
    return m_nLastReportedRow;
}

int CZQSearchPage::TrackPopupMenu(const QList<zq::MenuEntry>& entries)
{
    zq::Desktop& desktop = zq::Desktop::current();
    return desktop.popupMenu(entries, desktop.cursorPos());
}

void CZQSearchPage::InstallKeyFilter()
{
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
}

bool CZQSearchPage::ForwardKeyToParent(QKeyEvent* event)
{
    QWidget* parent = parentWidget();
    if (!parent)
        return false;
    QKeyEvent copy(event->type(), event->key(), event->modifiers(), event->text(),
                   event->isAutoRepeat(), ushort(event->count()));
    QCoreApplication::sendEvent(parent, &copy);
    return true;
}

// The keys a page sends on to its parent: Enter and Escape, or, on a page that never closes,
// Enter alone (the window's Find); that page swallows Escape.
bool CZQSearchPage::IsForwardedKey(const QKeyEvent* event) const
{
    switch (m_keyRule) {
    case KeyRule::ForwardToParent:
        return isEnterOrEscape(event);
    case KeyRule::Swallow:
        return isEnter(event);
    case KeyRule::None:
        break;
    }
    return false;
}

// Forwarded keys reach the parent before the focused control sees them; the control then
// handles the key as usual, and what it leaves unhandled ends at keyPressEvent below.
bool CZQSearchPage::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && watched == QApplication::focusWidget()) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (IsForwardedKey(key) && ForwardKeyToParent(key))
            m_pForwardedKey = event;
    }
    return QWidget::eventFilter(watched, event);
}

void CZQSearchPage::keyPressEvent(QKeyEvent* event)
{
    if (!isEnterOrEscape(event)) {
        QWidget::keyPressEvent(event);
        return;
    }
    if (m_keyRule == KeyRule::None) {
        QWidget::keyPressEvent(event);
        return;
    }
    if (IsForwardedKey(event) && event != m_pForwardedKey)
        ForwardKeyToParent(event);
    m_pForwardedKey = nullptr;
    event->accept();
}

void CZQSearchPage::BeginQuery()
{
    ++m_nQueryDepth;
    zq::QueryActivity::instance().begin();
}

void CZQSearchPage::EndQuery()
{
    --m_nQueryDepth;
    zq::QueryActivity::instance().end();
}

QJsonObject CZQSearchPage::SaveConditions(const QDate& today, bool fixedDates)
{
    zq::ConditionReading reading;
    reading.today = today;
    reading.fixedDates = fixedDates;
    reading.resultList = GetResultList();
    reading.rowLists = m_rowLists;
    return zq::ReadPageConditions(*this, reading);
}

QStringList CZQSearchPage::RestoreConditions(const QJsonObject& conditions, const QDate& today)
{
    zq::ConditionReading reading;
    reading.today = today;
    reading.resultList = GetResultList();
    reading.rowLists = m_rowLists;
    return zq::ApplyPageConditions(*this, conditions, reading);
}

zq::PreviewSubject CZQSearchPage::PreviewOf(int row)
{
    const CReportListCtrl* list = GetResultList();
    return list ? zq::FieldsOfRow(*list, row) : zq::PreviewSubject{};
}

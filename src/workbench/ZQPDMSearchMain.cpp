#include "ZQPDMSearchMain.h"
#include "ColumnWidthMemory.h"
#include "SavedSearchMenu.h"
#include "SearchWindowState.h"
#include "DialogTemplate.h"
#include "DllCommandBase.h"
#include "Desktop.h"
#include "FlatTabCtrl.h"
#include "PageList.h"
#include "PageRegistry.h"
#include "PreviewDock.h"
#include "PreviewWorkerMaker.h"
#include "ProgressWnd.h"
#include "QtTranslations.h"
#include "ResultExport.h"
#include "RunQuery.h"
#include "TempResourceOverride.h"
#include "ZQPDMFC.h"
#include "ZQPDMSearchFunction.h"
#include "ZQSearchPage.h"
#include <QAbstractButton>
#include <QApplication>
#include <QBitmap>
#include <QKeyEvent>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QShortcut>
#include <algorithm>

namespace {

constexpr int kTabBitmapId = 135;
constexpr int kTabImageSize = 16;
const QColor kMaskColor(255, 0, 255);

// A page whose window could not be created has no parent; showing it would make it a
// top-level window of its own.
void setPageVisible(CZQSearchPage* page, bool visible)
{
    if (page->parentWidget())
        page->setVisible(visible);
}

} // namespace

CZQPDMSearchMain::CZQPDMSearchMain() : QDialog(nullptr) {}

CZQPDMSearchMain::~CZQPDMSearchMain()
{
    if (CZQPDMSearchFunction::m_pPDMSearchMain == this)
        CZQPDMSearchFunction::m_pPDMSearchMain = nullptr;
    // Children are deleted after this body; none of their signals may reach us any more.
    QObject::disconnect(&zq::QueryActivity::instance(), nullptr, this, nullptr);
    for (QObject* child : findChildren<QObject*>())
        QObject::disconnect(child, nullptr, this, nullptr);
    // A window the host destroys while it shows is left there too.
    if (isVisible())
        SavePlacement();
    if (m_columnWidths)
        m_columnWidths->Save();
    m_preview.reset();
    if (m_pTabCtrl)
        m_pTabCtrl->SetImageList(nullptr);
    m_pCurPage = nullptr;
    m_pages.clear();
}

bool CZQPDMSearchMain::Create(QWidget* parent)
{
    const DialogTemplate* dialogTemplate = zq::FindDialogTemplate(kTemplateId);
    if (!dialogTemplate)
        dialogTemplate = zq::FindModuleTemplate(kTemplateId);
    if (!dialogTemplate)
        return false;
    // A caption and a sizing border, no system menu.
    setParent(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setModal(false);
    // Qt's own buttons and dialogs speak the window's language.
    zq::LoadQtChineseTranslations();
    if (!zq::BuildDialog(*this, dialogTemplate))
        return false;
    setWindowTitle(dialogTemplate->caption);
    m_bCreated = true;
    OnInitDialog();
    return true;
}

void CZQPDMSearchMain::OnInitDialog()
{
    m_pTabCtrl = zq::ControlAs<CFlatTabCtrl>(*this, IDC_TAB);
    m_nRefWidth = width();
    m_nRefHeight = height();
    m_strInitialStatus = StatusText();
    m_state = std::make_unique<zq::SearchWindowState>();
    m_columnWidths = std::make_unique<zq::ColumnWidthMemory>(*m_state);
    BuildTabImages();

    if (m_pTabCtrl) {
        connect(m_pTabCtrl, &CFlatTabCtrl::selChange, this, &CZQPDMSearchMain::OnTabSelChange);
        m_pTabCtrl->AddTabListButton();
        m_preview = std::make_unique<zq::preview::PreviewDock>(*m_pTabCtrl, m_state.get(), zq::preview::MakeWorkerRunner());
    }
    AddTabKeys();
    m_savedSearches = std::make_unique<zq::SavedSearchMenu>(*this);
    if (auto* saved = zq::ControlAs<QAbstractButton>(*this, IDC_SAVED))
        connect(saved, &QAbstractButton::clicked, this, [this] { m_savedSearches->Show(); });
    const struct { int id; void (CZQPDMSearchMain::*handler)(); } buttons[] = {
        {IDC_FIND, &CZQPDMSearchMain::OnFind},
        {IDC_SAVEAS, &CZQPDMSearchMain::OnSaveAs},
        {IDC_LOCATE, &CZQPDMSearchMain::OnLocateClicked},
        {IDC_EXIT, &CZQPDMSearchMain::reject},
    };
    for (const auto& button : buttons)
        if (auto* control = zq::ControlAs<QAbstractButton>(*this, button.id))
            connect(control, &QAbstractButton::clicked, this, button.handler);
    connect(&zq::QueryActivity::instance(), &zq::QueryActivity::idle, this, &CZQPDMSearchMain::OnQueriesIdle);

    if (!LoadPages())
        zq::Desktop::current().messageBox(QStringLiteral("不能创建查询页面！"), QStringLiteral("错误"),
                                          zq::MB_OK | zq::MB_ICONEXCLAMATION);
    SelectPage(0);
}

void CZQPDMSearchMain::BuildTabImages()
{
    const QImage strip = zq::LoadBitmapResource(kTabBitmapId).toImage();
    for (int x = 0; x + kTabImageSize <= strip.width(); x += kTabImageSize) {
        QPixmap image = QPixmap::fromImage(strip.copy(x, 0, kTabImageSize, kTabImageSize));
        image.setMask(image.createMaskFromColor(kMaskColor, Qt::MaskInColor));
        m_tabImages.Add(QIcon(image));
    }
    if (m_pTabCtrl)
        m_pTabCtrl->SetImageList(&m_tabImages);
}

bool CZQPDMSearchMain::LoadPages()
{
    const std::optional<QStringList> lines = zq::ReadPageList(zq::PageListPath());
    if (!lines)
        return false;
    for (const QString& line : *lines) {
        if (int(m_pages.size()) >= zq::kMaxPageTabs)
            break;
        AddPage(line);
    }
    return true;
}

bool CZQPDMSearchMain::AddPage(const QString& caption)
{
    if (!m_pTabCtrl)
        return false;
    const int index = m_pTabCtrl->GetItemCount();
    const zq::KnownPage* known = zq::FindKnownPage(caption);
    if (!known)
        return false;
    // Pages register themselves; one that is not part of this build is skipped like an unknown line.
    const zq::PageFactory factory = zq::FindPageFactory(QString::fromUtf8(known->caption));
    if (!factory)
        return false;
    std::unique_ptr<CZQSearchPage> page = factory();
    if (!page)
        return false;
    m_pages.push_back({caption, known, std::move(page), false});
    // The first tab shows at once; the others wait for their tab, their requests of the services
    // made now as when they were built with the window.
    if (m_pageBuilding == PageBuilding::AllAtCreation || m_pages.size() == 1)
        BuildPage(m_pages.size() - 1);
    else
        m_pages.back().page->OpenServices();
    m_pTabCtrl->InsertItem(index, caption, index);
    return true;
}

CZQSearchPage* CZQPDMSearchMain::BuildPage(size_t index)
{
    if (index >= m_pages.size())
        return nullptr;
    PageSlot& slot = m_pages[index];
    if (slot.built || !m_pTabCtrl)
        return slot.page.get();
    slot.built = true;
    CZQSearchPage* page = slot.page.get();
    // Built after the window, maybe long after: its template is still the module's, not a host's
    // of the same id.
    const CTempResourceOverride resources(QString::fromLatin1(CZQPDMSearchFunction::kModuleName));
    page->CreatePage(m_pTabCtrl);
    m_columnWidths->Attach(page->GetResultList(), slot.caption);
    if (m_preview)
        m_preview->attach(*page);
    setPageVisible(page, slot.known->shownAtCreation);
    page->setEnabled(false);
    return page;
}

QList<CZQSearchPage*> CZQPDMSearchMain::Pages()
{
    QList<CZQSearchPage*> pages;
    for (size_t i = 0; i < m_pages.size(); ++i)
        if (CZQSearchPage* page = BuildPage(i))
            pages.append(page);
    return pages;
}

int CZQPDMSearchMain::BuiltPageCount() const
{
    return int(std::count_if(m_pages.begin(), m_pages.end(), [](const PageSlot& slot) { return slot.built; }));
}

QString CZQPDMSearchMain::StatusText() const
{
    return zq::ControlText(*this, IDC_STATUS);
}

bool CZQPDMSearchMain::StatusFromCancelledSearch() const
{
    return m_pageStatus.value(m_pCurPage).cancelled;
}

// The status line tells of the current tab's last search, or nothing yet.
void CZQPDMSearchMain::ShowPageStatus()
{
    const auto status = m_pageStatus.constFind(m_pCurPage);
    zq::SetControlText(*this, IDC_STATUS, status != m_pageStatus.constEnd() ? status->text : m_strInitialStatus);
}

void CZQPDMSearchMain::AddTabKeys()
{
    const struct {
        QKeySequence keys;
        int delta;
    } steps[] = {
        {QKeySequence(Qt::CTRL | Qt::Key_Tab), 1},
        {QKeySequence(Qt::CTRL | Qt::Key_PageDown), 1},
        // Shift+Tab arrives as Backtab; the shortcut map takes it for Shift+Tab.
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), -1},
        {QKeySequence(Qt::CTRL | Qt::Key_PageUp), -1},
    };
    for (const auto& step : steps) {
        auto* shortcut = new QShortcut(step.keys, this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, delta = step.delta] { StepPage(delta); });
    }
    auto* preview = new QShortcut(QKeySequence(Qt::Key_F3), this);
    preview->setContext(Qt::WindowShortcut);
    connect(preview, &QShortcut::activated, this, [this] {
        if (m_preview)
            m_preview->toggle();
    });
}

void CZQPDMSearchMain::StepPage(int delta)
{
    const int count = m_pTabCtrl ? m_pTabCtrl->GetItemCount() : 0;
    if (count == 0)
        return;
    const int from = std::max(0, m_pTabCtrl->GetCurSel());
    m_pTabCtrl->SelectAsUser(((from + delta) % count + count) % count);
}

bool CZQPDMSearchMain::LinkChecked() const
{
    return zq::IsChecked(*this, IDC_LOCATE);
}

void CZQPDMSearchMain::SetLinkControl(bool checked)
{
    zq::SetChecked(*this, IDC_LOCATE, checked);
}

void CZQPDMSearchMain::SelectPage(int index)
{
    if (index < 0 || index >= int(m_pages.size()))
        return;
    CZQSearchPage* next = BuildPage(size_t(index));
    if (m_pTabCtrl)
        m_pTabCtrl->SetCurSel(index);
    if (m_pCurPage) {
        m_bLink = LinkChecked();
        if (m_pCurPage->CanLocate())
            m_pCurPage->m_bLocate = m_bLink;
        setPageVisible(m_pCurPage, false);
        m_pCurPage->setEnabled(false);
    }
    m_pCurPage = next;
    if (!m_pCurPage)
        return;
    m_pCurPage->OnActivatePage();
    QWidget* locate = zq::Control(*this, IDC_LOCATE);
    if (m_pCurPage->CanLocate()) {
        if (locate)
            locate->setEnabled(true);
        m_bLink = m_pCurPage->m_bLocate;
    } else if (locate) {
        locate->setEnabled(false);
    }
    LayoutCurrentPage();
    setPageVisible(m_pCurPage, true);
    m_pCurPage->setEnabled(true);
    if (m_preview)
        m_preview->follow(m_pCurPage);
    SetLinkControl(m_bLink);
    ShowPageStatus();
}

bool CZQPDMSearchMain::SelectPageByCaption(const QString& caption)
{
    if (!m_pTabCtrl)
        return false;
    for (int i = 0; i < m_pTabCtrl->GetItemCount(); ++i) {
        if (m_pTabCtrl->GetItemText(i) == caption) {
            SelectPage(i);
            return true;
        }
    }
    return false;
}

QStringList CZQPDMSearchMain::TabCaptions() const
{
    QStringList captions;
    for (int i = 0; m_pTabCtrl && i < m_pTabCtrl->GetItemCount(); ++i)
        captions.append(m_pTabCtrl->GetItemText(i));
    return captions;
}

void CZQPDMSearchMain::OnTabSelChange(int index)
{
    SelectPage(index < 0 ? 0 : index);
}

// The tab display area, widened by 2 pixels left and right and moved down by 1.
void CZQPDMSearchMain::LayoutCurrentPage()
{
    if (!m_pCurPage || !m_pTabCtrl)
        return;
    QRect area = m_pTabCtrl->DisplayRect();
    area.adjust(-2, 1, 2, 1);
    m_pCurPage->setGeometry(area);
    m_pCurPage->update();
}

void CZQPDMSearchMain::OnFind()
{
    CZQSearchPage* page = m_pCurPage;
    if (!page || page->IsQueryRunning())
        return;
    zq::WaitCursor wait;
    const int cancelsBefore = CProgressWnd::CancelledCount();
    {
        CZQSearchPage::QueryGuard guard(*page);
        page->DoSearch();
    }
    if (m_bRemembersRecent && m_savedSearches && page == m_pCurPage)
        m_savedSearches->RememberRun();
    if (CReportListCtrl* list = page->GetResultList()) {
        // A fill of fewer rows than the fit waits for is fitted now.
        list->FitColumnsToRows();
        const QString text = QStringLiteral("操作提示:") + QStringLiteral("共查到%1项记录").arg(list->GetItemCount());
        m_pageStatus.insert(page, {text, CProgressWnd::CancelledCount() != cancelsBefore});
        // The user may have gone to another tab while the rows were read.
        if (page == m_pCurPage)
            zq::SetControlText(*this, IDC_STATUS, text);
    }
}

void CZQPDMSearchMain::OnSaveAs()
{
    if (!m_pCurPage)
        return;
    zq::ExportResultList(m_pCurPage->GetResultList(), m_pTabCtrl ? m_pTabCtrl->GetCurSel() : 0);
}

void CZQPDMSearchMain::OnLocateClicked()
{
    if (m_pCurPage)
        NotifyLocate(m_pCurPage->GetLocateText());
}

int CZQPDMSearchMain::NotifyLocate(const QString& text)
{
    m_bLink = LinkChecked();
    if (!m_bLink || text.isEmpty())
        return 0;
    if (CDllCommandBase* command = CZQPDMSearchFunction::m_pCommandBase) {
        const QString word = QStringLiteral("Locate");
        zq::Desktop::current().hostCommand(word, text);
        command->ExecuteCommand(word, text);
    }
    return 1;
}

void CZQPDMSearchMain::SetCurTreeItem(CTreeCursor item)
{
    if (m_pCurPage)
        m_pCurPage->SetTreeItem(item);
}

void CZQPDMSearchMain::PlaceWindow()
{
    const std::optional<zq::WindowPlacement> remembered = m_state ? m_state->placement() : std::nullopt;
    if (!remembered) {
        CenterWindow();
        return;
    }
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens())
        screens.append(screen->availableGeometry());
    if (const std::optional<QRect> at = zq::PlaceOnScreens(remembered->normal, screens)) {
        setGeometry(*at);
    } else {
        // Its screen is gone: the size it had, centred.
        const QScreen* screen = this->screen();
        resize(screen ? remembered->normal.size().boundedTo(screen->availableGeometry().size()) : remembered->normal.size());
        CenterWindow();
    }
    if (remembered->maximized)
        setWindowState(windowState() | Qt::WindowMaximized);
}

void CZQPDMSearchMain::SavePlacement()
{
    if (!m_bShown || !m_state)
        return;
    m_bShown = false;
    m_state->savePlacement({normalGeometry(), isMaximized()});
}

void CZQPDMSearchMain::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    m_bShown = true;
}

// Hidden by "退出", Escape or the host: the place it had is where it comes back next time.
void CZQPDMSearchMain::hideEvent(QHideEvent* event)
{
    QDialog::hideEvent(event);
    if (!event->spontaneous())
        SavePlacement();
}

void CZQPDMSearchMain::CenterWindow()
{
    QRect area;
    if (QWidget* owner = parentWidget())
        area = QRect(owner->mapToGlobal(QPoint(0, 0)), owner->size());
    else if (QScreen* screen = this->screen())
        area = screen->availableGeometry();
    if (area.isEmpty())
        return;
    QRect frame = frameGeometry();
    frame.moveCenter(area.center());
    move(frame.topLeft());
}

// The buttons and the check box stay with the bottom-right corner, the status line with the
// bottom-left, and the tab area fills the rest.
void CZQPDMSearchMain::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (m_nRefWidth == 0 && m_nRefHeight == 0)
        return;
    const int dx = event->size().width() - m_nRefWidth;
    const int dy = event->size().height() - m_nRefHeight;
    if (dx == 0 && dy == 0)
        return;

    int leftmostRight = 0, locateTop = 0, exitRight = 0;
    for (int id : {IDC_SAVED, IDC_LOCATE, IDC_SAVEAS, IDC_FIND, IDC_STATUS, IDC_EXIT}) {
        QWidget* control = zq::Control(*this, id);
        if (!control)
            continue;
        QRect r = control->geometry().translated(0, dy);
        if (id == IDC_STATUS)
            r = QRect(5, r.top(), std::max(0, leftmostRight - 5 - 5), r.height());
        else
            r.translate(dx, 0);
        control->setGeometry(r);
        if (id == IDC_SAVED || (id == IDC_LOCATE && leftmostRight == 0))
            leftmostRight = r.left();
        if (id == IDC_LOCATE) {
            locateTop = r.top();
        } else if (id == IDC_EXIT) {
            exitRight = r.left() + r.width();
        }
    }
    if (QWidget* frame = zq::Control(*this, IDC_TAB_FRAME)) {
        const QRect old = frame->geometry();
        const QRect area(old.left(), old.top(), std::max(0, exitRight - old.left()),
                         std::max(0, locateTop - 15 - old.top()));
        frame->setGeometry(area);
        if (m_pTabCtrl)
            m_pTabCtrl->setGeometry(area);
    }
    if (m_pCurPage && m_pTabCtrl)
        SelectPage(m_pTabCtrl->GetCurSel());
    m_nRefWidth += dx;
    m_nRefHeight += dy;
    update();
}

void CZQPDMSearchMain::keyPressEvent(QKeyEvent* event)
{
    const bool plain = event->modifiers() == Qt::NoModifier
                       || (event->modifiers() == Qt::KeypadModifier && event->key() == Qt::Key_Enter);
    if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        // A focused push button acts on Enter itself; everywhere else Enter is Find.
        auto* button = qobject_cast<QPushButton*>(QApplication::focusWidget());
        if (!button || !isAncestorOf(button))
            OnFind();
        event->accept();
        return;
    }
    if (plain && event->key() == Qt::Key_Escape) {
        reject();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

// "退出" and Escape only hide the window; pages, conditions and results stay.
void CZQPDMSearchMain::reject()
{
    hide();
}

bool CZQPDMSearchMain::IsQueryBusy() const
{
    return zq::QueryActivity::instance().running() > 0;
}

void CZQPDMSearchMain::DestroyWhenIdle()
{
    m_bDestroyPending = true;
    hide();
    if (!IsQueryBusy())
        deleteLater();
}

void CZQPDMSearchMain::OnQueriesIdle()
{
    if (m_bDestroyPending)
        deleteLater();
}

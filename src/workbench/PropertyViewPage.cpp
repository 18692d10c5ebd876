#include "PropertyViewPage.h"

#include "DialogTemplate.h"
#include "PageRegistry.h"
#include "PropertyView.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace {

bool IsEnterOrEscape(const QKeyEvent* event)
{
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Escape;
}

// The keys a page leaves to the view (and to what holds the view) with Ctrl held.
bool IsViewKey(const QKeyEvent* event)
{
    if (!(event->modifiers() & Qt::ControlModifier))
        return false;
    switch (event->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_F4:
    case Qt::Key_F6:
        return true;
    default:
        return false;
    }
}

} // namespace

CPropertyViewPage::CPropertyViewPage(int templateId, const QString& caption)
    : m_nTemplateId(templateId), m_strCaption(caption)
{
}

CPropertyViewPage::~CPropertyViewPage() = default;

bool CPropertyViewPage::Create(QWidget* parent)
{
    const DialogTemplate* dialogTemplate = zq::PageTemplate(m_nTemplateId);
    if (!dialogTemplate)
        return false;
    // A child page: no caption bar, no system menu.
    setParent(parent, Qt::Widget);
    if (!zq::BuildDialog(*this, dialogTemplate))
        return false;
    m_nWidth = width();
    m_nHeight = height();
    if (!m_strCaption.isEmpty())
        setWindowTitle(m_strCaption);
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
    m_bCreated = true;
    OnInitDialog();
    return true;
}

void CPropertyViewPage::SetModified(bool modified)
{
    if (m_pOwner)
        m_pOwner->OnPageModified(this, modified);
    m_bModified = modified;
}

bool CPropertyViewPage::OnSetActive()
{
    if (m_bSkipRefresh)
        m_bSkipRefresh = false;
    else
        UpdateData(false);
    return true;
}

bool CPropertyViewPage::OnKillActive()
{
    return UpdateData(true);
}

bool CPropertyViewPage::RefreshPage()
{
    UpdateData(false);
    OnUpdatePage(nullptr, 0, nullptr);
    return true;
}

bool CPropertyViewPage::ApplyPage()
{
    const bool read = UpdateData(true);
    OnOK();
    return read;
}

CPropertyView* CPropertyViewPage::ViewOf() const
{
    for (QWidget* up = parentWidget(); up; up = up->parentWidget())
        if (auto* view = qobject_cast<CPropertyView*>(up))
            return view;
    return nullptr;
}

void CPropertyViewPage::keyPressEvent(QKeyEvent* event)
{
    if (IsEnterOrEscape(event)) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

// The view's keys reach the view before any control of the page can use them.
bool CPropertyViewPage::eventFilter(QObject* watched, QEvent* event)
{
    auto* control = qobject_cast<QWidget*>(watched);
    if (event->type() == QEvent::KeyPress && control && control->window() == window()) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (IsViewKey(key)) {
            if (CPropertyView* view = ViewOf()) {
                QKeyEvent copy(key->type(), key->key(), key->modifiers(), key->text(), key->isAutoRepeat(),
                               ushort(key->count()));
                QCoreApplication::sendEvent(view, &copy);
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

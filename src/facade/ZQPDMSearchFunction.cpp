#include "ZQPDMSearchFunction.h"
#include "TempResourceOverride.h"
#include "ZQPDMSearchMain.h"
#include <QWidget>

CZQPDMSearchMain* CZQPDMSearchFunction::m_pPDMSearchMain = nullptr;
QWidget* CZQPDMSearchFunction::m_pParentWnd = nullptr;
CDllCommandBase* CZQPDMSearchFunction::m_pCommandBase = nullptr;
CTreeCtrlEx* CZQPDMSearchFunction::m_pTreeEx = nullptr;
const char* const CZQPDMSearchFunction::kModuleName = "ZQPDMSearch";

namespace {

CTempResourceOverride moduleResources()
{
    return CTempResourceOverride(QString::fromLatin1(CZQPDMSearchFunction::kModuleName));
}

// The host may delete its window while ours exists; the stored parent is forgotten then.
void watchParent(QWidget* parent)
{
    static QMetaObject::Connection watch;
    QObject::disconnect(watch);
    watch = QObject::connect(parent, &QObject::destroyed, [parent] {
        if (CZQPDMSearchFunction::m_pParentWnd == parent)
            CZQPDMSearchFunction::m_pParentWnd = nullptr;
    });
}

// Constructs the window object, records it and creates its window with the stored parent.
bool createWindow()
{
    auto* window = new CZQPDMSearchMain;   // owned through m_pPDMSearchMain until DestorySearchMain
    CZQPDMSearchFunction::m_pPDMSearchMain = window;
    return window->Create(CZQPDMSearchFunction::m_pParentWnd);
}

} // namespace

bool CZQPDMSearchFunction::CreateSearchMain(QWidget* parent)
{
    const CTempResourceOverride resources = moduleResources();
    if (!parent)
        return false;
    m_pParentWnd = parent;
    watchParent(parent);
    if (!m_pPDMSearchMain) {
        if (!createWindow())
            return false;
        m_pPDMSearchMain->hide();
        m_pPDMSearchMain->PlaceWindow();
    }
    return true;
}

bool CZQPDMSearchFunction::ShowSearchMain(bool show)
{
    const CTempResourceOverride resources = moduleResources();
    if (m_pPDMSearchMain) {
        if (m_pPDMSearchMain->IsCreated())
            m_pPDMSearchMain->setVisible(show);
        return true;
    }
    if (createWindow()) {
        m_pPDMSearchMain->show();
        m_pPDMSearchMain->PlaceWindow();
        m_pPDMSearchMain->setVisible(show);
    }
    return true;
}

void CZQPDMSearchFunction::DestorySearchMain()
{
    CZQPDMSearchMain* window = m_pPDMSearchMain;
    if (!window)
        return;
    m_pPDMSearchMain = nullptr;
    // A running query pumps events from inside one of the pages; the window goes when it returns.
    if (window->IsQueryBusy())
        window->DestroyWhenIdle();
    else
        delete window;
}

void CZQPDMSearchFunction::SetDllCommand(CDllCommandBase* command)
{
    m_pCommandBase = command;
}

void CZQPDMSearchFunction::SetCurTreeItem(CTreeCursor item)
{
    const CTempResourceOverride resources = moduleResources();
    if (!m_pPDMSearchMain && createWindow())
        m_pPDMSearchMain->PlaceWindow();
    if (m_pPDMSearchMain)
        m_pPDMSearchMain->SetCurTreeItem(item);
}

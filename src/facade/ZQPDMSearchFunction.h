#pragma once
// The module's whole interface to the host: static functions that create, show, hide and
// destroy the one search window, attach the host's command object and pass on the host's
// selected tree item. Called on the host's user-interface thread only.
#include "TreeCtrlEx.h"

class QWidget;
class CDllCommandBase;
class CZQPDMSearchMain;

class CZQPDMSearchFunction {
public:
    CZQPDMSearchFunction() = delete;

    // Stores the parent and creates the hidden window if there is none. False for a null
    // parent (nothing changes) or when the window cannot be created.
    static bool CreateSearchMain(QWidget* parent);
    // Shows or hides the window, creating it first if needed. Always true.
    static bool ShowSearchMain(bool show);
    // Destroys the window and its pages; nothing when there is none. Requested while a query
    // runs, the window is hidden at once and destroyed when the query returns.
    static void DestorySearchMain();
    // The host's command object; null stops every Locate notification.
    static void SetDllCommand(CDllCommandBase* command);
    // Creates the hidden window if needed and passes the item to the current page.
    static void SetCurTreeItem(CTreeCursor item);

    static CZQPDMSearchMain* m_pPDMSearchMain;
    static QWidget* m_pParentWnd;
    static CDllCommandBase* m_pCommandBase;
    static CTreeCtrlEx* m_pTreeEx;   // written by the host

    // The module name its resources are registered under.
    static const char* const kModuleName;
};

#pragma once
// The actions on the page's result list, done as a user's mouse does them with every dialog
// answered by the scripted Desktop: select or double-click a row, choose from a row's context
// menu, save the list with "另存为...", draw a row's preview; and the context menu as --describe
// lists it.
#include "EventLines.h"
#include "PageDescription.h"

#include <QSize>
#include <QString>

class CReportListCtrl;
class CZQPDMSearchMain;
namespace zq { class ScriptedDesktop; }

namespace zq::tool {

// What "另存为..." did besides running: empty when the file was written.
struct ExportOutcome {
    QString failure;   // why no file was written, as the page told it
    QString detail;    // the system's reason, where the page gave one
};

class ResultListActions {
public:
    ResultListActions(CZQPDMSearchMain& main, zq::ScriptedDesktop& desktop, const EventLines& events)
        : m_main(main), m_desktop(desktop), m_events(events) {}

    // Each returns "" when the action was carried out, else why the list as it stands cannot
    // take it (no such row, no such menu command).
    QString select(int row, bool doubleClick);
    QString rightClick(int row, int command);
    QString exportTo(const QString& file, int filter, ExportOutcome& outcome);
    // The row's picture into file; failure says why none could be made.
    QString preview(int row, const QString& file, QSize size, QString& failure);

    // The menu a right-click on the selected row (else the first) shows, nothing chosen.
    ResultMenu menu();

private:
    QString resultRow(int row, CReportListCtrl*& list) const;

    CZQPDMSearchMain& m_main;
    zq::ScriptedDesktop& m_desktop;
    const EventLines& m_events;
};

} // namespace zq::tool

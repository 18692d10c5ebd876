#pragma once
// The module's search window as a user has it, for the "ours" side of the benchmarks: opened
// on one installation and database, shown offscreen, every dialog answered by a scripted
// desktop whose clock says the bench day; "查找" and "另存为..." pressed as buttons.
#include "BenchData.h"
#include "ScriptedDesktop.h"

#include <QString>
#include <QStringList>
#include <memory>

class CReportListCtrl;
class CTreeCtrlEx;
class CZQSearchPage;
class QWidget;
namespace zq { class CZQDBConnect; }

namespace zq::bench {

class SearchWindow {
public:
    // hostTree: the host's product tree the pages see (may be null).
    SearchWindow(const Installation& installation, const QString& page, CTreeCtrlEx* hostTree = nullptr);
    ~SearchWindow();
    SearchWindow(const SearchWindow&) = delete;
    SearchWindow& operator=(const SearchWindow&) = delete;

    QString error() const { return m_error; }
    bool ok() const { return m_error.isEmpty(); }

    CZQSearchPage* page() const;
    // Shows another page of the window, as a click on its tab would.
    bool select(const QString& page);
    CReportListCtrl* results() const;
    // Sets a control of the page as a user would; false (and error()) when it cannot.
    bool set(int id, const QString& value);
    bool typeCell(int id, int row, const QString& text);

    // Presses "查找"; seconds until the status line shows the count. firstRows, when given, is
    // set to the seconds until the list first showed rows (−1 when it showed none).
    double find(double* firstRows = nullptr);
    QString status() const;
    // Presses "另存为..." and saves to path in format filter (1 or 2); seconds, or −1.
    double exportTo(const QString& path, int filter);

    ScriptedDesktop& desktop() { return m_desktop; }

private:
    QWidget* control(int id) const;
    bool fail(const QString& error);

    ScriptedDesktop m_desktop;
    std::unique_ptr<CZQDBConnect> m_database;
    std::unique_ptr<QWidget> m_host;
    QString m_error;
    double m_findStart = 0;
};

// The statements the module sends while it exists.
class StatementLog {
public:
    StatementLog();
    ~StatementLog();
    StatementLog(const StatementLog&) = delete;
    StatementLog& operator=(const StatementLog&) = delete;
    const QStringList& statements() const { return m_statements; }
    void clear() { m_statements.clear(); }

private:
    QStringList m_statements;
};

// Resident memory of the process in bytes, after free memory has gone back to the system.
qint64 ResidentBytes();

} // namespace zq::bench

#pragma once
// The base of every search page: the operations through which the main window drives a page,
// and the behaviour all pages share (connection set-up, result list and date pickers, resize,
// selection report, context menu, key handling, clipboard).
#include "DialogTemplate.h"
#include "ListCtrl.h"
#include "PreviewSubject.h"
#include "RunQuery.h"
#include "TreeCtrlEx.h"
#include <QDate>
#include <QJsonObject>
#include <QSet>
#include <QList>
#include <QString>
#include <QWidget>

namespace zq { class CZQDBConnect; class Connection; struct MenuEntry; }
class CZQPDMSearchMain;

struct ColumnSpec {
    QString header;
    int width;
};

class CZQSearchPage : public QWidget {
    Q_OBJECT
public:
    explicit CZQSearchPage(QWidget* parent = nullptr);
    ~CZQSearchPage() override;

    // The size, in dialog units, for which page templates without given positions are laid
    // out: it fits inside the visible page area of the search window at its default size.
    // Controls marked with the CS_MOVE_* and CS_STRETCH_* styles follow the page from there.
    static constexpr QSize kTemplateArea{352, 200};

    // The page's own state of the main window's "关联视图项" check.
    bool m_bLocate = false;

    virtual bool CreatePage(QWidget* parent) { return false; }
    // What the page asks of the sibling services as the window is built (the store its files come
    // from, the logged-on user), whether or not its controls are built then: they may be built
    // much later, when its tab is first selected. Asked only once the database is connected (by a
    // page before it); otherwise OnInitDialog asks, after connecting. Never asked twice.
    void OpenServices();
    virtual CReportListCtrl* GetResultList() { return nullptr; }
    virtual QString GetLocateText() { return QString(); }
    virtual int DoSearch() { return 1; }
    virtual void SetTreeItem(CTreeCursor item) {}
    virtual void OnActivatePage() {}
    virtual bool CanLocate() { return false; }
    // What the preview pane shows of a listed row: by default its fields; pages whose rows have
    // stored files say how to fetch them.
    virtual zq::PreviewSubject PreviewOf(int row);

    // True while this page runs a query (a second Find is then ignored).
    bool IsQueryRunning() const { return m_nQueryDepth > 0; }

    // Saved searches: the page's conditions as the user left them (dates relative to today unless
    // fixed), and applying saved conditions; the parts that could not be applied come back named
    // for the user. A page with conditions beyond its controls adds them.
    virtual QJsonObject SaveConditions(const QDate& today, bool fixedDates);
    virtual QStringList RestoreConditions(const QJsonObject& conditions, const QDate& today);
    // The conditions as the page stood when it was made (what a summary leaves out).
    const QJsonObject& InitialConditions() const { return m_initialConditions; }

    // Puts the text on the clipboard as plain text.
    static void CopyTextToClipboard(const QString& text);

    // A message box with the caption "操作提示" and the exclamation icon (and a detail text, if any).
    static void ShowPrompt(const QString& text, const QString& detail = QString());
    // "开始日期与结束日期不匹配...": the search then runs without its date condition.
    static void WarnReversedDates();
    // Moves a control's bottom (and, unless keepRight, its right) edge to 5 pixels inside a page
    // of the given size; its left and top stay.
    static void StretchToCorner(QWidget* control, int width, int height, bool keepRight);

protected:
    // Builds the page's widgets from its dialog template (borderless child of parent) and runs
    // OnInitDialog. Returns false when the template is unknown.
    bool CreateFromTemplate(QWidget* parent, int templateId);
    // Page initialisation; the base does nothing and returns true.
    virtual bool OnInitDialog() { return true; }

    // The page's own requests of OpenServices; none by default.
    virtual void OnOpenServices() {}
    // In OnInitDialog, once connected: the page's requests of the services, unless made already.
    void EnsureServicesOpen();

    // Connection set-up: the current CZQDBConnect, or a new one initialised and connected.
    // Fills m_pDBConnect, m_pConnection and m_nDataSystemType; false when it failed.
    bool InitConnection();
    // A read on the page's connection (and its recordset rule) into list.
    QueryRequest PageQuery(QueryVariant variant, const QString& sql, CReportListCtrl* list) const;

    // Result list set-up: full-row select and grid lines, the columns left-aligned, optional icons.
    void SetupResultList(CReportListCtrl* list, const QList<ColumnSpec>& columns, const CImageList* smallIcons = nullptr);
    // Date pickers 1204 ("from" = now − daysBack) and 1258 ("to" = now), format "yyyy-MM-dd".
    void SetupDatePickers(int daysBack, bool whiteCalendar = true);
    // "from" and "to" pickers' dates (QDate), and formatted "%Y-%m-%d".
    QDate FromDate() const;
    QDate ToDate() const;
    QString FromDateText() const;
    QString ToDateText() const;

    // Resize rules: the template's anchored controls follow the page (ApplyAnchors); then 1319
    // is stretched to (w − 5, h − 5), and the variant also stretches 1318's bottom.
    enum class ResizeRule { ResultOnly, ConditionAndResult, Custom };
    void SetResizeRule(ResizeRule rule) { m_resizeRule = rule; }
    void resizeEvent(QResizeEvent* event) override;

    // Selection report: remembers the row and sends the locate text through the main window.
    void ReportSelection(int row);
    int m_nLastReportedRow = -1;
    // Connects the list's item-changed notification to ReportSelection.
    void ReportSelectionOnItemChanged(CReportListCtrl* list);
    // The remembered row when it still exists in the list, else −1.
    int ReportedRowIn(const CReportListCtrl* list) const;

    // Shows a pop-up menu at the cursor position; the chosen id or 0.
    int TrackPopupMenu(const QList<zq::MenuEntry>& entries);

    // Key handling: Enter/Escape sent on to the parent (part, order, document, resource, view
    // pages), or swallowed OK/cancel (change-order pages: Enter still reaches the parent, which
    // runs Find, and Escape goes no further, so the page neither closes nor hides).
    enum class KeyRule { None, ForwardToParent, Swallow };
    void SetKeyRule(KeyRule rule) { m_keyRule = rule; }
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

    // A list or grid whose rows the user adds (departments, opinions): saved and restored whole.
    void DeclareRowList(int id) { m_rowLists.insert(id); }

    // Marks a query as running for its scope (nesting allowed).
    class QueryGuard {
    public:
        explicit QueryGuard(CZQSearchPage& page) : m_page(page) { m_page.BeginQuery(); }
        ~QueryGuard() { m_page.EndQuery(); }
        QueryGuard(const QueryGuard&) = delete;
        QueryGuard& operator=(const QueryGuard&) = delete;
    private:
        CZQSearchPage& m_page;
    };

    zq::CZQDBConnect* m_pDBConnect = nullptr;
    zq::Connection* m_pConnection = nullptr;
    int m_nDataSystemType = 0;

private:
    bool m_bServicesOpen = false;
    friend class CZQPDMSearchMain;   // runs Find under a QueryGuard
    void BeginQuery();
    void EndQuery();
    void InstallKeyFilter();
    bool ForwardKeyToParent(QKeyEvent* event);
    bool IsForwardedKey(const QKeyEvent* event) const;

    ResizeRule m_resizeRule = ResizeRule::ResultOnly;
    KeyRule m_keyRule = KeyRule::None;
    int m_nQueryDepth = 0;
    const QEvent* m_pForwardedKey = nullptr;
    QSet<int> m_rowLists;
    QJsonObject m_initialConditions;
};

#pragma once
// The client's "任务" view: a property view whose pages list tasks that are not finished, the
// logged-on user's ("我的任务") and everyone's ("全部任务"). Each page's conditions narrow its
// list; Enter in a page or "刷新" lists again, a reversed date range keeps the page from being left.
#include "PropertyView.h"
#include "ZQPDMSearchTask.h"

#include <QDockWidget>

class QLabel;
namespace zq { class CZQDBConnect; }

namespace zq::host {

class TaskListPage : public CZQPDMSearchTask {
    Q_OBJECT
public:
    explicit TaskListPage(const QString& caption);
    void SetDatabase(zq::CZQDBConnect* database) { m_database = database; }
    // Lists the tasks of the page's conditions (any update of the view).
    void OnUpdatePage(QObject* sender, qintptr hint, QObject* hintObject) override;
    // Shows the page's conditions without listing.
    void ShowConditions() { UpdateData(false); }

protected:
    // "..." picks the person in charge among the users.
    bool OnInitDialog() override;
    // A reversed date range is refused with the date warning.
    bool DoDataExchange(bool save) override;

private:
    zq::CZQDBConnect* m_database = nullptr;
};

class TaskView : public CPropertyView {
    Q_OBJECT
public:
    explicit TaskView(QWidget* parent = nullptr);
    // Every page lists its tasks again.
    void Refresh();
protected:
    void keyPressEvent(QKeyEvent* event) override;
};

class TaskDock : public QDockWidget {
    Q_OBJECT
public:
    explicit TaskDock(QWidget* parent = nullptr);
    // Lists the tasks of the database; "我的任务" names the user with this login name. A login
    // the database does not know (loginKnown false) lists nothing there, and the dock says why.
    void start(zq::CZQDBConnect* database, const QString& logName, bool loginKnown = true);
    TaskView* view() const { return m_view; }
    TaskListPage* page(int index) const;
    // What the dock says above the pages (empty when all is well).
    QString note() const;

private:
    TaskView* m_view = nullptr;
    QLabel* m_note = nullptr;
};

} // namespace zq::host

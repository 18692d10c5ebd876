#pragma once
// The page "设计任务": project, change, work-group, project-review and work-review tasks found
// by name, number, person in charge, state, kind and creation date, one query per task table.
// A double-click on a task asks the host to locate it.
#include "TaskForm.h"
#include "TaskSql.h"
#include "UserField.h"
#include "ZQSearchPage.h"

class CZQTWSearchTask : public CZQSearchPage {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 399;

    explicit CZQTWSearchTask(QWidget* parent = nullptr);

    bool CreatePage(QWidget* parent) override;
    CReportListCtrl* GetResultList() override { return m_pResultList; }
    // The task number of the first selected row, "" when none is selected.
    QString GetLocateText() override;
    int DoSearch() override;
    bool CanLocate() override { return true; }

    // The SQL texts of the current conditions, in the order they run.
    zq::task::TaskSqlTexts BuildSql();

protected:
    bool OnInitDialog() override;
    // The logged-on user, asked as the window is built.
    void OnOpenServices() override { m_person.FetchCurrentUser(); }

private:
    void UpdateData(bool save);
    void OnSelchangeKind();
    void OnDblclkList(int row);
    // Lists the rows of one query after those already listed; false after a database error.
    bool ReadTasks(const QString& sql);

    zq::task::TaskFormData m_data;
    zq::UserField m_person;
    CReportListCtrl* m_pResultList = nullptr;
    CImageList m_imageList;
    int m_nLastDblClkRow = -1;    // the row last double-clicked or given a locate text
};

#pragma once
// The design-task form as a page of the property view (template 23005): the controls and task
// list of the page "设计任务", without a query of its own. Whoever holds the page fills its list;
// the task name of the row selected is told to the search window's link.
#include "PropertyViewPage.h"
#include "TaskForm.h"

class CReportListCtrl;

class CZQPDMSearchTask : public CPropertyViewPage {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 23005;

    explicit CZQPDMSearchTask(const QString& caption = QString());

    CReportListCtrl* GetResultList() const { return m_pResultList; }
    // The conditions shown, as last read from or written to the controls.
    const zq::task::TaskFormData& Data() const { return m_data; }
    zq::task::TaskFormData& Data() { return m_data; }

protected:
    bool OnInitDialog() override;
    bool DoDataExchange(bool save) override;
    // Enter and Escape go to the parent window and no further.
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The task list stretches with the page, as on the search page.
    void resizeEvent(QResizeEvent* event) override;

private:
    void OnItemChanged(int row);
    bool ForwardToParent(QKeyEvent* event);

    zq::task::TaskFormData m_data;
    CReportListCtrl* m_pResultList = nullptr;
};

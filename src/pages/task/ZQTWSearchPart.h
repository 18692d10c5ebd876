#pragma once
// The page "设计过程零部件": parts being designed inside team-work tasks of managed projects,
// narrowed by a grid of attribute values and an optional time range. A double-click on a part
// asks the host to locate it.
#include "ProcessPartSql.h"
#include "ZQSearchPage.h"

class CGridListCtrl;

class CZQTWSearchPart : public CZQSearchPage {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 24005;
    enum ControlId { IDC_FROM_CHECK = 24009, IDC_TO_CHECK = 24010, IDC_FROM = 1204, IDC_TO = 1258,
                     IDC_CONDITIONS = 24013, IDC_RESULTS = 24008 };

    explicit CZQTWSearchPart(QWidget* parent = nullptr);

    bool CreatePage(QWidget* parent) override;
    CReportListCtrl* GetResultList() override { return m_pResultList; }
    // "drawing number@^drawing name@^task number" of the first selected row, "" when none.
    QString GetLocateText() override;
    int DoSearch() override;
    bool CanLocate() override { return true; }

    // The SQL text of the current conditions (shows the date warning when the range is reversed).
    QString BuildSql();

protected:
    bool OnInitDialog() override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void SetupConditionGrid();
    void SetupPartList();
    void EnablePickers();
    void OnDblclkList(int row);

    CGridListCtrl* m_pConditionGrid = nullptr;
    CReportListCtrl* m_pResultList = nullptr;
    CImageList m_imageList;
};

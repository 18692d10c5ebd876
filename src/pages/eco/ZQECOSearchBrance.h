#pragma once
// The page "更改发放部门": change orders of a date range distributed to any listed department.
#include "ZQECOListPage.h"

class CZQECOSearchBrance : public CZQECOListPage {
    Q_OBJECT
public:
    explicit CZQECOSearchBrance(QWidget* parent = nullptr);

    bool CreatePage(QWidget* parent) override;
    int DoSearch() override;
    void SetTreeItem(CTreeCursor item) override { m_treeItem = item; }

    // The department condition list 1318.
    CReportListCtrl* GetDepartmentList() const { return m_pDepartmentList; }
    // The listed department names, in list order.
    QStringList Departments() const;
    // "增加": adds the picked names that are not listed yet (letter case ignored).
    void AddDepartments(const QStringList& names);

protected:
    bool OnInitDialog() override;
    int LocateColumn() const override { return 2; }

private:
    void OnAdd();
    void OnRemove();

    CReportListCtrl* m_pDepartmentList = nullptr;
    CTreeCursor m_treeItem;
};

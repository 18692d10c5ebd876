#pragma once
// What the pages "更改单", "更改发放部门" and "更改处理意见" share: the change-order result list
// 1319 with its row records, the reading of rows into it, the context menu with "浏览...",
// "属性..." and "复制更改单编号...", and the locate report of the selected row.
#include "ECOPageSupport.h"
#include "ECOSql.h"
#include "RunQuery.h"
#include "ZQSearchPage.h"

class CZQECOListPage : public CZQSearchPage {
    Q_OBJECT
public:
    ~CZQECOListPage() override;

    CReportListCtrl* GetResultList() override { return m_pResultList; }
    // The locate column of the last selected row; "" while none was selected or it is gone.
    QString GetLocateText() override;
    bool CanLocate() override { return true; }

    // Context-menu commands, in menu order.
    enum MenuCommand { CmdBrowse = 1, CmdProperties = 2, CmdCopyNumber = 3 };
    // Carries out one command on a listed row (the menu's work, without the menu).
    void RunMenuCommand(int command, int row);

protected:
    explicit CZQECOListPage(QWidget* parent = nullptr);

    // The result column the locate text is read from: the order number unless a page says otherwise.
    virtual int LocateColumn() const { return 1; }

    // Finds the result list 1319: its right click opens the context menu and its item change
    // makes the locate report.
    void ConnectOrderList();
    // Result list set-up: the five columns, icon 221 as small icon.
    void SetupOrderList();
    // Deletes all rows and their records.
    void ClearRows();
    // Reads the query's rows through the shared query routine (progress window, cancel).
    int RunOrderQuery(const QString& sql);
    // Reads the query's rows directly, without progress window or cancel.
    int ReadOrderRows(const QString& sql);

    // The built SELECT after the reversed-dates warning, when one is due.
    static QString TakeSql(const zq::eco::SqlText& text);

    CReportListCtrl* m_pResultList = nullptr;
    CImageList m_imageList;
    zq::eco::RowRecords m_rowRecords;

private:
    // A query whose records become rows with their row records.
    QueryRequest OrderQuery(const QString& sql);
    void OnResultRightClick();
    void BrowseStoredFile(const QString& kind, const QString& number);
};

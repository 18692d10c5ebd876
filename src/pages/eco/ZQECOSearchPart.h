#pragma once
// The page "更改影响面": the distinct parts that the described change orders changed, or the
// upper-level parts of the part list that contain them, with the part context menu.
#include "ECOPageSupport.h"
#include "ZQSearchPage.h"

class CZQECOSearchPart : public CZQSearchPage {
    Q_OBJECT
public:
    explicit CZQECOSearchPart(QWidget* parent = nullptr);
    ~CZQECOSearchPart() override;

    bool CreatePage(QWidget* parent) override;
    CReportListCtrl* GetResultList() override { return m_pResultList; }
    int DoSearch() override;
    bool CanLocate() override { return false; }

    // Context-menu commands, in menu order.
    enum MenuCommand { CmdUsedSearch = 1, CmdAttributes = 2, CmdVersions = 3, CmdCopyCode = 4 };
    // Carries out one command on a listed row (the menu's work, without the menu).
    void RunMenuCommand(int command, int row);

protected:
    bool OnInitDialog() override;
    // The logged-on user, asked as the window is built.
    void OnOpenServices() override { m_author.FetchCurrentUser(); }

private:
    bool InitPage();
    void OnResultRightClick();

    CReportListCtrl* m_pResultList = nullptr;
    CImageList m_imageList;
    zq::eco::RowRecords m_rowRecords;
    zq::eco::AuthorField m_author;
};

#pragma once
// The "数据视图项" page: items of the host's own tree below its selected item, found by a name
// pattern with "*" and "?", listed with their parent's text and their path; a selected row asks
// the host to locate the item. The last ten patterns are offered in the pattern box and kept in
// "search.ini".
#include "ZQSearchPage.h"

#include <QString>
#include <memory>
#include <vector>

// One found item, kept by the page from its search until the page goes away.
struct ViewRowRecord {
    QString text;
    QString path;
    QString parentText;
    QString spare[3];
    CTreeCursor item;
};

class CZQPDMSearchView : public CZQSearchPage {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 23002;
    enum ControlId { IDC_PATTERN = 1046, IDC_RESULTS = 1319 };

    explicit CZQPDMSearchView(QWidget* parent = nullptr);
    ~CZQPDMSearchView() override;

    bool CreatePage(QWidget* parent) override;
    CReportListCtrl* GetResultList() override;
    // Column 0 "@^" column 2 of the row last selected; empty while none was.
    QString GetLocateText() override;
    // 1 when the tree was searched; 0 without a host tree or a selected item in it.
    int DoSearch() override;
    // Keeps the item; the search starts from the tree's own selection.
    void SetTreeItem(CTreeCursor item) override { m_treeItem = item; }
    bool CanLocate() override { return true; }

    // The records of every item listed since the page was created.
    std::size_t RowRecordCount() const { return m_rowRecords.size(); }

protected:
    bool OnInitDialog() override;

private:
    QString ReadPattern();
    void LoadSavedPatterns();
    void RememberPattern(const QString& pattern);
    void AppendRow(std::unique_ptr<ViewRowRecord> record);

    CImageList m_icons;
    std::vector<std::unique_ptr<ViewRowRecord>> m_rowRecords;
    CTreeCursor m_treeItem;
    bool m_toldUnwritable = false;   // "search.ini" could not be written, and the user was told
};

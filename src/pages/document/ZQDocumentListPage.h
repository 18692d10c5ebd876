#pragma once
// What the pages "设计文档" and "资源文件" share: the result list 1319 with file-type icons and a
// row record per row, the reading of query rows into it, the selected row's record, and the
// page's stored-file object, created when the page opens and kept for its life.
#include "DocumentRecord.h"
#include "PreviewFetcher.h"
#include "ZQSearchPage.h"

#include <QList>
#include <memory>
#include <vector>

class CHeaderListCtrl;
class CZQSaveFileToFTP;

class CZQDocumentListPage : public CZQSearchPage {
    Q_OBJECT
public:
    ~CZQDocumentListPage() override;

    CReportListCtrl* GetResultList() override;
    // Kept, not used: these pages do not follow the host's tree.
    void SetTreeItem(CTreeCursor item) override { m_treeItem = item; }

    // The record of a listed row, or null.
    const zq::doc::DocumentRecord* RecordOfRow(int row) const;
    // The row's fields and its stored file, fetched as opening it would fetch it.
    zq::PreviewSubject PreviewOf(int row) override;

protected:
    explicit CZQDocumentListPage(QWidget* parent = nullptr);

    CHeaderListCtrl* ResultList() const;
    // Result list set-up: the columns, the system image list's icons.
    void SetupDocumentList(const QList<ColumnSpec>& columns);
    // Creates the page's store object and connects it; the connection is kept when it succeeds.
    void OpenPageStore();
    // The page's store, opened as the window is built.
    void OnOpenServices() override { OpenPageStore(); }
    CZQSaveFileToFTP* PageStore() const { return m_pageStore.get(); }
    // Which of the two stores a record's file is kept in.
    virtual zq::doc::StoredKind StoredKindOf(const zq::doc::DocumentRecord& record) const = 0;
    // Deletes all rows and their records.
    void ClearRows();
    // Reads one SELECT into the list through the shared query routine; with append the rows
    // follow those already listed. The page's own connection unless another is given; the
    // recordset opened with openOptions (Recordset::Open's, -1 for none).
    int RunRecordQuery(const QString& sql, const zq::doc::RowLayout& layout, bool append,
                       zq::Connection* connection = nullptr, int openOptions = -1);
    // The record of the list's selection mark, or null when no row is marked.
    const zq::doc::DocumentRecord* MarkedRecord() const;
    // Right click on the result list: with a row marked, the menu with the single entry "浏览..."
    // at the list's last click point (else at the cursor); true when the user chose it.
    bool ChoseBrowse();

private:
    void AppendRecord(int row, const zq::doc::DocumentRecord& record, const zq::doc::RowLayout& layout);

    std::vector<std::unique_ptr<zq::doc::DocumentRecord>> m_records;
    std::unique_ptr<CZQSaveFileToFTP> m_pageStore;
    CTreeCursor m_treeItem;
};

#pragma once
// The "文档内容" page: design documents and resource files found by the words inside their stored
// files, searched in the content index that zqpdm-index fills; each hit shows its words in
// context, and a double-click or "浏览..." opens the file as the two document pages do.
#include "ContentSql.h"
#include "ZQDocumentListPage.h"

#include <memory>

namespace zq { class CZQDBConnect; }

class CZQPDMSearchContent : public CZQDocumentListPage {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 23020;
    enum ControlId {
        IDC_WORDS = 1260, IDC_KIND = 1254, IDC_BY_DATE = 1262, IDC_FROM = 1204, IDC_TO = 1258, IDC_RESULTS = 1319,
    };

    explicit CZQPDMSearchContent(QWidget* parent = nullptr);
    ~CZQPDMSearchContent() override;

    bool CreatePage(QWidget* parent) override;
    int DoSearch() override;

    // The conditions as the controls hold them.
    zq::content::ContentConditions ReadConditions() const;
    // Double-click on a result row, and the "浏览..." of the context menu: opens the marked row's file.
    void OnDblclkResult();
    void OnRclickResult();
    // A hit's fields and file, with the words it was found by.
    zq::PreviewSubject PreviewOf(int row) override;

protected:
    bool OnInitDialog() override;
    zq::doc::StoredKind StoredKindOf(const zq::doc::DocumentRecord& record) const override;

private:
    // The content index's connection, made at the first search that needs it; null after telling
    // the user why it cannot be opened (the next search tries again).
    zq::Connection* IndexConnection();
    void EnableDatePickers();
    void OpenMarkedRow();

    std::unique_ptr<zq::CZQDBConnect> m_index;
    QStringList m_searchedWords;   // the words of the last search
};

#pragma once
// The "设计文档" page: stored documents found by description, file name, part, remark and file
// date — archived documents unless the (hidden) kind list says otherwise — listed with their
// file-type icons; a double-click opens a row's stored file.
#include "DocumentSql.h"
#include "ZQDocumentListPage.h"

class CZQPDMSearchDocument : public CZQDocumentListPage {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 23004;
    enum ControlId {
        IDC_DESCRIPTION = 1251, IDC_FILE_NAME = 1252, IDC_FROM = 1204, IDC_TO = 1258, IDC_PART = 1022,
        IDC_REMARK = 1024, IDC_KIND = 1254, IDC_RESULTS = 1319,
    };

    explicit CZQPDMSearchDocument(QWidget* parent = nullptr);
    ~CZQPDMSearchDocument() override;

    bool CreatePage(QWidget* parent) override;
    int DoSearch() override;

    // The SELECTs of the current conditions, in the order they run; shows the date warning
    // when the range is reversed.
    QStringList BuildSearchSql();
    // Double-click on a result row: opens the marked row's stored file.
    void OnDblclkResult();

protected:
    zq::doc::StoredKind StoredKindOf(const zq::doc::DocumentRecord&) const override { return zq::doc::StoredKind::DesignDocument; }
    bool OnInitDialog() override;

private:
    zq::doc::DocumentConditions ReadConditions() const;
};

#pragma once
// The "资源文件" page: resource documents of engineering view items found by up to eight
// attribute values typed into a condition grid, listed with their file-type icons; "浏览..." in
// the context menu or a double-click opens a row's stored file.
#include "ZQDocumentListPage.h"

class CGridListCtrl;

class CZQPDMSearchResource : public CZQDocumentListPage {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 23003;
    enum ControlId { IDC_CONDITIONS = 1318, IDC_RESULTS = 1319 };
    enum MenuCommand { ID_BROWSE = 1 };

    explicit CZQPDMSearchResource(QWidget* parent = nullptr);
    ~CZQPDMSearchResource() override;

    bool CreatePage(QWidget* parent) override;
    int DoSearch() override;

    // The SELECT of the current grid values.
    QString BuildSearchSql() const;
    // Right click on the result list: the menu with "浏览...", at the list's last click point.
    void OnRclickResult();
    // Double-click on the result list: opens the marked row's stored file.
    void OnDblclkResult();

protected:
    zq::doc::StoredKind StoredKindOf(const zq::doc::DocumentRecord&) const override { return zq::doc::StoredKind::ResourceFile; }
    bool OnInitDialog() override;

private:
    CGridListCtrl* ConditionList() const;
    void SetupConditionList();
    void OpenMarkedRow(int storageSetting);
};

#pragma once
// The "设计零部件" page: design parts found by their title-block fields, their part-list lines or
// their additional attributes; a part-list search with "范围" lists every place of a matching part
// inside the product branch selected in the host's tree. A found part offers where-used,
// attribute and version services and reports itself to the host.
#include "ProductNames.h"
#include "StructureWalk.h"
#include "ZQPartConditionPage.h"

#include <QList>
#include <QString>

class CZQPDMSearchPart : public CZQPartConditionPage {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 23000;
    enum ScopeControlId { IDC_SCOPE_CHECK = 1172, IDC_SCOPE_TEXT = 1167 };

    explicit CZQPDMSearchPart(QWidget* parent = nullptr);
    ~CZQPDMSearchPart() override;

    bool CreatePage(QWidget* parent) override;
    int DoSearch() override;
    void SetTreeItem(CTreeCursor item) override;

    // The SELECT of the selected kind from the controls; shows the date warning when the range is reversed.
    QString BuildSearchSql();
    QString BuildTitleSql();
    QString BuildDetailSql();
    QString BuildAttributeSql();

    // The places found by the last structure search, in the order found.
    const QList<zq::part::StructurePath>& StructurePaths() const { return m_structurePaths; }

protected:
    bool OnInitDialog() override;
    void UpdateData(bool save) override;
    void OnKindShown(int kind) override;
    int ResultColumnOfField(int field) const override;
    void CompleteRow(RowViews& texts, std::span<const QAnyStringView> fields) override;
    bool ScopeInForce() const override;
    QString ScopeText() const override { return m_strScope; }

private:
    QString ScopeOfSelectedTreeItem() const;
    int StructureSearch();
    void CollectStructurePaths(const QString& productCode, const QString& condition);
    void ShowStructurePaths();

    // Page state, as the dialog data exchange keeps it.
    QString m_strScope;
    bool m_bScope = false;

    QList<zq::part::StructurePath> m_structurePaths;
    zq::part::ProductNames m_productNames;   // of the plain search running
};

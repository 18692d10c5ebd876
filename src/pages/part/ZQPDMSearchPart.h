#pragma once
// The "设计零部件" page: design parts found by their title-block fields, their part-list lines or
// their additional attributes; a part-list search with "范围" lists every place of a matching part
// inside the product branch selected in the host's tree. A found part offers where-used,
// attribute and version services and reports itself to the host.
#include "PartConditions.h"
#include "PartSql.h"
#include "StructureWalk.h"
#include "ZQSearchPage.h"

#include <QList>
#include <QString>
#include <QStringList>

class CGridListCtrl;
class CHeaderListCtrl;

class CZQPDMSearchPart : public CZQSearchPage {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 23000;
    enum ControlId {
        IDC_SCOPE_CHECK = 1172, IDC_SCOPE_TEXT = 1167, IDC_FROM = 1204, IDC_TO = 1258,
        IDC_KIND = 1256, IDC_CONDITIONS = 1318, IDC_RESULTS = 1319,
    };
    enum MenuCommand { ID_BORROW = 1, ID_ATTRIBUTES = 2, ID_VERSIONS = 3 };

    explicit CZQPDMSearchPart(QWidget* parent = nullptr);
    ~CZQPDMSearchPart() override;

    bool CreatePage(QWidget* parent) override;
    CReportListCtrl* GetResultList() override;
    QString GetLocateText() override;
    int DoSearch() override;
    void SetTreeItem(CTreeCursor item) override;
    bool CanLocate() override { return true; }

    // The SELECT of the selected kind from the controls; shows the date warning when the range is reversed.
    QString BuildSearchSql();
    QString BuildTitleSql();
    QString BuildDetailSql();
    QString BuildAttributeSql();

    // The places found by the last structure search, in the order found.
    const QList<zq::part::StructurePath>& StructurePaths() const { return m_structurePaths; }

protected:
    bool OnInitDialog() override;

private:
    CGridListCtrl* ConditionList() const;
    CHeaderListCtrl* ResultList() const;

    // Dialog data exchange: controls → fields (save) or fields → controls.
    void UpdateData(bool save);
    QStringList ConditionValues() const;
    void SetupConditionList();
    void SetupResultColumns();
    void OnSelchangeKind();
    void ShowRowsOfKind(int kind);
    bool ScopeInForce() const;
    QString ScopeOfSelectedTreeItem() const;

    int PlainSearch(const QString& sql);
    int StructureSearch();
    void CollectStructurePaths(const QString& productCode, const QString& condition);
    void ShowStructurePaths();

    void OnResultRightClick();
    void RunPartCommand(int command, const QString& code);

    // Page state, as the dialog data exchange keeps it.
    int m_nKind = zq::part::KindTitle;
    QString m_strScope;
    bool m_bScope = false;

    zq::part::ConditionRows m_rows;
    int m_nShownKind = -1;   // the kind whose rows the condition list shows
    bool m_bSwitching = false;
    QList<zq::part::StructurePath> m_structurePaths;
    CImageList m_resultIcons;
};

#pragma once
// The "批次产品" page: the drawings and part lists of products made in batches, found by their
// title-block fields or part-list lines, each list starting with the batch number. Built like
// the design-part page without its scope and structure search; the batch number found offers
// the same part services and reports itself to the host.
#include "ZQPartConditionPage.h"

class CZQPDMSearchOrder : public CZQPartConditionPage {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 23010;

    explicit CZQPDMSearchOrder(QWidget* parent = nullptr);
    ~CZQPDMSearchOrder() override;

    bool CreatePage(QWidget* parent) override;
    int DoSearch() override;
    // Keeps the item; the page does not use it.
    void SetTreeItem(CTreeCursor item) override { m_treeItem = item; }

    // The SELECT of the selected kind from the controls; shows the date warning when the range is reversed.
    QString BuildSearchSql();

protected:
    bool OnInitDialog() override;

private:
    CTreeCursor m_treeItem;
};

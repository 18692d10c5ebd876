#pragma once
// A page of the part-condition kind ("设计零部件", "批次产品") on the part test database: the page is
// made on first use inside a host widget; its condition grid, kind list and result list.
#include "DialogTemplate.h"
#include "ListCtrl.h"
#include "PartTestDb.h"

#include <QWidget>

namespace parttest {

template <class PageClass>
class ConditionPageTest : public PartDatabase {
protected:
    enum { kKind = 1256, kConditions = 1318, kResults = 1319 };

    void TearDown() override
    {
        m_host.reset();
        PartDatabase::TearDown();
    }

    PageClass& Page()
    {
        if (!m_page) {
            m_host = std::make_unique<QWidget>();
            m_page = new PageClass(m_host.get());
            EXPECT_TRUE(m_page->CreatePage(m_host.get()));
        }
        return *m_page;
    }
    CGridListCtrl& Conditions() { return *zq::ControlAs<CGridListCtrl>(Page(), kConditions); }
    CReportListCtrl& Results() { return *zq::ControlAs<CReportListCtrl>(Page(), kResults); }
    void SelectKind(int kind) { zq::SetComboIndex(Page(), kKind, kind); }
    void Type(int row, const QString& text) { Conditions().SetItemText(row, 1, text); }
    bool Enabled(int id) { return zq::Control(Page(), id)->isEnabledTo(&Page()); }
    // Each result row as its first `columns` cells joined by '|', sorted.
    QStringList ResultRowsOf(int columns)
    {
        QStringList rows;
        for (int r = 0; r < Results().GetItemCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < columns; ++c)
                cells << Results().GetItemText(r, c);
            rows << cells.join('|');
        }
        rows.sort();
        return rows;
    }

    std::unique_ptr<QWidget> m_host;
    PageClass* m_page = nullptr;   // owned by m_host
};

} // namespace parttest

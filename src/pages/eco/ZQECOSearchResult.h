#pragma once
// The page "更改处理意见": change orders of a date range in which a changed part carries a
// handling opinion containing one of the listed texts.
#include "ZQECOListPage.h"

class CGridListCtrl;

class CZQECOSearchResult : public CZQECOListPage {
    Q_OBJECT
public:
    explicit CZQECOSearchResult(QWidget* parent = nullptr);

    bool CreatePage(QWidget* parent) override;
    int DoSearch() override;

    // The opinion condition list 1318 (column 1 edited in place).
    CGridListCtrl* GetOpinionList() const { return m_pOpinionList; }
    // The typed opinions, in list order, as typed.
    QStringList Opinions() const;

protected:
    bool OnInitDialog() override;

private:
    void OnAdd();
    void OnRemove();

    CGridListCtrl* m_pOpinionList = nullptr;
};

#pragma once
// The page "更改单": change orders by author, creation date, order number, subject, changed part
// (drawing number, or old drawing number translated first) and state.
#include "ECOPageSupport.h"
#include "ZQECOListPage.h"

class CZQECOSearchECO : public CZQECOListPage {
    Q_OBJECT
public:
    explicit CZQECOSearchECO(QWidget* parent = nullptr);

    bool CreatePage(QWidget* parent) override;
    int DoSearch() override;

    // The login name of the user last picked (or the logged-on user); only kept.
    QString PickedLogName() const { return m_author.LogName(); }

protected:
    bool OnInitDialog() override;
    // The logged-on user, asked as the window is built.
    void OnOpenServices() override { m_author.FetchCurrentUser(); }

private:
    // The SQL text of the current conditions; "" when an old drawing number was not found.
    QString BuildSql();

    zq::eco::AuthorField m_author;
};

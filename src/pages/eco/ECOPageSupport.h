#pragma once
// Small pieces the four change-order pages share: their messages, the owned row records,
// the user picker behind "...", and the current user.
#include <QString>
#include <QWidget>
#include <memory>
#include <vector>

class CReportListCtrl;
class CTLItem;
namespace zq { class CZQDBConnect; }

namespace zq::eco {

// The condition list of the department and opinion pages: "提示内容" and "查询条件值",
// grid lines and full-row select.
void SetupConditionList(CReportListCtrl* list);

// The row records a page keeps for its listed rows; the list items point at them.
using RowRecords = std::vector<std::unique_ptr<CTLItem>>;

// The author field of a page and the login name of the user it shows: the field holds the
// display name, the login name is kept for the user picker.
class AuthorField {
public:
    AuthorField(QWidget& page, int editId) : m_page(page), m_editId(editId) {}
    // The logged-on user, under the wait cursor; nothing changes when there is none.
    void ShowCurrentUser();
    // The user picker behind "...", starting from the kept login name; a cancel changes nothing.
    void Pick(CZQDBConnect* connection);
    QString LogName() const { return m_logName; }
private:
    void Show(const QString& logName, const QString& name);
    QWidget& m_page;
    int m_editId;
    QString m_logName;
};

} // namespace zq::eco

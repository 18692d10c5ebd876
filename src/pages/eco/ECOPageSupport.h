#pragma once
// Small pieces the four change-order pages share: their messages, the owned row records,
// the user picker behind "...", and the current user.
#include <QString>
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

struct UserNames {
    QString logName;
    QString name;   // display name, what the author field shows
};
// The logged-on user, under the wait cursor; empty names when there is none.
UserNames CurrentUserNames();
// The user picker, starting from the given login name; false when it was cancelled.
bool PickUser(CZQDBConnect* connection, const QString& currentLogName, UserNames& picked);

} // namespace zq::eco

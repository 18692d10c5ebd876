#pragma once
// Small pieces the four change-order pages share: their condition list, the owned row records
// and the author field.
#include "UserField.h"

#include <QString>
#include <QWidget>
#include <memory>
#include <vector>

class CReportListCtrl;
class CTLItem;

namespace zq::eco {

// The condition list of the department and opinion pages: "提示内容" and "查询条件值",
// grid lines and full-row select.
void SetupConditionList(CReportListCtrl* list);

// The row records a page keeps for its listed rows; the list items point at them.
using RowRecords = std::vector<std::unique_ptr<CTLItem>>;

// The author field of a page: it shows the user's name and keeps the login name for the picker.
class AuthorField : public UserField {
public:
    AuthorField(QWidget& page, int editId) : UserField(page, editId, Shows::Name) {}
};

} // namespace zq::eco

#pragma once
// The SQL texts of the batch-product page: the design-part rules (PartSql.h) over the batch
// tables, whose condition rows start with the batch number.
#include "PartSql.h"

namespace zq::part {

constexpr int kOrderTitleRowCount = 17;
constexpr int kOrderDetailRowCount = 9;

const ConditionTable& OrderTitleTable();
const ConditionTable& OrderDetailTable();

// Kind 0: the title rows and the date condition; kind 1: the detail rows only; any other kind:
// an empty text.
PartSqlText BuildOrderSearchSql(int kind, const QStringList& values, const QDate& from, const QDate& to);

} // namespace zq::part

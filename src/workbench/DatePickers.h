#pragma once
// The date-range pickers of a page: 1204 "from" and 1258 "to".
class QWidget;

namespace zq {

inline constexpr int kFromPickerId = 1204;
inline constexpr int kToPickerId = 1258;

// Both pickers show "yyyy-MM-dd" without a range limit; "from" starts daysBack days before the
// Desktop's current time, "to" at it; optionally the calendar's month background is white.
void SetupDatePickers(QWidget& page, int daysBack, bool whiteCalendar);

} // namespace zq

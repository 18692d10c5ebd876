#pragma once
// The date-range pickers of a page: 1204 "from" and 1258 "to".
class QDateTimeEdit;
class QWidget;

namespace zq {

inline constexpr int kFromPickerId = 1204;
inline constexpr int kToPickerId = 1258;

// Both pickers show "yyyy-MM-dd" without a range limit; "from" starts daysBack days before the
// Desktop's current time, "to" at it; optionally the calendar's month background is white (set
// when the user first presses on the picker or types in it, which builds the calendar).
void SetupDatePickers(QWidget& page, int daysBack, bool whiteCalendar);

// Whether the picker's calendar is still to be made white on its first use.
bool CalendarWhitenedOnFirstUse(const QDateTimeEdit& edit);

} // namespace zq

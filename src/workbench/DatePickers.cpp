#include "DatePickers.h"

#include "DialogTemplate.h"
#include "Desktop.h"

#include <QCalendarWidget>
#include <QDateTimeEdit>

namespace zq {

void SetupDatePickers(QWidget& page, int daysBack, bool whiteCalendar)
{
    const QDateTime now = Desktop::current().now();
    const struct { int id; QDateTime start; } pickers[] = {
        {kFromPickerId, now.addDays(-daysBack)},
        {kToPickerId, now},
    };
    for (const auto& picker : pickers) {
        auto* edit = ControlAs<QDateTimeEdit>(page, picker.id);
        if (!edit)
            continue;
        edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        edit->clearMinimumDateTime();
        edit->clearMaximumDateTime();
        edit->setCalendarPopup(true);
        if (whiteCalendar && edit->calendarWidget()) {
            QPalette palette = edit->calendarWidget()->palette();
            palette.setColor(QPalette::Base, Qt::white);
            edit->calendarWidget()->setPalette(palette);
        }
        edit->setDateTime(picker.start);
    }
}

} // namespace zq

#include "DatePickers.h"

#include "DialogTemplate.h"
#include "Desktop.h"

#include <QCalendarWidget>
#include <QDateTimeEdit>
#include <QEvent>

namespace zq {

namespace {

void whitenCalendar(QDateTimeEdit& edit)
{
    QCalendarWidget* calendar = edit.calendarWidget();
    if (!calendar)
        return;
    QPalette palette = calendar->palette();
    palette.setColor(QPalette::Base, Qt::white);
    calendar->setPalette(palette);
}

// A picker's calendar is built the first time the user presses on the picker or types in it
// (the ways its popup opens), not with the page: building one takes longer than every other
// control of a page, and most pages of a window are never opened.
class WhiteCalendarOnFirstUse final : public QObject {
public:
    static constexpr const char* kName = "zq_white_calendar_on_first_use";

    explicit WhiteCalendarOnFirstUse(QDateTimeEdit& edit) : QObject(&edit)
    {
        setObjectName(QLatin1String(kName));
        edit.installEventFilter(this);
    }
    bool pending() const { return m_pending; }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::ShortcutOverride:
            if (auto* edit = qobject_cast<QDateTimeEdit*>(watched); edit && m_pending) {
                m_pending = false;
                edit->removeEventFilter(this);
                whitenCalendar(*edit);
            }
            break;
        default:
            break;
        }
        return false;
    }

private:
    bool m_pending = true;
};

} // namespace

bool CalendarWhitenedOnFirstUse(const QDateTimeEdit& edit)
{
    const auto* filter = dynamic_cast<const WhiteCalendarOnFirstUse*>(
        edit.findChild<QObject*>(QLatin1String(WhiteCalendarOnFirstUse::kName), Qt::FindDirectChildrenOnly));
    return filter && filter->pending();
}

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
        if (whiteCalendar && !CalendarWhitenedOnFirstUse(*edit))
            new WhiteCalendarOnFirstUse(*edit);
        edit->setDateTime(picker.start);
    }
}

} // namespace zq

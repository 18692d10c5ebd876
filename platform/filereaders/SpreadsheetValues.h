#pragma once
// How a spreadsheet shows a cell's number, written for the index: in its number format where that
// is a plain one (digits, thousands separators, decimals, a percent sign), dates as yyyy-MM-dd and
// times as HH:mm:ss whatever the format's own order and separators (a time the format shows as
// 4:35 PM is written 16:35:00, so that both 16:35 and 16:35:00 find it), a duration ([h]:mm:ss)
// in hours past a day, anything else as the General format shows it. Numbers are rounded as the
// spreadsheet rounds them: to 15 significant digits, then half away from zero.
#include <QString>
#include <QStringView>

namespace zq::extract {

class NumberFormat {
public:
    NumberFormat() = default;   // General
    // A format code of the workbook ("#,##0.00", "yyyy/m/d", "0.00%;[Red]-0.00%").
    explicit NumberFormat(QStringView code);
    // The formats every workbook knows by their number without writing them down (Excel's
    // built-in ones, the Chinese dates and times among them); General for an unknown number.
    static NumberFormat builtIn(int id);

    // The number as the cell shows it; date1904: the workbook counts days from 1904-01-01.
    QString show(double value, bool date1904 = false) const;
    // Whether the format hides digits of the value itself (decimals cut, thousands separators),
    // which the spreadsheet's formula bar shows: the value is then worth writing as well.
    bool hidesDigits() const { return m_kind == Kind::Plain && !m_percent; }

private:
    enum class Kind { General, Plain, Date, Duration };
    Kind m_kind = Kind::General;
    bool m_sections = false;   // more than one section: a negative number is written otherwise
    int m_decimals = 0;
    bool m_grouping = false;
    bool m_percent = false;
    bool m_date = false;
    bool m_time = false;
    bool m_seconds = false;   // shown: rounded to the second; else cut to the minute
};

// A number as the General format shows it in a wide column: a whole number in full (up to 15
// digits), a fraction to 10 significant digits, no trailing zeros; in scientific notation only
// when very large or very small ("1.5E+20").
QString GeneralNumber(double value);

// An ISO 8601 date, or date and time ("2023-01-05", "2023-01-05T10:30:00"), written as
// yyyy-MM-dd, or yyyy-MM-dd HH:mm:ss; "" when it is none.
QString IsoDateText(QStringView iso);
// An ISO 8601 duration of hours, minutes and seconds ("PT15H10M10S") as 15:10:10; "" when it is none.
QString IsoDurationText(QStringView iso);

} // namespace zq::extract

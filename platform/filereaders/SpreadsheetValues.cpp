#include "SpreadsheetValues.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace zq::extract {

namespace {

// The last serial number a spreadsheet shows as a date: 9999-12-31.
constexpr double kLastDateSerial = 2958466.0;

// A number rounded to 15 significant digits: 0.digits × 10^point.
struct Decimal {
    bool negative = false;
    QByteArray digits;
    int point = 0;
};

Decimal ToDecimal(double value)
{
    const QByteArray e = QByteArray::number(std::fabs(value), 'e', 14);   // "d.dddddddddddddde+XX"
    const qsizetype mark = e.indexOf('e');
    Decimal d;
    d.negative = value < 0;
    d.digits = e.left(1) + e.mid(2, mark - 2);
    d.point = e.mid(mark + 1).toInt() + 1;
    return d;
}

// Rounded half away from zero to `decimals` digits after the point.
Decimal Rounded(Decimal d, int decimals)
{
    const qsizetype keep = d.point + decimals;
    if (keep < 0)
        return {d.negative, QByteArray("0"), 1};
    if (keep >= d.digits.size())
        return d;
    const bool up = d.digits[keep] >= '5';
    d.digits.truncate(keep);
    for (qsizetype i = keep - 1; up && i >= 0; --i) {
        if (d.digits[i] != '9') {
            ++d.digits[i];
            return d;
        }
        d.digits[i] = '0';
    }
    if (up) {
        d.digits.prepend('1');
        ++d.point;
    }
    return d;
}

bool IsZero(const Decimal& d)
{
    return std::all_of(d.digits.begin(), d.digits.end(), [](char c) { return c == '0'; });
}

QString Grouped(const QString& integer)
{
    QString grouped;
    for (qsizetype i = 0; i < integer.size(); ++i) {
        if (i > 0 && (integer.size() - i) % 3 == 0)
            grouped += u',';
        grouped += integer[i];
    }
    return grouped;
}

// The digits of d before and after its point, `decimals` of them after (all when -1).
QString Written(const Decimal& d, int decimals, bool grouping)
{
    const QString digits = QString::fromLatin1(d.digits);
    const QString integer = d.point <= 0 ? QStringLiteral("0") : digits.left(d.point).leftJustified(d.point, u'0');
    QString fraction = d.point < 0 ? QString(-d.point, u'0') + digits : digits.mid(std::max(d.point, 0));
    if (decimals >= 0)
        fraction = fraction.leftJustified(decimals, u'0', true);
    else
        while (fraction.endsWith(u'0'))
            fraction.chop(1);
    const QString text = (grouping ? Grouped(integer) : integer) + (fraction.isEmpty() ? QString() : u'.' + fraction);
    return d.negative && !IsZero(d) ? u'-' + text : text;
}

QString ClockText(qint64 hours, qint64 seconds)
{
    return QStringLiteral("%1:%2:%3")
        .arg(hours, 2, 10, QLatin1Char('0'))
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

QString DateTimeText(double serial, bool date1904, bool date, bool time, bool seconds)
{
    if (!(serial >= 0 && serial < kLastDateSerial))
        return {};
    qint64 days = qint64(std::floor(serial));
    const qint64 ms = std::llround((serial - double(days)) * 86400000.0);
    qint64 secs = seconds ? (ms + 500) / 1000 : ms / 60000 * 60;
    if (secs >= 86400) {
        ++days;
        secs -= 86400;
    }
    QStringList parts;
    if (date) {
        if (!date1904 && days < 1)
            return {};   // the day before 1900-01-01 the spreadsheet writes as "1900-01-00"
        if (!date1904 && days == 60)
            parts << QStringLiteral("1900-02-29");   // the leap day 1900 did not have, kept for Lotus 1-2-3
        else
            parts << (date1904 ? QDate(1904, 1, 1) : QDate(1899, 12, days < 60 ? 31 : 30))
                         .addDays(days)
                         .toString(QStringLiteral("yyyy-MM-dd"));
    }
    if (time)
        parts << ClockText(secs / 3600, secs);
    return parts.join(u' ');
}

// A duration of `days` (a fraction of them) in hours, minutes and seconds.
QString DurationText(double days)
{
    if (!(days >= 0 && days < kLastDateSerial))
        return {};
    const qint64 seconds = std::llround(days * 86400.0);
    return ClockText(seconds / 3600, seconds);
}

// The first section of a format code: up to the first ';' outside quotes, brackets and escapes.
QList<QStringView> Sections(QStringView code)
{
    QList<QStringView> sections;
    qsizetype start = 0;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        if (c == u'"') {
            const qsizetype close = code.indexOf(u'"', i + 1);
            i = close < 0 ? code.size() : close;
        } else if (c == u'[') {
            const qsizetype close = code.indexOf(u']', i + 1);
            i = close < 0 ? code.size() : close;
        } else if (c == u'\\' || c == u'_' || c == u'*') {
            ++i;
        } else if (c == u';') {
            sections.append(code.sliced(start, i - start));
            start = i + 1;
        }
    }
    sections.append(code.sliced(std::min(start, code.size())));
    return sections;
}

} // namespace

NumberFormat::NumberFormat(QStringView code)
{
    const QList<QStringView> sections = Sections(code);
    m_sections = sections.size() > 1;
    const QStringView first = sections.first().trimmed();
    if (first.isEmpty() || first.compare(u"General", Qt::CaseInsensitive) == 0)
        return;
    bool digits = false, literal = false, other = false, minutesOrMonth = false, point = false, duration = false;
    bool fraction = false;   // '/' or '?': a fraction's, unless it separates a date's parts
    bool beforePointDigits = false;
    for (qsizetype i = 0; i < first.size(); ++i) {
        const char16_t c = first[i].toLower().unicode();
        switch (c) {
        case u'"': {
            const qsizetype close = first.indexOf(u'"', i + 1);
            i = close < 0 ? first.size() : close;
            literal = true;
            break;
        }
        case u'[': {
            const qsizetype close = first.indexOf(u']', i + 1);
            const QStringView inside = first.sliced(i + 1, (close < 0 ? first.size() : close) - i - 1);
            // Elapsed hours ("[h]:mm:ss") count past a day: a duration, not a time of day; elapsed
            // minutes or seconds alone are left to General.
            if (!inside.isEmpty() && QStringView(u"hms").contains(inside[0].toLower()) &&
                std::all_of(inside.begin(), inside.end(), [&](QChar x) { return x.toLower() == inside[0].toLower(); })) {
                duration = inside[0].toLower() == u'h';
                other = other || !duration;
            }
            i = close < 0 ? first.size() : close;   // a colour, a condition, a locale
            break;
        }
        case u'\\':
        case u'_':
        case u'*':
            ++i;
            literal = literal || c == u'\\';
            break;
        case u'y': case u'd': case u'b':
            m_date = true;
            break;
        case u'h':
            m_time = true;
            break;
        case u's':
            m_time = m_seconds = true;
            break;
        case u'm':
            minutesOrMonth = true;
            break;
        case u'e':
            if (i + 1 < first.size() && (first[i + 1] == u'+' || first[i + 1] == u'-'))
                other = true;   // scientific notation
            else
                m_date = true;  // the year of an era
            break;
        case u'a':
            if (first.sliced(i).startsWith(u"am/pm", Qt::CaseInsensitive))
                i += 4;
            else if (first.sliced(i).startsWith(u"a/p", Qt::CaseInsensitive))
                i += 2;
            else
                literal = true;
            break;
        case u'0': case u'#':
            digits = true;
            if (point)
                ++m_decimals;
            else
                beforePointDigits = true;
            break;
        case u',':
            // Between digits it groups thousands; after the last digit it divides by 1000.
            if (!beforePointDigits || point || i + 1 >= first.size() || (first[i + 1] != u'#' && first[i + 1] != u'0'))
                other = true;
            else
                m_grouping = true;
            break;
        case u'.':
            other = other || point;
            point = true;
            break;
        case u'%':
            m_percent = true;
            break;
        case u'?': case u'/':
            fraction = true;
            break;
        case u'@':
            other = true;
            break;
        default:
            literal = true;
        }
    }
    if (duration) {
        m_kind = other || m_date ? Kind::General : Kind::Duration;
    } else if (m_date || m_time || minutesOrMonth) {
        // "m" is the month unless hours or seconds stand beside it.
        m_date = m_date || (minutesOrMonth && !m_time);
        m_kind = other ? Kind::General : Kind::Date;
    } else if (digits && !other && !literal && !fraction) {
        m_kind = Kind::Plain;
    }
}

NumberFormat NumberFormat::builtIn(int id)
{
    static const struct {
        int id;
        const char16_t* code;
    } kFormats[] = {
        {1, u"0"}, {2, u"0.00"}, {3, u"#,##0"}, {4, u"#,##0.00"}, {9, u"0%"}, {10, u"0.00%"},
        {14, u"yyyy-mm-dd"}, {15, u"d-mmm-yy"}, {16, u"d-mmm"}, {17, u"mmm-yy"}, {18, u"h:mm AM/PM"},
        {19, u"h:mm:ss AM/PM"}, {20, u"h:mm"}, {21, u"h:mm:ss"}, {22, u"yyyy-mm-dd h:mm"},
        {27, u"yyyy\"年\"m\"月\""}, {28, u"m\"月\"d\"日\""}, {29, u"m\"月\"d\"日\""}, {30, u"m-d-yy"},
        {31, u"yyyy\"年\"m\"月\"d\"日\""}, {32, u"h\"时\"mm\"分\""}, {33, u"h\"时\"mm\"分\"ss\"秒\""},
        {34, u"上午/下午h\"时\"mm\"分\""}, {35, u"上午/下午h\"时\"mm\"分\"ss\"秒\""}, {36, u"yyyy\"年\"m\"月\""},
        {37, u"#,##0 ;(#,##0)"}, {38, u"#,##0 ;[Red](#,##0)"}, {39, u"#,##0.00;(#,##0.00)"},
        {40, u"#,##0.00;[Red](#,##0.00)"}, {45, u"mm:ss"}, {46, u"[h]:mm:ss"}, {47, u"mmss.0"},
        {50, u"yyyy\"年\"m\"月\""}, {51, u"m\"月\"d\"日\""}, {52, u"yyyy\"年\"m\"月\""}, {53, u"m\"月\"d\"日\""},
        {54, u"m\"月\"d\"日\""}, {55, u"上午/下午h\"时\"mm\"分\""}, {56, u"上午/下午h\"时\"mm\"分\"ss\"秒\""},
        {57, u"yyyy\"年\"m\"月\""}, {58, u"m\"月\"d\"日\""},
    };
    for (const auto& format : kFormats)
        if (format.id == id)
            return NumberFormat(QStringView(format.code));
    return {};
}

QString NumberFormat::show(double value, bool date1904) const
{
    if (!std::isfinite(value))
        return GeneralNumber(value);
    switch (m_kind) {
    case Kind::General:
        break;
    case Kind::Plain: {
        // The second section writes negative numbers its own way; a percentage may be too large.
        const double scaled = m_percent ? value * 100 : value;
        if ((value < 0 && m_sections) || !std::isfinite(scaled))
            break;
        return Written(Rounded(ToDecimal(scaled), m_decimals), m_decimals, m_grouping) +
               (m_percent ? QStringLiteral("%") : QString());
    }
    case Kind::Date:
        if (const QString text = DateTimeText(value, date1904, m_date, m_time, m_seconds); !text.isEmpty())
            return text;
        break;
    case Kind::Duration:
        if (const QString text = DurationText(value); !text.isEmpty())
            return text;
        break;
    }
    return GeneralNumber(value);
}

QString GeneralNumber(double value)
{
    if (!std::isfinite(value))
        return QString::number(value);
    // A whole number in all its digits, as typed (a double holds every integer up to 2^53 exactly).
    if (std::fabs(value) < 1e17 && value == std::trunc(value))
        return QString::number(qint64(value));
    const Decimal whole = ToDecimal(value);
    if (IsZero(whole))
        return QStringLiteral("0");
    const int exponent = whole.point - 1;
    // The digits before the point all, of a fraction 10 significant ones.
    const Decimal d = Rounded(whole, std::max(9 - exponent, 0));
    if (exponent < 15 && exponent >= -9)
        return Written(d, -1, false);
    QString mantissa = QString::fromLatin1(d.digits);
    while (mantissa.endsWith(u'0'))
        mantissa.chop(1);
    if (mantissa.size() > 1)
        mantissa.insert(1, u'.');
    return (d.negative ? QStringLiteral("-") : QString()) + mantissa + (exponent < 0 ? QStringLiteral("E-") : QStringLiteral("E+")) +
           QString::number(std::abs(exponent)).rightJustified(2, u'0');
}

QString IsoDateText(QStringView iso)
{
    const QString text = iso.trimmed().toString();
    if (text.size() <= 10) {
        const QDate date = QDate::fromString(text, Qt::ISODate);
        return date.isValid() ? date.toString(QStringLiteral("yyyy-MM-dd")) : QString();
    }
    const QDateTime moment = QDateTime::fromString(text, Qt::ISODateWithMs);
    if (!moment.isValid())
        return {};
    const QTime time = moment.time();
    const QString day = moment.date().toString(QStringLiteral("yyyy-MM-dd"));
    return time == QTime(0, 0) ? day : day + u' ' + time.toString(QStringLiteral("HH:mm:ss"));
}

QString IsoDurationText(QStringView iso)
{
    static const QRegularExpression kDuration(QStringLiteral("^-?PT(?:(\\d+)H)?(?:(\\d+)M)?(?:(\\d+)(?:[.,]\\d+)?S)?$"));
    const QRegularExpressionMatch match = kDuration.match(iso.trimmed());
    if (!match.hasMatch() || match.capturedLength(0) <= 2)
        return {};
    const qint64 hours = match.capturedView(1).toLongLong();
    const qint64 seconds = match.capturedView(2).toLongLong() * 60 + match.capturedView(3).toLongLong();
    return ClockText(hours + seconds / 3600, seconds % 3600);
}

} // namespace zq::extract

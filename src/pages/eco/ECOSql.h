#pragma once
// The SQL texts of the change-order pages, built from plain values so they can be checked
// without widgets. Every value placed between quotes has its quotes doubled and ends at a NUL
// character; typed condition texts are trimmed.
#include "DateCondition.h"

#include <QDate>
#include <QString>
#include <QStringList>

namespace zq::eco {

// The state list of the change-order page, in list order; the last entry ("所有") puts no condition.
const QStringList& StateNames();
constexpr int kAllStates = 6;

// "State='临时' AND" for the indices 0 to 5, "" for "所有" or anything else.
QString StatePrefix(int stateIndex);

// A text wrapped as "*%s*" and turned into a LIKE pattern (quotes doubled).
QString ContainsPattern(const QString& text);

// The creation-date condition shared by the change-order pages.
DateCondition BuildDateCondition(const QDate& from, const QDate& to);

// A built SELECT and whether the reversed-dates warning must be shown before it runs.
struct SqlText {
    QString sql;
    bool dateWarning = false;
};

// "更改单": author, order number and subject are trimmed here; partCode is used as given: the
// typed code trimmed by the page, or the drawing number translated from an old drawing number.
struct OrderConditions {
    QString author;
    QString orderNumber;
    QString subject;
    QString partCode;
    int stateIndex = kAllStates;
    QDate from;
    QDate to;
};
SqlText BuildOrderSql(const OrderConditions& conditions);

// "更改影响面": the changed parts (mode 0) or the upper-level parts containing them (mode 1).
enum class PartResultMode { ChangedParts = 0, UpperParts = 1 };
struct PartConditions {
    QString author;
    QString orderNumber;
    QString subject;
    QString partCode;
    PartResultMode mode = PartResultMode::ChangedParts;
    QDate from;
    QDate to;
};
SqlText BuildChangedPartSql(const PartConditions& conditions);

// "更改发放部门": an OR of exact matches of the trimmed-left department column, names as listed.
SqlText BuildDepartmentSql(const QDate& from, const QDate& to, const QStringList& departments);

// "更改处理意见": an OR of contains-matches on the handling opinion, texts as typed.
SqlText BuildOpinionSql(const QDate& from, const QDate& to, const QStringList& opinions);

// The stored change-order file of one order (kind K, number N, as listed).
QString StoredFileSizeSql(const QString& kind, const QString& number);
QString StoredFileContentSql(const QString& kind, const QString& number);
// "M%s_ECO.tbl" with the number made safe as part of a file name.
QString StoredFileName(const QString& number);

} // namespace zq::eco

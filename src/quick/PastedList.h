#pragma once
// A pasted list checked line by line (a bill of materials, codes from an e-mail): each line is
// one code, found only where a kind holds that code itself (编号相同 or 编号近似); a line found
// nowhere is "未找到", with the nearest code there is. Lines keep their input order.
#include "QuickHit.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <atomic>

namespace zq::quick {

class QuickSearch;

inline const QString kNotFound = QStringLiteral("未找到");

struct ListLine {
    QString input;
    QList<QuickHit> found;   // ranked; empty: not found
    QString nearest;         // for a line not found: the nearest code, or ""
    QString problem;         // a kind that could not be read for this line
};

// CANCEL (may be null) stops the check before the next line; the lines checked so far are returned.
QList<ListLine> CheckPastedList(QuickSearch& search, const QStringList& codes, const QStringList& kinds,
                                const std::atomic_bool* cancel = nullptr);

// One row a found hit, one row a line not found: 输入, 类别, 编号, 名称, 匹配, 说明.
QStringList ListHeader();
QList<QStringList> ListRows(const QList<ListLine>& lines);

} // namespace zq::quick

#pragma once
// How a hit is shown on its own tab: the conditions that list it, as a user would set them on
// that page (control ids of the page's template, a grid's row by index), then 查找. Dates are
// widened to take the hit in, since the pages start with the last weeks only.
#include "QuickHit.h"

#include <QDate>
#include <QStringList>
#include <QList>

namespace zq::quick {

struct ConditionStep {
    int control = 0;
    int row = -1;      // a grid's row (its column 1 is typed into); -1: the control's own value
    QString value;
    bool operator==(const ConditionStep& other) const = default;
};

struct HitOpening {
    QString caption;              // the tab
    QList<ConditionStep> steps;   // in order; a control the page lacks is passed over
};

HitOpening OpeningOf(const QuickHit& hit, const QDate& today);

// Whether a result row (its texts, column by column) is the hit's: the first column as the tab
// lists the hit (the code, the code with its revision in brackets as the document lists show it,
// or what QuickHit::listed says: a batch number, a resource file's description), and where the first column does not tell the hit apart (a
// batch number), the name in another column too. anyColumn: the code in any column (a list whose
// first column names the kind, as the change orders' "修改单").
bool ListsHit(const QStringList& rowTexts, const QuickHit& hit, bool anyColumn = false);

} // namespace zq::quick

#pragma once
// Opens a quick search hit where the user works with it: the search window on the hit's tab,
// its conditions set to list the hit, 查找 pressed and the hit's row selected.
#include "QuickHit.h"

#include <QDate>
#include <QString>

class QWidget;

namespace zq::host {

// The reason when the hit could not be shown (the tab is not in the page list); empty when it was.
// A hit whose row the page does not list leaves the window on the tab with the conditions set.
QString OpenHitInSearchWindow(QWidget* parent, const quick::QuickHit& hit, const QDate& today);

} // namespace zq::host

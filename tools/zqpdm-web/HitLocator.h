#pragma once
// A quick-search hit found on its own tab, as the client opens it: the tab's conditions that list
// the hit (its code, its date range, its kind of document), then the row among those listed.
#include <QDate>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <optional>

namespace zq::web {

struct TabSearch {
    QString page;
    QStringList arguments;   // --set and --cell actions, then --find
};

// The search that lists the hit of the HIT event DETAILS; nullopt for a kind the client does not
// open with conditions (文档内容).
std::optional<TabSearch> TabSearchOf(const QJsonObject& details, const QDate& today);

// The index of the row (JSON objects, as zqpdm-search lists them) that is the hit's; -1 when none.
int RowOfHit(const QStringList& rows, const QJsonObject& details);

} // namespace zq::web

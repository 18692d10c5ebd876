#pragma once
// A saved search: a tab's conditions under a name, the user's own or shared with everyone who
// uses the installation. Results are never kept. As JSON:
//   {"version": 1, "name": "本部门本季度", "tab": "更改单", "savedAt": "2026-12-09T10:00:00",
//    "fixedDates": false, "conditions": {...}}
// where the conditions are those of PageConditions.h, with what a page adds of its own.
#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <optional>

namespace zq {

struct SavedSearch {
    static constexpr int kVersion = 1;

    QString name;
    QString tab;
    QDateTime savedAt;
    bool fixedDates = false;
    bool shared = false;        // where it is kept, not part of its JSON
    QJsonObject conditions;

    QJsonObject toJson() const;
    // Nothing when the object is no saved search of a version this program reads (*why says so).
    static std::optional<SavedSearch> fromJson(const QJsonObject& object, QString* why);
};

} // namespace zq

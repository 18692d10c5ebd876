#pragma once
// A saved search: a tab's conditions under a name, the user's own or shared with everyone who
// uses the installation. Results are never kept. As JSON:
//   {"version": 1, "name": "本部门本季度", "tab": "更改单", "savedAt": "2026-12-09T10:00:00",
//    "savedBy": "zhangwei", "fixedDates": false, "conditions": {...}}
// where the conditions are those of PageConditions.h, with what a page adds of its own; "savedBy"
// (the login of whoever put a shared search where it is) may be missing.
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
    QString savedBy;
    bool fixedDates = false;
    bool shared = false;        // where it is kept, not part of its JSON
    QJsonObject conditions;

    // How a JSON object reads as a saved search.
    enum class Reading {
        Usable,
        Newer,      // of a version, or with fields, this program does not know: to be left as it is
        Damaged,    // no saved search (not an object, no name, no conditions)
    };

    QJsonObject toJson() const;
    // Nothing when the object is no saved search this program can use; *reading and *why say why.
    static std::optional<SavedSearch> fromJson(const QJsonObject& object, QString* why, Reading* reading = nullptr);
};

} // namespace zq

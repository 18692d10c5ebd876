#include "SavedSearch.h"

#include <QStringList>

namespace zq {

namespace {

const QStringList& KnownFields()
{
    static const QStringList fields{QStringLiteral("version"),   QStringLiteral("name"),    QStringLiteral("tab"),
                                    QStringLiteral("savedAt"),   QStringLiteral("savedBy"), QStringLiteral("fixedDates"),
                                    QStringLiteral("conditions")};
    return fields;
}

} // namespace

QJsonObject SavedSearch::toJson() const
{
    QJsonObject object{
        {QStringLiteral("version"), kVersion},
        {QStringLiteral("name"), name},
        {QStringLiteral("tab"), tab},
        {QStringLiteral("savedAt"), savedAt.toString(Qt::ISODate)},
        {QStringLiteral("fixedDates"), fixedDates},
        {QStringLiteral("conditions"), conditions},
    };
    if (!savedBy.isEmpty())
        object.insert(QStringLiteral("savedBy"), savedBy);
    return object;
}

std::optional<SavedSearch> SavedSearch::fromJson(const QJsonObject& object, QString* why, Reading* reading)
{
    Reading ignored;
    Reading& result = reading ? *reading : ignored;
    const int version = object.value(QStringLiteral("version")).toInt(0);
    QStringList unknown;
    for (auto it = object.begin(); it != object.end(); ++it)
        if (!KnownFields().contains(it.key()))
            unknown.append(it.key());
    if (version > kVersion || (version >= 1 && !unknown.isEmpty())) {
        result = Reading::Newer;
        *why = version > kVersion ? QStringLiteral("由较新的版本保存 (版本 %1)").arg(version)
                                  : QStringLiteral("由较新的版本保存 (有本版本不认识的字段 %1)").arg(unknown.join(QStringLiteral(", ")));
        return std::nullopt;
    }
    result = Reading::Damaged;
    if (version < 1) {
        *why = QStringLiteral("不是保存的查询");
        return std::nullopt;
    }
    SavedSearch search;
    search.name = object.value(QStringLiteral("name")).toString();
    search.tab = object.value(QStringLiteral("tab")).toString();
    search.savedAt = QDateTime::fromString(object.value(QStringLiteral("savedAt")).toString(), Qt::ISODate);
    search.savedBy = object.value(QStringLiteral("savedBy")).toString();
    search.fixedDates = object.value(QStringLiteral("fixedDates")).toBool();
    search.conditions = object.value(QStringLiteral("conditions")).toObject();
    if (search.name.trimmed().isEmpty() || search.tab.isEmpty() || !search.conditions.contains(QStringLiteral("controls"))) {
        *why = QStringLiteral("缺少名称、页面或条件");
        return std::nullopt;
    }
    result = Reading::Usable;
    return search;
}

} // namespace zq

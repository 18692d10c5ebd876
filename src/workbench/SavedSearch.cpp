#include "SavedSearch.h"

namespace zq {

QJsonObject SavedSearch::toJson() const
{
    return QJsonObject{
        {QStringLiteral("version"), kVersion},
        {QStringLiteral("name"), name},
        {QStringLiteral("tab"), tab},
        {QStringLiteral("savedAt"), savedAt.toString(Qt::ISODate)},
        {QStringLiteral("fixedDates"), fixedDates},
        {QStringLiteral("conditions"), conditions},
    };
}

std::optional<SavedSearch> SavedSearch::fromJson(const QJsonObject& object, QString* why)
{
    const int version = object.value(QStringLiteral("version")).toInt(0);
    if (version < 1 || version > kVersion) {
        *why = version > kVersion ? QStringLiteral("由较新的版本保存 (版本 %1)").arg(version)
                                  : QStringLiteral("不是保存的查询");
        return std::nullopt;
    }
    SavedSearch search;
    search.name = object.value(QStringLiteral("name")).toString();
    search.tab = object.value(QStringLiteral("tab")).toString();
    search.savedAt = QDateTime::fromString(object.value(QStringLiteral("savedAt")).toString(), Qt::ISODate);
    search.fixedDates = object.value(QStringLiteral("fixedDates")).toBool();
    search.conditions = object.value(QStringLiteral("conditions")).toObject();
    if (search.name.trimmed().isEmpty() || search.tab.isEmpty() || !search.conditions.contains(QStringLiteral("controls"))) {
        *why = QStringLiteral("缺少名称、页面或条件");
        return std::nullopt;
    }
    return search;
}

} // namespace zq

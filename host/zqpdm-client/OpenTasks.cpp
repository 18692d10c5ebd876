#include "OpenTasks.h"

#include "Recordset.h"
#include "ZQDBConnect.h"

namespace zq::host {

namespace {

constexpr int kTaskFields = 6;
constexpr int kStateColumn = 3;

} // namespace

bool IsFinishedState(const QString& state)
{
    static const QStringList finished{QStringLiteral("完成"), QStringLiteral("归档"), QStringLiteral("已归档"),
                                      QStringLiteral("已入库"), QStringLiteral("已完成")};
    return finished.contains(state.trimmed());
}

TaskRows ListOpenTasks(zq::CZQDBConnect& database, const zq::task::TaskConditions& conditions)
{
    TaskRows result;
    const bool openOnly = conditions.stateIndex == 0;
    try {
        const zq::task::TaskSqlTexts texts =
            zq::task::BuildTaskSql(conditions, [&database] { return database.FetchServerDate(zq::DataSystemPDM); });
        for (const QString& sql : texts.sql) {
            zq::Recordset records;
            records.Open(sql, database.GetPtrPDM());
            for (; !records.IsEOF(); records.MoveNext()) {
                QStringList fields;
                for (int i = 0; i < kTaskFields; ++i)
                    fields.append(records.GetFieldText(i));
                if (!openOnly || !IsFinishedState(fields.at(kStateColumn)))
                    result.rows.append(fields);
            }
        }
    } catch (const zq::_com_error& error) {
        result.ok = false;
        result.error = error.Description();
    }
    return result;
}

} // namespace zq::host

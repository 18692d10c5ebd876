#include "ResourceSql.h"

#include "Profile.h"
#include "SqlText.h"
#include "ZQPDMFC.h"

namespace zq::doc {

namespace {

constexpr int kProfileBuffer = 260;

} // namespace

const QStringList& ResourceColumns()
{
    static const QStringList columns{
        QStringLiteral("DocType"), QStringLiteral("FileName"), QStringLiteral("FileDate"), QStringLiteral("DocRemark"),
        QStringLiteral("Other1"),  QStringLiteral("Other2"),   QStringLiteral("Other3"),   QStringLiteral("Other4"),
    };
    return columns;
}

QString ResourceConfigPath()
{
    return InstallPath(QStringLiteral("rnds\\spt\\zqpdmcad.ini"));
}

QStringList ReadResourceConditionNames(const QString& iniPath)
{
    QStringList names{QStringLiteral("文件说明"), QStringLiteral("文件名称"), QStringLiteral("日期"), QStringLiteral("备注")};
    for (int n = 1; n <= 4; ++n)
        names.append(GetPrivateProfileString(QStringLiteral("资源视图信息"), QStringLiteral("视图其他%1").arg(n),
                                             QStringLiteral("其他%1").arg(n), kProfileBuffer, iniPath));
    return names;
}

QString BuildResourceSql(const QStringList& values)
{
    QString joined;
    for (int row = 0; row < kResourceRowCount; ++row) {
        const QString value = PatternToSql(values.value(row));
        if (value.isEmpty())
            continue;
        if (!joined.isEmpty())
            joined += QStringLiteral(" AND ");
        joined += ResourceColumns().at(row) + QStringLiteral(" LIKE '%") + value + QStringLiteral("%'");
    }
    return joined.isEmpty() ? ResourceSelect() : ResourceSelect() + QStringLiteral(" WHERE ") + joined;
}

QString ResourceSelect()
{
    return QStringLiteral("SELECT ItemCode, DocType, FileName, FileBulk, FileType, FileDate FROM EngineerViewDoc");
}

QString ResourceItemText(const DocumentRecord& record)
{
    return record.Field(RecordField::Description);
}

const RowLayout& ResourceRowLayout()
{
    static const RowLayout layout{
        {RecordField::Code2, RecordField::Description, RecordField::FileName, RecordField::Size,
         RecordField::FileType, RecordField::Date},
        ResourceItemText,
        {RecordField::Size, RecordField::FileType, RecordField::Date},
    };
    return layout;
}

} // namespace zq::doc

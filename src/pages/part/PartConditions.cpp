#include "PartConditions.h"

#include "Profile.h"
#include "ZQPDMFC.h"

namespace zq::part {

namespace {

const QString kPartSection = QStringLiteral("产品属性");
const QString kAttributeSection = QStringLiteral("零部件附加信息");
constexpr int kPartBuffer = 100;
constexpr int kAttributeBuffer = 260;

QString Read(const QString& path, const QString& section, const QString& key, const QString& fallback, int buffer)
{
    return GetPrivateProfileString(section, key, fallback, buffer, path);
}

} // namespace

QString ConditionConfigPath()
{
    return InstallPath(QStringLiteral("rnds\\spt\\zqpdmcad.ini"));
}

ConditionNames ReadConditionNames(const QString& iniPath)
{
    QStringList titleOther;
    for (int n = 1; n <= 5; ++n)
        titleOther.append(Read(iniPath, kPartSection, QStringLiteral("标题其他%1").arg(n),
                               QStringLiteral("其他%1").arg(n), kPartBuffer));
    const QString detailRemark = Read(iniPath, kPartSection, QStringLiteral("明细备注"), QStringLiteral("备注"), kPartBuffer);
    const QString detailStyle = Read(iniPath, kPartSection, QStringLiteral("明细类型"), QStringLiteral("类型"), kPartBuffer);
    const QString detailSpec = Read(iniPath, kPartSection, QStringLiteral("明细规格"), QStringLiteral("规格"), kPartBuffer);
    const QString detailOther1 = Read(iniPath, kPartSection, QStringLiteral("明细其他1"), QStringLiteral("其他1"), kPartBuffer);
    const QString detailOther2 = Read(iniPath, kPartSection, QStringLiteral("明细其他2"), QStringLiteral("其他2"), kPartBuffer);
    QStringList attributeOther;
    for (int n = 1; n <= 5; ++n)
        attributeOther.append(Read(iniPath, kAttributeSection, QStringLiteral("附加其他%1").arg(n),
                                   QStringLiteral("其他%1").arg(n), kAttributeBuffer));

    ConditionNames names;
    // The title table's second spare field is read but not searchable here.
    names.title = QStringList{
        QStringLiteral("图号"), QStringLiteral("图名"), QStringLiteral("材料"), QStringLiteral("比例"),
        QStringLiteral("图幅"), QStringLiteral("类型"), QStringLiteral("标准"), QStringLiteral("布局"),
        QStringLiteral("装订线"), QStringLiteral("设计者"), titleOther[0], titleOther[2], titleOther[3],
        titleOther[4], QStringLiteral("负责人"), QStringLiteral("状态"),
    };
    names.detail = QStringList{
        QStringLiteral("图号"), QStringLiteral("图名"), QStringLiteral("材料"), detailSpec,
        detailRemark, detailStyle, detailOther1, detailOther2,
    };
    names.attribute = QStringList{
        QStringLiteral("分类码"), QStringLiteral("关键件标志"), QStringLiteral("物料标志"),
        QStringLiteral("装箱长(mm)"), QStringLiteral("装箱宽(mm)"), QStringLiteral("装箱高(mm)"),
        QStringLiteral("供应商"),
    };
    names.attribute += attributeOther;
    return names;
}

QList<QStringList> BatchConditionNames(const ConditionNames& names)
{
    const QString batchNumber = QStringLiteral("批次号");
    return {QStringList{batchNumber} + names.title, QStringList{batchNumber} + names.detail};
}

ConditionRows::ConditionRows(ConditionNames names)
    : ConditionRows(QList<QStringList>{std::move(names.title), std::move(names.detail), std::move(names.attribute)})
{
}

ConditionRows::ConditionRows(QList<QStringList> namesPerKind)
    : m_names(std::move(namesPerKind)), m_values(m_names.size())
{
}

int ConditionRows::Slot(int kind) const
{
    return kind >= 0 && kind < m_names.size() ? kind : int(m_names.size()) - 1;
}

const QStringList& ConditionRows::Names(int kind) const
{
    static const QStringList none;
    return m_names.isEmpty() ? none : m_names.at(Slot(kind));
}

QStringList ConditionRows::Values(int kind) const
{
    if (m_values.isEmpty())
        return {};
    const QStringList& kept = m_values.at(Slot(kind));
    QStringList values;
    for (qsizetype row = 0; row < Names(kind).size(); ++row)
        values.append(row < kept.size() ? kept.at(row) : QString());
    return values;
}

void ConditionRows::Keep(int kind, const QStringList& values)
{
    if (!m_values.isEmpty())
        m_values[Slot(kind)] = values;
}

void ConditionRows::ClearValues()
{
    for (QStringList& values : m_values)
        values.clear();
}

} // namespace zq::part

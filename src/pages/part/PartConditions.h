#pragma once
// The rows of the design-part condition list: the field names of each condition kind (some of
// them configured in "rnds\spt\zqpdmcad.ini") and the values last kept for each kind.
#include <QString>
#include <QStringList>
#include <array>

namespace zq::part {

struct ConditionNames {
    QStringList title;       // 16 rows
    QStringList detail;      // 8 rows
    QStringList attribute;   // 12 rows
};

// The full path of the configuration file inside the installation.
QString ConditionConfigPath();

// The row names of the three kinds, with the configured names read from the file (the defaults
// where the file or a key is missing).
ConditionNames ReadConditionNames(const QString& iniPath);

// Names and kept values per kind; kind 0 title, 1 detail, 2 attributes.
class ConditionRows {
public:
    ConditionRows() = default;
    explicit ConditionRows(ConditionNames names);

    const QStringList& Names(int kind) const;
    // One value per name of the kind: the value kept for that row, or an empty text.
    QStringList Values(int kind) const;
    void Keep(int kind, const QStringList& values);
    void ClearValues();

private:
    static int Slot(int kind);
    std::array<QStringList, 3> m_names;
    std::array<QStringList, 3> m_values;
};

} // namespace zq::part

#pragma once
// The rows of the part condition lists: the field names of each condition kind (some of them
// configured in "rnds\spt\zqpdmcad.ini") and the values last kept for each kind.
#include <QList>
#include <QString>
#include <QStringList>

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

// The batch-product kinds: the title and detail names, each after a first row "批次号".
QList<QStringList> BatchConditionNames(const ConditionNames& names);

// Names and kept values per kind; a kind number beyond the last kind counts as the last kind.
class ConditionRows {
public:
    ConditionRows() = default;
    // The design-part kinds: 0 title, 1 detail, 2 attributes.
    explicit ConditionRows(ConditionNames names);
    explicit ConditionRows(QList<QStringList> namesPerKind);

    int KindCount() const { return int(m_names.size()); }
    const QStringList& Names(int kind) const;
    // One value per name of the kind: the value kept for that row, or an empty text.
    QStringList Values(int kind) const;
    void Keep(int kind, const QStringList& values);
    void ClearValues();

private:
    int Slot(int kind) const;
    QList<QStringList> m_names;
    QList<QStringList> m_values;
};

} // namespace zq::part

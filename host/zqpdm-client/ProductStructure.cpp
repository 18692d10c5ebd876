#include "ProductStructure.h"

#include "Recordset.h"
#include "SqlText.h"
#include "ZQPDMFC.h"

#include <QSet>
#include <algorithm>

namespace zq::host {

QString ProductStructure::linesSql(const QString& productCode)
{
    return QStringLiteral("SELECT UpCode, DCode, DName FROM ZqlomiraAll_detail WHERE ProductDwgCode = '%1'")
        .arg(zq::SqlQuote(productCode));
}

ProductStructure ProductStructure::load(zq::Connection* connection, const QString& productCode)
{
    ProductStructure structure(productCode);
    zq::Recordset records;
    records.Open(linesSql(productCode), connection);
    while (!records.IsEOF()) {
        structure.addLine(records.GetFieldText(0), records.GetFieldText(1), records.GetFieldText(2));
        records.MoveNext();
    }
    records.Close();
    return structure;
}

void ProductStructure::addLine(const QString& upCode, const QString& code, const QString& name)
{
    if (code.isEmpty())
        return;
    QList<StructureLine>& lines = m_children[upCode];
    const auto at = std::lower_bound(lines.begin(), lines.end(), code,
                                     [](const StructureLine& line, const QString& c) { return line.code < c; });
    if (at != lines.end() && at->code == code)
        return;   // the same part used twice in one parent is one tree item
    lines.insert(at, StructureLine{code, name});

    QStringList& parents = m_parents[code];
    const auto p = std::lower_bound(parents.begin(), parents.end(), upCode);
    if (p == parents.end() || *p != upCode)
        parents.insert(p, upCode);
}

QList<StructureLine> ProductStructure::children(const QString& parent) const
{
    return m_children.value(parent);
}

bool ProductStructure::hasChildren(const QString& parent) const
{
    return !m_children.value(parent).isEmpty();
}

QStringList ProductStructure::pathTo(const QString& code) const
{
    if (code.isEmpty())
        return {};
    if (zq::EqualsNoCase(code, m_product))
        return {m_product};

    // Depth-first upwards on an explicit stack; every code is entered once, so cycles and
    // deep structures end without recursion.
    struct Frame {
        QString code;
        QStringList upwards;   // code, its parent, ... (not yet the product)
    };
    QList<Frame> stack{Frame{code, {code}}};
    QSet<QString> visited{code};
    while (!stack.isEmpty()) {
        const Frame frame = stack.takeLast();
        const QStringList parents = m_parents.value(frame.code);
        for (const QString& parent : parents) {
            if (zq::EqualsNoCase(parent, m_product)) {
                QStringList path{m_product};
                for (auto it = frame.upwards.crbegin(); it != frame.upwards.crend(); ++it)
                    path.append(*it);
                return path;
            }
        }
        for (auto it = parents.crbegin(); it != parents.crend(); ++it) {
            if (visited.contains(*it))
                continue;
            visited.insert(*it);
            stack.append(Frame{*it, QStringList(frame.upwards) << *it});
        }
    }
    return {};
}

} // namespace zq::host

#pragma once
// The upward walk of the product-structure search: from one part-list line up to the product,
// every place the line's part is used, each as a path of codes "P::A::B".
//
// The walk is iterative (an explicit stack), reads the parent codes of a code once per walk and
// keeps no recordset open between steps, so deep or widely shared structures cost one query per
// distinct code. A code that recurs on its own path ends that branch, so any stored data ends the
// walk. Paths and their order are those of following every parent line depth first, parents in
// the order the database returns them.
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace zq::part {

// One place of a part inside a product.
struct StructurePath {
    QString text;      // codes joined by "::", product first
    QString product;   // first code
    QString part;      // last code
};

// Where the walk reads the structure.
class ParentSource {
public:
    virtual ~ParentSource() = default;
    // The UpCode of every line of the product whose DCode is code, in stored order. A source that
    // fails part-way returns what it read before the failure (and tells the user itself).
    virtual QStringList ParentCodes(const QString& productCode, const QString& code) = 0;
};

class UpwardWalk {
public:
    // keepGoing is asked every few thousand steps; returning false stops the walk.
    UpwardWalk(ParentSource& source, QString productCode, std::function<bool()> keepGoing = {});

    // Appends the paths of the line (upCode, code) to paths. False when the walk was stopped.
    bool Collect(const QString& upCode, const QString& code, QList<StructurePath>& paths);

    int QueriesSent() const { return m_queries; }

private:
    const QStringList& ParentsOf(const QString& code);
    bool IsProduct(const QString& code) const;

    ParentSource& m_source;
    QString m_productCode;
    std::function<bool()> m_keepGoing;
    QHash<QString, QStringList> m_parents;   // parent codes by code, read once per walk
    int m_queries = 0;
    int m_steps = 0;
};

} // namespace zq::part

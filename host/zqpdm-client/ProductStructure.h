#pragma once
// The part structure of one product as stored flat in ZqlomiraAll_detail (one line per use:
// product, parent code, own code, name), read with one query and kept for the tree and for
// finding where a part sits in the product.
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace zq { class Connection; }

namespace zq::host {

struct StructureLine {
    QString code;
    QString name;
    bool operator==(const StructureLine& other) const = default;
};

class ProductStructure {
public:
    ProductStructure() = default;
    explicit ProductStructure(QString productCode) : m_product(std::move(productCode)) {}

    // Reads every line of the product. Throws zq::_com_error when the query fails.
    static ProductStructure load(zq::Connection* connection, const QString& productCode);
    // The query load() sends.
    static QString linesSql(const QString& productCode);

    // Adds one stored line (parent code, own code, name).
    void addLine(const QString& upCode, const QString& code, const QString& name);

    const QString& product() const { return m_product; }
    // The distinct parts used directly in parent (the product's code for the top level), by code.
    QList<StructureLine> children(const QString& parent) const;
    bool hasChildren(const QString& parent) const;
    // A path of codes from the product down to code ({P, A, B}), following parent lines upwards;
    // {P} for the product itself; empty when code never reaches the product. Ends on any data.
    QStringList pathTo(const QString& code) const;

private:
    QString m_product;
    QHash<QString, QList<StructureLine>> m_children;   // parent code → lines, sorted by code
    QHash<QString, QStringList> m_parents;             // code → parent codes, sorted
};

} // namespace zq::host

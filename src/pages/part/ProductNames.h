#pragma once
// The product names of one plain design-part search. A product's name is read once, when the
// first row naming the product arrives; the rows after it take the same texts, so the result
// list holds one copy of each product's code and name however many rows name the product.
#include <QHash>
#include <QString>

namespace zq { class CZQDBConnect; }

namespace zq::part {

class ProductNames {
public:
    struct Product {
        QString code;   // the code as the first row gave it
        QString name;   // empty when the product is missing from Product
    };

    // The product of that code, read with GetSelectItemData the first time. Throws _com_error
    // when the look-up fails; nothing is remembered then.
    const Product& Lookup(CZQDBConnect& connection, const QString& productCode);
    // Forgets every product: a new search reads the names again.
    void Clear() { m_products.clear(); }
    int Count() const { return int(m_products.size()); }

private:
    QHash<QString, Product> m_products;
};

} // namespace zq::part

#pragma once
// The product names of one plain design-part search. A product's name is read once, when the
// first row naming the product arrives; the rows after it take the same texts, so the result
// list holds one copy of each product's code and name however many rows name the product.
#include <QString>
#include <QStringView>
#include <unordered_map>

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
    // The same for a code given as a view; the product's texts stay until Clear.
    const Product& Lookup(CZQDBConnect& connection, QStringView productCode);
    // Forgets every product: a new search reads the names again.
    void Clear();
    int Count() const { return int(m_products.size()); }

private:
    // Product codes are short: FNV-1a over the UTF-16 units costs a fraction of Qt's seeded hash,
    // which this look-up, made once a row, would otherwise spend most of its time in.
    struct CodeHash {
        size_t operator()(const QString& code) const noexcept;
    };

    std::unordered_map<QString, Product, CodeHash> m_products;   // nodes stay put: m_last stays valid
    const Product* m_last = nullptr;   // rows of one product often come together
};

} // namespace zq::part

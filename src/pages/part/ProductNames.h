#pragma once
// The product names of one plain design-part search. A product's name is read once, when the
// first row naming the product arrives; the rows after it take the same texts, so the result
// list holds one copy of each product's code and name however many rows name the product.
#include <QAnyStringView>
#include <QByteArray>
#include <QString>
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
    // The code may be a view (UTF-8 as the database gave it, too); the product's texts stay until Clear.
    const Product& Lookup(CZQDBConnect& connection, QAnyStringView productCode);
    // Forgets every product: a new search reads the names again.
    void Clear();
    int Count() const { return int(m_products.size()); }

private:
    // Codes are kept and compared as UTF-8, the form a database gives them in: a row's code is
    // then looked up without decoding or copying it. Product codes are short: FNV-1a over the
    // bytes costs a fraction of Qt's seeded hash, which this look-up, made once a row, would
    // otherwise spend most of its time in.
    struct CodeHash {
        using is_transparent = void;
        size_t operator()(QByteArrayView code) const noexcept;
    };
    struct CodeEqual {
        using is_transparent = void;
        bool operator()(QByteArrayView a, QByteArrayView b) const noexcept { return a == b; }
    };
    using Products = std::unordered_map<QByteArray, Product, CodeHash, CodeEqual>;
    const Product& LookupUtf8(CZQDBConnect& connection, QByteArrayView code);

    Products m_products;                          // nodes stay put: m_last stays valid
    const Products::value_type* m_last = nullptr; // rows of one product often come together
};

} // namespace zq::part

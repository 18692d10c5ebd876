#include "ProductNames.h"

#include "PartSql.h"
#include "RowTexts.h"
#include "ZQDBConnect.h"

namespace zq::part {

size_t ProductNames::CodeHash::operator()(QByteArrayView code) const noexcept
{
    quint64 hash = 14695981039346656037ULL;
    for (const char c : code) {
        hash ^= quint64(uchar(c));
        hash *= 1099511628211ULL;
    }
    return size_t(hash);
}

const ProductNames::Product& ProductNames::Lookup(CZQDBConnect& connection, QAnyStringView productCode)
{
    if (IsUtf8(productCode))
        return LookupUtf8(connection, QByteArrayView(static_cast<const char*>(productCode.data()), productCode.size()));
    return LookupUtf8(connection, productCode.toString().toUtf8());
}

const ProductNames::Product& ProductNames::LookupUtf8(CZQDBConnect& connection, QByteArrayView code)
{
    if (m_last && m_last->first == code)
        return m_last->second;
    auto found = m_products.find(code);
    if (found == m_products.end()) {
        const QString text = QString::fromUtf8(code);
        QString name = connection.GetSelectItemData(ProductNameSql(text), DataSystemPDM);
        found = m_products.emplace(code.toByteArray(), Product{text, std::move(name)}).first;
    }
    m_last = &*found;
    return m_last->second;
}

void ProductNames::Clear()
{
    m_products.clear();
    m_last = nullptr;
}

} // namespace zq::part

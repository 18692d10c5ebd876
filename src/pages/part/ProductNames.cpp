#include "ProductNames.h"

#include "PartSql.h"
#include "ZQDBConnect.h"

namespace zq::part {

size_t ProductNames::CodeHash::operator()(const QString& code) const noexcept
{
    quint64 hash = 14695981039346656037ULL;
    for (const QChar c : code) {
        hash ^= c.unicode();
        hash *= 1099511628211ULL;
    }
    return size_t(hash);
}

const ProductNames::Product& ProductNames::Lookup(CZQDBConnect& connection, const QString& productCode)
{
    if (m_last && m_last->code == productCode)
        return *m_last;
    auto found = m_products.find(productCode);
    if (found == m_products.end()) {
        QString name = connection.GetSelectItemData(ProductNameSql(productCode), DataSystemPDM);
        found = m_products.emplace(productCode, Product{productCode, std::move(name)}).first;
    }
    m_last = &found->second;
    return *m_last;
}

const ProductNames::Product& ProductNames::Lookup(CZQDBConnect& connection, QStringView productCode)
{
    if (m_last && m_last->code == productCode)
        return *m_last;
    return Lookup(connection, productCode.toString());
}

void ProductNames::Clear()
{
    m_products.clear();
    m_last = nullptr;
}

} // namespace zq::part

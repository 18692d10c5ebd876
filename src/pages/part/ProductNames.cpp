#include "ProductNames.h"

#include "PartSql.h"
#include "ZQDBConnect.h"

namespace zq::part {

const ProductNames::Product& ProductNames::Lookup(CZQDBConnect& connection, const QString& productCode)
{
    auto found = m_products.constFind(productCode);
    if (found == m_products.constEnd()) {
        QString name = connection.GetSelectItemData(ProductNameSql(productCode), DataSystemPDM);
        found = m_products.insert(productCode, Product{productCode, std::move(name)});
    }
    return found.value();
}

} // namespace zq::part

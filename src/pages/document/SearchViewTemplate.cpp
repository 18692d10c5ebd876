// Dialog template 23002: the data-view-item page, laid out to fit the search window's page area
// at its default size; the result list stretches with the page.
#include "DialogTemplate.h"
#include "PageRegistry.h"
#include "ZQSearchPage.h"

namespace {

const DialogTemplate kSearchViewTemplate{
    23002,
    QString(),
    CZQSearchPage::kTemplateArea,
    QStringLiteral("MS Sans Serif"),
    8,
    {
        {-1, ControlKind::Static, QStringLiteral("视图项名称"), QRect(2, 5, 44, 8)},
        {1046, ControlKind::ComboDropDown, QString(), QRect(48, 2, 150, 100), CS_SORT},
        {1319, ControlKind::ReportList, QString(), QRect(2, 18, 350, 182)},
    },
};

const zq::TemplateRegistration kRegistration(&kSearchViewTemplate);

} // namespace

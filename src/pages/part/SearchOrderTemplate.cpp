// Dialog template 23010: the batch-product page.
#include "DialogTemplate.h"
#include "PageRegistry.h"

namespace {

const DialogTemplate kSearchOrderTemplate{
    23010,
    QString(),
    QSize(400, 251),
    QStringLiteral("MS Sans Serif"),
    8,
    {
        {-1, ControlKind::Static, QStringLiteral("日期:"), QRect(6, 7, 23, 8)},
        {1204, ControlKind::DatePicker, QString(), QRect(37, 3, 73, 15)},
        {-1, ControlKind::Static, QStringLiteral("到："), QRect(11, 23, 11, 8)},
        {1258, ControlKind::DatePicker, QString(), QRect(37, 20, 73, 15)},
        {-1, ControlKind::Static, QStringLiteral("条件:"), QRect(6, 40, 20, 8)},
        {1256, ControlKind::ComboDropList, QStringLiteral("标题\n明细"), QRect(37, 37, 73, 101)},
        {1318, ControlKind::GridList, QString(), QRect(0, 54, 110, 195)},
        {1319, ControlKind::HeaderList, QString(), QRect(113, 2, 285, 247)},
    },
};

const zq::TemplateRegistration kRegistration(&kSearchOrderTemplate);

} // namespace

// Dialog template 23000: the design-part page.
#include "DialogTemplate.h"
#include "PageRegistry.h"

namespace {

const DialogTemplate kSearchPartTemplate{
    23000,
    QString(),
    QSize(400, 251),
    QStringLiteral("MS Sans Serif"),
    8,
    {
        {1172, ControlKind::CheckBox, QStringLiteral("范围"), QRect(1, 2, 33, 10)},
        {1167, ControlKind::Edit, QString(), QRect(34, 1, 76, 12), CS_DISABLED},
        {-1, ControlKind::Static, QStringLiteral("日期:"), QRect(2, 19, 22, 8)},
        {1204, ControlKind::DatePicker, QString(), QRect(34, 15, 76, 15)},
        {-1, ControlKind::Static, QStringLiteral("到:"), QRect(10, 37, 12, 8)},
        {1258, ControlKind::DatePicker, QString(), QRect(34, 33, 76, 15)},
        {-1, ControlKind::Static, QStringLiteral("条件:"), QRect(2, 53, 23, 8)},
        {1256, ControlKind::ComboDropList, QStringLiteral("标题\n明细\n附加属性"), QRect(34, 51, 76, 101)},
        {1318, ControlKind::GridList, QString(), QRect(0, 67, 110, 184)},
        {1319, ControlKind::HeaderList, QString(), QRect(112, 2, 287, 247)},
    },
};

const zq::TemplateRegistration kRegistration(&kSearchPartTemplate);

} // namespace

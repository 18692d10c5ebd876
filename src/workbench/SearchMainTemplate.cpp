// Dialog template 23001: the search window.
#include "DialogTemplate.h"
#include "PageRegistry.h"

namespace {

const DialogTemplate kSearchMainTemplate{
    23001,
    QStringLiteral("查找 : 产品数据"),
    QSize(361, 257),
    QStringLiteral("MS Sans Serif"),
    8,
    {
        {24004, ControlKind::TabCtrl, QString(), QRect(3, 5, 356, 223)},
        {24000, ControlKind::Frame, QString(), QRect(3, 5, 356, 224), CS_HIDDEN},
        {1044, ControlKind::Static, QStringLiteral("操作提示："), QRect(3, 237, 100, 11), CS_CENTERV},
        // Saved and recent searches (beyond the window's first controls: the status line gave way).
        {1402, ControlKind::Button, QStringLiteral("常用查询▾"), QRect(106, 234, 54, 14)},
        {1057, ControlKind::CheckBox, QStringLiteral("关联视图项"), QRect(163, 237, 53, 10)},
        {1137, ControlKind::Button, QStringLiteral("另存为..."), QRect(219, 234, 44, 14)},
        {1300, ControlKind::DefButton, QStringLiteral("查找"), QRect(266, 234, 45, 14)},
        {2, ControlKind::Button, QStringLiteral("退出"), QRect(315, 234, 44, 14)},
    },
};

const zq::TemplateRegistration kRegistration(&kSearchMainTemplate);

} // namespace

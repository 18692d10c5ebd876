// The dialog builder: templates in dialog units become widgets found by their control ids.
#include "DialogTemplate.h"
#include "FlatTabCtrl.h"
#include "ListCtrl.h"
#include "ScriptedDesktop.h"
#include "TempResourceOverride.h"
#include "TestApplication.h"
#include "TreeCtrlEx.h"
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

using namespace zq;

namespace {

DialogTemplate pageTemplate()
{
    DialogTemplate t{23001, "查找 : 产品数据", QSize(300, 200), "MS Sans Serif", 8, {}};
    t.controls = {
        {-1, ControlKind::Static, "零件代号:", QRect(7, 9, 40, 8)},
        {1001, ControlKind::Edit, "", QRect(50, 7, 80, 12)},
        {1002, ControlKind::Edit, "固定", QRect(50, 21, 80, 12), CS_READONLY},
        {1003, ControlKind::GroupBox, "条件", QRect(5, 40, 140, 50)},
        {1034, ControlKind::Radio, "标题栏", QRect(10, 50, 40, 10), CS_GROUP},
        {1035, ControlKind::Radio, "明细", QRect(10, 62, 40, 10)},
        {1036, ControlKind::Radio, "附加属性", QRect(10, 74, 40, 10)},
        {1040, ControlKind::CheckBox, "关联视图项", QRect(60, 50, 60, 10), CS_GROUP},
        {1041, ControlKind::Radio, "其他组", QRect(60, 62, 40, 10)},
        {1050, ControlKind::ComboDropList, "图号\n名称\n材料\n", QRect(150, 7, 60, 80)},
        {1051, ControlKind::ComboDropDown, "c\nB\na", QRect(150, 21, 60, 80), CS_SORT},
        {1204, ControlKind::DatePicker, "", QRect(150, 40, 60, 12)},
        {1258, ControlKind::DatePicker, "", QRect(150, 54, 60, 12), CS_DISABLED},
        {1319, ControlKind::SortList, "", QRect(5, 95, 290, 80)},
        {1318, ControlKind::GridList, "", QRect(5, 95, 60, 80), CS_HIDDEN},
        {1320, ControlKind::ReportList, "", QRect(5, 95, 60, 80), CS_MULTISEL},
        {1321, ControlKind::HeaderList, "", QRect(5, 95, 60, 80)},
        {1322, ControlKind::TabCtrl, "", QRect(220, 7, 70, 40)},
        {1323, ControlKind::TreeCtrl, "", QRect(220, 50, 70, 40)},
        {1324, ControlKind::Frame, "", QRect(220, 92, 70, 2)},
        {1, ControlKind::DefButton, "查找", QRect(240, 180, 50, 14)},
        {2, ControlKind::Button, "退出", QRect(185, 180, 50, 14)},
    };
    return t;
}

struct Built {
    QWidget dialog;
    ScriptedDesktop desktop;
    Built()
    {
        desktop.fixedNow = QDateTime(QDate(2024, 2, 29), QTime(10, 30));
        const ScopedDesktop scope(desktop);
        const DialogTemplate t = pageTemplate();
        EXPECT_TRUE(BuildDialog(dialog, &t));
    }
};

} // namespace

TEST(DialogBuilder, EveryControlIsFoundByIdWithItsKind)
{
    Built built;
    const QWidget& d = built.dialog;
    struct Case { int id; const char* className; };
    const Case cases[] = {
        {-1, "QLabel"}, {1001, "QLineEdit"}, {1003, "QGroupBox"}, {1034, "QRadioButton"}, {1040, "QCheckBox"},
        {1050, "QComboBox"}, {1051, "QComboBox"}, {1204, "QDateEdit"}, {1319, "CSortListCtrl"},
        {1318, "CGridListCtrl"}, {1320, "CReportListCtrl"}, {1321, "CHeaderListCtrl"}, {1322, "CFlatTabCtrl"},
        {1323, "CTreeCtrlEx"}, {1324, "QFrame"}, {1, "QPushButton"}, {2, "QPushButton"},
    };
    for (const Case& c : cases) {
        QWidget* w = Control(d, c.id);
        ASSERT_NE(w, nullptr) << c.id;
        EXPECT_STREQ(w->metaObject()->className(), c.className) << c.id;
        EXPECT_EQ(w->objectName(), QString::number(c.id));
        EXPECT_EQ(w->parentWidget(), &d);
    }
    EXPECT_EQ(Control(d, 4242), nullptr);
    EXPECT_EQ(ControlAs<QLineEdit>(d, 1050), nullptr);
    EXPECT_EQ(d.windowTitle(), "查找 : 产品数据");
}

TEST(DialogBuilder, GeometryComesFromDialogUnits)
{
    Built built;
    const QFont font = built.dialog.font();
    const QSize base = DialogBaseUnits(font);
    ASSERT_GT(base.width(), 0);
    auto px = [&](int x, int c, int d) { return int(std::lround(double(x) * c / d)); };
    for (const ControlSpec& control : pageTemplate().controls) {
        const QRect expected(px(control.rect.x(), base.width(), 4), px(control.rect.y(), base.height(), 8),
                             px(control.rect.right() + 1, base.width(), 4) - px(control.rect.x(), base.width(), 4),
                             px(control.rect.bottom() + 1, base.height(), 8) - px(control.rect.y(), base.height(), 8));
        QWidget* widget = Control(built.dialog, control.id);
        const bool combo = control.kind == ControlKind::ComboDropList || control.kind == ControlKind::ComboDropDown;
        if (combo) {
            // The template height of a combo box is its open list; the box is one line high.
            EXPECT_EQ(widget->geometry().topLeft(), expected.topLeft()) << control.id;
            EXPECT_EQ(widget->width(), expected.width()) << control.id;
            EXPECT_EQ(widget->height(), std::min(expected.height(), widget->sizeHint().height())) << control.id;
            EXPECT_LT(widget->height(), expected.height()) << control.id;
        } else {
            EXPECT_EQ(widget->geometry(), expected) << control.id;
        }
    }
    EXPECT_EQ(built.dialog.size(), QSize(px(300, base.width(), 4), px(200, base.height(), 8)));
}

TEST(DialogBuilder, FontStandsInForMsSansSerif)
{
    const QFont font = DialogFont("MS Sans Serif", 8);
    EXPECT_EQ(font.pointSize(), 8);
    EXPECT_EQ(QFontInfo(font).family(), font.family()) << "the font chosen exists here";
    if (font.family() == "WenQuanYi Micro Hei") {
        // The same base units as the original dialog font on Windows.
        EXPECT_EQ(DialogBaseUnits(font), QSize(6, 13));
        EXPECT_EQ(DialogUnitsToPixels(QRect(10, 20, 40, 14), font), QRect(15, 33, 60, 22));
    }
    EXPECT_EQ(DialogFont("MS Sans Serif", 0).pointSize(), 8);
}

TEST(DialogBuilder, StylesAndControlSettings)
{
    Built built;
    const QWidget& d = built.dialog;
    EXPECT_TRUE(ControlAs<QLineEdit>(d, 1002)->isReadOnly());
    EXPECT_FALSE(ControlAs<QLineEdit>(d, 1001)->isReadOnly());
    EXPECT_TRUE(Control(d, 1318)->isHidden());
    EXPECT_FALSE(Control(d, 1319)->isHidden());
    EXPECT_FALSE(Control(d, 1258)->isEnabled());
    EXPECT_TRUE(Control(d, 1204)->isEnabled());
    EXPECT_TRUE(ControlAs<QPushButton>(d, 1)->isDefault());
    EXPECT_FALSE(ControlAs<QPushButton>(d, 2)->isDefault());
    EXPECT_FALSE(ControlAs<QPushButton>(d, 2)->autoDefault());
    EXPECT_EQ(ControlAs<QAbstractItemView>(d, 1320)->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_EQ(ControlAs<QAbstractItemView>(d, 1319)->selectionMode(), QAbstractItemView::SingleSelection);

    auto* date = ControlAs<QDateEdit>(d, 1204);
    EXPECT_EQ(date->displayFormat(), "yyyy-MM-dd");
    EXPECT_TRUE(date->calendarPopup());
    EXPECT_EQ(date->date(), QDate(2024, 2, 29));
    EXPECT_EQ(ControlText(d, 1204), "2024-02-29");
    EXPECT_LE(date->minimumDate(), QDate(1601, 1, 1));
}

TEST(DialogBuilder, CombosHoldTheirItemsAndStartUnselected)
{
    Built built;
    QWidget& d = built.dialog;
    auto* list = ControlAs<QComboBox>(d, 1050);
    EXPECT_FALSE(list->isEditable());
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->itemText(2), "材料");
    EXPECT_EQ(ComboIndex(d, 1050), -1);
    EXPECT_EQ(ControlText(d, 1050), "");

    auto* sorted = ControlAs<QComboBox>(d, 1051);
    EXPECT_TRUE(sorted->isEditable());
    EXPECT_EQ(sorted->itemText(0), "a");
    EXPECT_EQ(sorted->itemText(1), "B");
    EXPECT_EQ(sorted->itemText(2), "c");
    EXPECT_EQ(AddComboString(d, 1051, "b2"), 2);
    EXPECT_EQ(AddComboString(d, 1050, "重量"), 3);
    EXPECT_EQ(ComboIndex(d, 1050), -1) << "adding does not select";
    EXPECT_EQ(AddComboString(d, 1001, "x"), -1);

    SetComboIndex(d, 1050, 1);
    EXPECT_EQ(ControlText(d, 1050), "名称");
    SetComboIndex(d, 1050, 99);
    EXPECT_EQ(ComboIndex(d, 1050), -1);
    SetControlText(d, 1050, "材料");
    EXPECT_EQ(ComboIndex(d, 1050), 2);
    SetControlText(d, 1051, "typed");
    EXPECT_EQ(ControlText(d, 1051), "typed");
}

TEST(DialogBuilder, RadioGroupsStartAtGroupStyle)
{
    Built built;
    QWidget& d = built.dialog;
    EXPECT_EQ(RadioIndex(d, 1034), -1);
    SetRadioIndex(d, 1034, 2);
    EXPECT_EQ(RadioIndex(d, 1034), 2);
    EXPECT_TRUE(IsChecked(d, 1036));
    // The radio after the check box with CS_GROUP is in a group of its own.
    SetChecked(d, 1041, true);
    EXPECT_TRUE(IsChecked(d, 1036));
    EXPECT_EQ(RadioIndex(d, 1041), 0);
    SetChecked(d, 1035, true);
    EXPECT_FALSE(IsChecked(d, 1036));
    EXPECT_EQ(RadioIndex(d, 1034), 1);
    SetRadioIndex(d, 1034, -1);
    EXPECT_EQ(RadioIndex(d, 1034), -1);
    EXPECT_EQ(ControlAs<QRadioButton>(d, 1034)->group(), ControlAs<QRadioButton>(d, 1036)->group());
}

TEST(DialogBuilder, DataExchangeHelpers)
{
    Built built;
    QWidget& d = built.dialog;
    struct Case { int id; QString text; QString read; };
    const Case cases[] = {
        {1001, "GB-1'", "GB-1'"},
        {-1, "名称:", "名称:"},
        {1003, "范围", "范围"},
        {2, "关闭", "关闭"},
        {1204, "2023-01-31", "2023-01-31"},
        {1204, "not a date", "2023-01-31"},
        {4242, "nothing", ""},
    };
    for (const Case& c : cases) {
        SetControlText(d, c.id, c.text);
        EXPECT_EQ(ControlText(d, c.id), c.read) << c.id;
    }
    EXPECT_FALSE(IsChecked(d, 1001));
    EXPECT_EQ(ComboIndex(d, 1001), -1);
}

TEST(DialogBuilder, NullTemplateAndLabelMnemonics)
{
    QWidget dialog;
    EXPECT_FALSE(BuildDialog(dialog, nullptr));
    DialogTemplate t{1, "", QSize(), "MS Sans Serif", 8,
                     {{7, ControlKind::Static, "&Name && Co", QRect(0, 0, 20, 8)}, {8, ControlKind::Edit, "", QRect(10, 10, 30, 12)}}};
    ASSERT_TRUE(BuildDialog(dialog, &t));
    EXPECT_EQ(ControlText(dialog, 7), "Name & Co");
    // Without a size the dialog fits its controls with a margin.
    EXPECT_EQ(dialog.size(), DialogUnitsToPixels(QSize(47, 29), dialog.font()));
}

// A control without a caption of its own is labelled by the static right before it; group boxes
// are lowered below their controls, yet the controls are listed in the template's order.
TEST(DialogBuilder, LabelsAndTemplateOrderOfTheControls)
{
    Built built;
    const QWidget& d = built.dialog;
    EXPECT_EQ(ControlLabel(*Control(d, 1001)), "零件代号:");
    EXPECT_EQ(Control(d, 1001)->accessibleName(), "零件代号:");
    for (int unlabelled : {1002, 1003, 1034, 1050, 1})
        EXPECT_EQ(ControlLabel(*Control(d, unlabelled)), "") << unlabelled;

    QWidget dialog;
    const DialogTemplate t{2, "", QSize(), "MS Sans Serif", 8,
                           {{-1, ControlKind::Static, "&Kind:", QRect(0, 0, 20, 8)},
                            {10, ControlKind::ComboDropList, "a\nb", QRect(20, 0, 30, 40)},
                            {11, ControlKind::GroupBox, "", QRect(0, 10, 50, 30)},
                            {12, ControlKind::Static, "到:", QRect(0, 20, 20, 8)},
                            {13, ControlKind::CheckBox, "从", QRect(20, 20, 20, 8)},
                            {14, ControlKind::Static, "条件:", QRect(0, 30, 20, 8)},
                            {15, ControlKind::GridList, "", QRect(20, 30, 20, 8)}}};
    ASSERT_TRUE(BuildDialog(dialog, &t));
    auto* added = new QLineEdit(&dialog);
    added->setObjectName("20");
    new QLineEdit(&dialog);   // no id: not a control of the dialog
    QStringList ids;
    for (const QWidget* control : DialogControls(dialog))
        ids.append(control->objectName());
    EXPECT_EQ(ids, QStringList({"10", "11", "12", "13", "14", "15", "20"}));
    EXPECT_EQ(ControlLabel(*Control(dialog, 10)), "Kind:");
    EXPECT_EQ(ControlLabel(*Control(dialog, 13)), "") << "a check box has its own caption";
    EXPECT_EQ(ControlLabel(*Control(dialog, 15)), "条件:");
}

TEST(DialogBuilder, TemplatesComeFromTheResourceRegistry)
{
    static const DialogTemplate page = pageTemplate();
    RegisterModuleResources({"ZQPDMSearch", [](int id) { return id == 23001 ? &page : nullptr; }, {}, {}});
    QWidget dialog;
    EXPECT_TRUE(BuildDialog(dialog, FindDialogTemplate(23001)));
    EXPECT_NE(Control(dialog, 1319), nullptr);
    EXPECT_FALSE(BuildDialog(dialog, FindDialogTemplate(99)));
    UnregisterModuleResources("ZQPDMSearch");
}

TEST(DialogBuilder, AnchoredControlsKeepTheirDistanceToTheRightAndBottom)
{
    QWidget dialog;
    const DialogTemplate t{1, "", QSize(200, 100), "MS Sans Serif", 8,
                           {{10, ControlKind::Edit, "", QRect(5, 5, 60, 12)},
                            {11, ControlKind::GridList, "", QRect(5, 20, 60, 55), CS_STRETCH_DOWN},
                            {12, ControlKind::Button, "增加", QRect(5, 80, 30, 14), CS_MOVE_DOWN},
                            {13, ControlKind::Button, "退出", QRect(160, 80, 30, 14), CS_MOVE_DOWN | CS_MOVE_RIGHT},
                            {14, ControlKind::ReportList, "", QRect(70, 5, 120, 70), CS_STRETCH_RIGHT | CS_STRETCH_DOWN}}};
    ASSERT_TRUE(BuildDialog(dialog, &t));
    const QSize built = dialog.size();
    QMap<int, QRect> before;
    for (int id : {10, 11, 12, 13, 14})
        before[id] = Control(dialog, id)->geometry();
    const struct { int dx, dy; } cases[] = {{50, 30}, {-20, -10}, {0, 0}, {-1000, -1000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.dx << "," << c.dy);
        const int dx = c.dx, dy = c.dy;
        ApplyAnchors(dialog, built + QSize(dx, dy));
        const auto grown = [](const QRect& r, int w, int h) {
            return QRect(r.topLeft(), QSize(std::max(0, r.width() + w), std::max(0, r.height() + h)));
        };
        EXPECT_EQ(Control(dialog, 10)->geometry(), before[10]);
        EXPECT_EQ(Control(dialog, 11)->geometry(), grown(before[11], 0, dy));
        EXPECT_EQ(Control(dialog, 12)->geometry(), before[12].translated(0, dy));
        EXPECT_EQ(Control(dialog, 13)->geometry(), before[13].translated(dx, dy));
        EXPECT_EQ(Control(dialog, 14)->geometry(), grown(before[14], dx, dy));
    }
    // A dialog not built from a template has nothing to anchor.
    QWidget plain;
    ApplyAnchors(plain, QSize(10, 10));
}

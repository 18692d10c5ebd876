// A value given to a combo box as a script gives it: a number picks that item, unless the text
// is to be typed as it is (an editable combo box then gets "2" as its text).
#include "ControlDriver.h"
#include "TestApplication.h"

#include <QComboBox>
#include <gtest/gtest.h>

namespace {

using zq::ControlDriver;

TEST(ControlDriver, AComboBoxTakesANumberAsAnIndexUnlessTheTextIsTyped)
{
    zq::test::EnsureApp();
    const struct {
        bool editable;
        const char* value;
        ControlDriver::ValueForm form;
        int index;            // the current item afterwards
        const char* text;     // the combo box's text afterwards
        bool refused;
    } cases[] = {
        {true, "2", ControlDriver::IndexOrText, 2, "*轴*", false},
        {true, "2", ControlDriver::Typed, 0, "2", false},
        {true, "*盖*", ControlDriver::Typed, 1, "*盖*", false},
        {true, "9", ControlDriver::IndexOrText, 0, "9", false},   // no item 9: typed
        {false, "2", ControlDriver::IndexOrText, 2, "*轴*", false},
        {false, "2", ControlDriver::Typed, 0, "*箱*", true},      // no item "2" to pick
    };
    for (const auto& c : cases) {
        QComboBox combo;
        combo.setEditable(c.editable);
        combo.addItems({QStringLiteral("*箱*"), QStringLiteral("*盖*"), QStringLiteral("*轴*")});
        combo.setCurrentIndex(0);
        const QString error = ControlDriver::setValue(&combo, QString::fromUtf8(c.value), c.form);
        const std::string what = std::string(c.value) + (c.form == ControlDriver::Typed ? " typed" : " as index") +
                                 (c.editable ? " editable" : "");
        EXPECT_EQ(!error.isEmpty(), c.refused) << what << ": " << error.toStdString();
        EXPECT_EQ(combo.currentText(), QString::fromUtf8(c.text)) << what;
        if (!c.editable || c.form == ControlDriver::IndexOrText || c.index != 0) {
            EXPECT_EQ(combo.currentIndex(), c.index) << what;
        }
    }
}

} // namespace

#include "ControlKinds.h"

#include "DialogTemplate.h"
#include "FlatTabCtrl.h"
#include "ListCtrl.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTabBar>
#include <QTextEdit>
#include <QTreeView>

namespace zq {

namespace {

// "&Save && Close" reads "Save & Close".
QString withoutMnemonics(const QString& caption)
{
    QString text;
    text.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && i + 1 < caption.size())
            ++i;
        text += caption[i];
    }
    return text;
}

} // namespace

QString ControlKindName(const QWidget& control)
{
    // Most derived classes first: a grid is a list, a check box a button, a label a frame.
    if (qobject_cast<const CGridListCtrl*>(&control))
        return QStringLiteral("grid");
    if (qobject_cast<const CReportListCtrl*>(&control))
        return QStringLiteral("list");
    if (qobject_cast<const QComboBox*>(&control))
        return QStringLiteral("combo");
    if (qobject_cast<const QDateTimeEdit*>(&control))
        return QStringLiteral("date");
    if (qobject_cast<const QLineEdit*>(&control) || qobject_cast<const QAbstractSpinBox*>(&control)
        || qobject_cast<const QPlainTextEdit*>(&control) || qobject_cast<const QTextEdit*>(&control))
        return QStringLiteral("edit");
    if (qobject_cast<const QCheckBox*>(&control))
        return QStringLiteral("check");
    if (qobject_cast<const QRadioButton*>(&control))
        return QStringLiteral("radio");
    if (qobject_cast<const QAbstractButton*>(&control))
        return QStringLiteral("button");
    if (qobject_cast<const QLabel*>(&control))
        return QStringLiteral("text");
    if (qobject_cast<const QGroupBox*>(&control))
        return QStringLiteral("group");
    if (qobject_cast<const CFlatTabCtrl*>(&control) || qobject_cast<const QTabBar*>(&control))
        return QStringLiteral("tabs");
    if (qobject_cast<const QTreeView*>(&control))
        return QStringLiteral("tree");
    if (qobject_cast<const QFrame*>(&control))
        return QStringLiteral("frame");
    return QStringLiteral("other");
}

QString ControlCaption(const QWidget& control)
{
    if (const auto* button = qobject_cast<const QAbstractButton*>(&control))
        return withoutMnemonics(button->text());
    if (const auto* group = qobject_cast<const QGroupBox*>(&control))
        return withoutMnemonics(group->title());
    return ControlLabel(control);
}

QString DescribeControl(const QWidget& control)
{
    const QString caption = ControlCaption(control);
    return caption.isEmpty() ? QStringLiteral("%1 %2").arg(ControlKindName(control), control.objectName())
                             : QStringLiteral("%1 %2 \"%3\"").arg(ControlKindName(control), control.objectName(), caption);
}

} // namespace zq

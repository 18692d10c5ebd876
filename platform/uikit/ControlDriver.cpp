#include "ControlDriver.h"
#include "ControlKinds.h"

#include "ListCtrl.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTextEdit>

namespace zq {

namespace {

QString describe(const QWidget* control)
{
    return DescribeControl(*control);
}

// "0 标题, 1 明细, 2 附加": the items as --set takes them, by number or by text.
QString comboItems(const QComboBox* combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << QStringLiteral("%1 %2").arg(i).arg(combo->itemText(i));
    return items.isEmpty() ? QStringLiteral("(none)") : items.join(QStringLiteral(", "));
}

QString notUsable(const QWidget* control)
{
    if (!control)
        return QStringLiteral("no such control");
    if (!control->isEnabled())
        return describe(control) + QStringLiteral(" is disabled");
    return QString();
}

QString setDate(QDateTimeEdit* edit, const QString& value)
{
    const QDate date = QDate::fromString(value, QStringLiteral("yyyy-MM-dd"));
    if (!date.isValid())
        return QStringLiteral("\"%1\" is not a date of the form yyyy-MM-dd").arg(value);
    edit->setDate(date);
    emit edit->editingFinished();
    return QString();
}

QString chooseComboItem(QComboBox* combo, const QString& value, ControlDriver::ValueForm form)
{
    bool isNumber = false;
    const int number = form == ControlDriver::Typed ? -1 : value.toInt(&isNumber);
    int index = isNumber && number >= 0 && number < combo->count() ? number : -1;
    if (index < 0)
        index = combo->findText(value, Qt::MatchExactly);
    if (index < 0) {
        if (!combo->isEditable())
            return QStringLiteral("%1 has no item \"%2\"; its items are %3").arg(describe(combo), value, comboItems(combo));
        combo->setEditText(value);
        if (QLineEdit* edit = combo->lineEdit())
            emit edit->textEdited(value);
        return QString();
    }
    combo->setCurrentIndex(index);
    emit combo->activated(index);
    emit combo->textActivated(combo->itemText(index));
    return QString();
}

QString setLineText(QLineEdit* edit, const QString& value)
{
    if (edit->isReadOnly())
        return describe(edit) + QStringLiteral(" is read-only");
    edit->setText(value);
    emit edit->textEdited(value);
    emit edit->editingFinished();
    return QString();
}

} // namespace

QString ControlDriver::setChecked(QWidget* control, bool checked)
{
    if (QString error = notUsable(control); !error.isEmpty())
        return error;
    auto* button = qobject_cast<QAbstractButton*>(control);
    if (!button || !button->isCheckable())
        return describe(control) + QStringLiteral(" is not a check box or radio button");
    if (button->isChecked() == checked)
        return QString();
    if (checked || !qobject_cast<QRadioButton*>(button)) {
        button->click();
        return QString();
    }
    // A radio button is unticked by ticking another one; set it directly.
    const bool exclusive = button->autoExclusive();
    button->setAutoExclusive(false);
    button->setChecked(false);
    button->setAutoExclusive(exclusive);
    return QString();
}

QString ControlDriver::setValue(QWidget* control, const QString& value, ValueForm form)
{
    if (QString error = notUsable(control); !error.isEmpty())
        return error;
    if (auto* dateEdit = qobject_cast<QDateTimeEdit*>(control))
        return setDate(dateEdit, value);
    if (auto* combo = qobject_cast<QComboBox*>(control))
        return chooseComboItem(combo, value, form);
    if (auto* button = qobject_cast<QAbstractButton*>(control); button && button->isCheckable()) {
        if (value != u"0" && value != u"1")
            return QStringLiteral("%1 takes 0 or 1, not \"%2\"").arg(describe(control), value);
        return setChecked(control, value == u"1");
    }
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        return setLineText(edit, value);
    if (auto* spin = qobject_cast<QSpinBox*>(control)) {
        bool ok = false;
        const int number = value.toInt(&ok);
        if (!ok)
            return QStringLiteral("%1 takes a number, not \"%2\"").arg(describe(control), value);
        spin->setValue(number);
        return QString();
    }
    if (auto* text = qobject_cast<QPlainTextEdit*>(control)) {
        text->setPlainText(value);
        return QString();
    }
    if (auto* text = qobject_cast<QTextEdit*>(control)) {
        text->setPlainText(value);
        return QString();
    }
    return describe(control) + QStringLiteral(" cannot be given a value");
}

QString ControlDriver::click(QWidget* control)
{
    if (QString error = notUsable(control); !error.isEmpty())
        return error;
    auto* button = qobject_cast<QAbstractButton*>(control);
    if (!button)
        return describe(control) + QStringLiteral(" is not a button");
    button->click();
    return QString();
}

QString ControlDriver::typeIntoCell(QWidget* control, int row, int column, const QString& text)
{
    if (QString error = notUsable(control); !error.isEmpty())
        return error;
    auto* list = qobject_cast<CReportListCtrl*>(control);
    if (!list)
        return describe(control) + QStringLiteral(" is not a list control");
    if (row >= list->GetItemCount())
        return QStringLiteral("%1 has %2 rows, no row %3")
            .arg(describe(control), QString::number(list->GetItemCount()), QString::number(row));
    auto* grid = qobject_cast<CGridListCtrl*>(list);
    if (!grid || !grid->EditCell(row, column))
        return QStringLiteral("column %1 of %2 cannot be edited").arg(column).arg(describe(control));
    if (auto* editor = qobject_cast<QLineEdit*>(grid->CurrentEditor())) {
        editor->setText(text);
        emit editor->textEdited(text);
        grid->CommitEdit();
    } else {
        grid->CommitEdit();
        list->SetItemText(row, column, text);
    }
    return QString();
}

} // namespace zq

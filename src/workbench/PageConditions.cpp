#include "PageConditions.h"

#include "ControlDriver.h"
#include "ControlKinds.h"
#include "DialogTemplate.h"
#include "ListCtrl.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QHash>
#include <QJsonArray>
#include <QLineEdit>

namespace zq {

namespace {

constexpr int kValueColumn = 1;

// Applied in this order: what decides which rows and controls are in force comes first (a kind
// chosen in a combo box enables a check box, shows a grid's rows).
constexpr int kApplyStages = 4;
int ApplyStage(const QString& kind)
{
    if (kind == u"combo")
        return 0;
    if (kind == u"check" || kind == u"radio")
        return 1;
    if (kind == u"edit" || kind == u"date")
        return 2;
    return 3;
}

QString LabelOf(const QWidget& control)
{
    QString label = ControlCaption(control).trimmed();
    while (label.endsWith(u':') || label.endsWith(u'：'))
        label.chop(1);
    return label;
}

QJsonArray RowsOf(const CReportListCtrl& list, bool allColumns)
{
    QJsonArray rows;
    const int columns = allColumns ? list.GetColumnCount() : kValueColumn + 1;
    for (int row = 0; row < list.GetItemCount(); ++row) {
        QJsonArray cells;
        for (int column = 0; column < columns; ++column)
            cells.append(list.GetItemText(row, column));
        rows.append(cells);
    }
    return rows;
}

std::optional<QJsonObject> ReadControl(QWidget& control, const QString& kind, const ConditionReading& reading)
{
    QJsonObject value;
    if (kind == u"edit") {
        auto* edit = qobject_cast<QLineEdit*>(&control);
        if (!edit || edit->isReadOnly())
            return std::nullopt;
        value[QStringLiteral("text")] = edit->text();
    } else if (kind == u"combo") {
        auto* combo = qobject_cast<QComboBox*>(&control);
        value[QStringLiteral("text")] = combo->currentText();
        value[QStringLiteral("index")] = combo->currentIndex();
    } else if (kind == u"check" || kind == u"radio") {
        value[QStringLiteral("checked")] = qobject_cast<QAbstractButton*>(&control)->isChecked();
    } else if (kind == u"date") {
        const QDate date = qobject_cast<QDateTimeEdit*>(&control)->date();
        if (reading.fixedDates || !reading.today.isValid())
            value[QStringLiteral("date")] = date.toString(Qt::ISODate);
        else
            value[QStringLiteral("daysFromToday")] = reading.today.daysTo(date);
    } else if (kind == u"grid" || kind == u"list") {
        auto* list = qobject_cast<CReportListCtrl*>(&control);
        const bool rowList = reading.rowLists.contains(control.objectName().toInt());
        if (!list || (kind == u"list" && !rowList))
            return std::nullopt;
        value[QStringLiteral("rows")] = RowsOf(*list, rowList);
    } else {
        return std::nullopt;
    }
    return value;
}

// Chooses the item of that text as a user would; false when the box has none and takes no text.
bool ChooseComboText(QComboBox& combo, const QString& text)
{
    const int index = combo.findText(text, Qt::MatchExactly);
    if (index < 0) {
        if (!combo.isEditable())
            return false;
        combo.setEditText(text);
        if (QLineEdit* edit = combo.lineEdit())
            emit edit->textEdited(text);
        return true;
    }
    combo.setCurrentIndex(index);
    emit combo.activated(index);
    emit combo.textActivated(combo.itemText(index));
    return true;
}

// The rows of a grid whose rows the page makes: each saved value goes to the row of its name.
void ApplyGridValues(CReportListCtrl& grid, const QJsonArray& rows, const QString& name, QStringList& skipped)
{
    QList<bool> used(grid.GetItemCount(), false);
    for (const QJsonValue& saved : rows) {
        const QJsonArray cells = saved.toArray();
        const QString rowName = cells.at(0).toString();
        const QString text = cells.at(kValueColumn).toString();
        int row = -1;
        for (int r = 0; r < grid.GetItemCount() && row < 0; ++r)
            if (!used[r] && grid.GetItemText(r, 0) == rowName)
                row = r;
        if (row < 0) {
            if (!text.isEmpty())
                skipped << QStringLiteral("%1: 行 %2").arg(name, rowName);
            continue;
        }
        used[row] = true;
        if (grid.GetItemText(row, kValueColumn) != text
            && !ControlDriver::typeIntoCell(&grid, row, kValueColumn, text).isEmpty())
            grid.SetItemText(row, kValueColumn, text);
    }
}

// The rows of a list the user fills: replaced whole.
void ApplyRowList(CReportListCtrl& list, const QJsonArray& rows)
{
    list.DeleteAllItems();
    for (const QJsonValue& saved : rows) {
        const QJsonArray cells = saved.toArray();
        const int row = list.InsertItem(list.GetItemCount(), cells.at(0).toString());
        for (int column = 1; column < cells.size(); ++column)
            list.SetItemText(row, column, cells.at(column).toString());
    }
}

QDate DateOf(const QJsonObject& value, const QDate& today)
{
    if (value.contains(QStringLiteral("daysFromToday")))
        return today.addDays(value.value(QStringLiteral("daysFromToday")).toInteger());
    return QDate::fromString(value.value(QStringLiteral("date")).toString(), Qt::ISODate);
}

// Whether a control shows the saved value already (a disabled one needs no setting then).
bool HoldsValue(QWidget& control, const QString& kind, const QJsonObject& value, const QDate& today)
{
    if (kind == u"edit")
        return qobject_cast<QLineEdit*>(&control)->text() == value.value(QStringLiteral("text")).toString();
    if (kind == u"combo")
        return qobject_cast<QComboBox*>(&control)->currentText() == value.value(QStringLiteral("text")).toString();
    if (kind == u"check" || kind == u"radio")
        return qobject_cast<QAbstractButton*>(&control)->isChecked() == value.value(QStringLiteral("checked")).toBool();
    if (kind == u"date")
        return qobject_cast<QDateTimeEdit*>(&control)->date() == DateOf(value, today);
    return false;
}

void ApplyControl(QWidget& control, const QJsonObject& value, const ConditionReading& reading, QStringList& skipped)
{
    const QString kind = value.value(QStringLiteral("kind")).toString();
    const QString name = LabelOf(control).isEmpty() ? control.objectName() : LabelOf(control);
    if (ControlKindName(control) != kind) {
        skipped << QStringLiteral("%1: 控件类型已改变").arg(name);
        return;
    }
    if (!control.isEnabled()) {
        if (!HoldsValue(control, kind, value, reading.today))
            skipped << QStringLiteral("%1: 现在不能设置").arg(name);
        return;
    }
    QString error;
    if (kind == u"edit") {
        error = ControlDriver::setValue(&control, value.value(QStringLiteral("text")).toString());
    } else if (kind == u"combo") {
        const QString text = value.value(QStringLiteral("text")).toString();
        if (!ChooseComboText(*qobject_cast<QComboBox*>(&control), text))
            error = QStringLiteral("没有选项 %1").arg(text);
    } else if (kind == u"check" || kind == u"radio") {
        const bool checked = value.value(QStringLiteral("checked")).toBool();
        if (kind == u"check" || checked)
            error = ControlDriver::setChecked(&control, checked);
    } else if (kind == u"date") {
        const QDate date = DateOf(value, reading.today);
        error = date.isValid() ? ControlDriver::setValue(&control, date.toString(Qt::ISODate))
                               : QStringLiteral("日期无效");
    } else if (auto* list = qobject_cast<CReportListCtrl*>(&control)) {
        const QJsonArray rows = value.value(QStringLiteral("rows")).toArray();
        if (reading.rowLists.contains(control.objectName().toInt()))
            ApplyRowList(*list, rows);
        else
            ApplyGridValues(*list, rows, name, skipped);
    }
    if (!error.isEmpty())
        skipped << QStringLiteral("%1: %2").arg(name, error);
}

} // namespace

QJsonObject ReadPageConditions(QWidget& page, const ConditionReading& reading)
{
    QJsonArray controls;
    for (QWidget* control : DialogControls(page)) {
        if (control == reading.resultList || !control->isEnabled())
            continue;
        const QString kind = ControlKindName(*control);
        const std::optional<QJsonObject> read = ReadControl(*control, kind, reading);
        if (!read)
            continue;
        QJsonObject value = *read;
        value[QStringLiteral("id")] = control->objectName().toInt();
        value[QStringLiteral("kind")] = kind;
        value[QStringLiteral("label")] = LabelOf(*control);
        controls.append(value);
    }
    return QJsonObject{{QStringLiteral("controls"), controls}};
}

QStringList ApplyPageConditions(QWidget& page, const QJsonObject& conditions, const ConditionReading& reading)
{
    QStringList skipped;
    const QJsonArray controls = conditions.value(QStringLiteral("controls")).toArray();
    for (int stage = 0; stage < kApplyStages; ++stage) {
        for (const QJsonValue& entry : controls) {
            const QJsonObject value = entry.toObject();
            if (ApplyStage(value.value(QStringLiteral("kind")).toString()) != stage)
                continue;
            const int id = value.value(QStringLiteral("id")).toInt();
            QWidget* control = Control(page, id);
            if (!control) {
                const QString label = value.value(QStringLiteral("label")).toString();
                skipped << QStringLiteral("%1: 页面上已没有这个控件").arg(label.isEmpty() ? QString::number(id) : label);
                continue;
            }
            ApplyControl(*control, value, reading, skipped);
        }
    }
    return skipped;
}

QString SummarizeConditions(const QJsonObject& conditions, const QDate& today, const QJsonObject& initial)
{
    QHash<int, QJsonObject> initialById;
    for (const QJsonValue& entry : initial.value(QStringLiteral("controls")).toArray())
        initialById.insert(entry.toObject().value(QStringLiteral("id")).toInt(), entry.toObject());
    QStringList parts;
    for (const QJsonValue& entry : conditions.value(QStringLiteral("controls")).toArray()) {
        const QJsonObject value = entry.toObject();
        if (initialById.value(value.value(QStringLiteral("id")).toInt()) == value)
            continue;
        const QString kind = value.value(QStringLiteral("kind")).toString();
        const QString label = value.value(QStringLiteral("label")).toString();
        if (kind == u"edit" || (kind == u"combo" && value.value(QStringLiteral("index")).toInt() > 0)) {
            const QString text = value.value(QStringLiteral("text")).toString();
            if (!text.isEmpty())
                parts << QStringLiteral("%1=%2").arg(label, text);
        } else if (kind == u"check" && value.value(QStringLiteral("checked")).toBool()) {
            parts << label;
        } else if (kind == u"date") {
            parts << QStringLiteral("%1=%2").arg(label, DateOf(value, today).toString(Qt::ISODate));
        } else if (kind == u"grid" || kind == u"list") {
            const QJsonArray before = initialById.value(value.value(QStringLiteral("id")).toInt()).value(QStringLiteral("rows")).toArray();
            for (const QJsonValue& row : value.value(QStringLiteral("rows")).toArray()) {
                if (before.contains(row))
                    continue;
                const QJsonArray cells = row.toArray();
                const QString text = cells.at(cells.size() > kValueColumn ? kValueColumn : 0).toString();
                if (!text.isEmpty())
                    parts << (cells.size() > kValueColumn ? QStringLiteral("%1=%2").arg(cells.at(0).toString(), text) : text);
            }
        }
    }
    return parts.join(QStringLiteral(", "));
}

} // namespace zq

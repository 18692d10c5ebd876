#include "PageDescription.h"

#include "FlatTabCtrl.h"
#include "JsonText.h"
#include "ListCtrl.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTextEdit>
#include <QTreeWidget>

namespace zq::tool {

namespace {

// A control's choices: their texts in index order, and for a grid the text in each row's cell.
struct Choices {
    QString key;          // the json member: "items", "rows", "columns", "tabs"
    QStringList texts;
    QStringList values;   // grids only
};

constexpr int kGridValueColumn = 1;

Choices choicesOf(QWidget& control)
{
    Choices choices;
    if (const auto* grid = qobject_cast<const CGridListCtrl*>(&control)) {
        choices.key = QStringLiteral("rows");
        for (int row = 0; row < grid->GetItemCount(); ++row) {
            choices.texts.append(grid->GetItemText(row, 0));
            choices.values.append(grid->GetItemText(row, kGridValueColumn));
        }
    } else if (auto* list = qobject_cast<CReportListCtrl*>(&control)) {
        choices.key = QStringLiteral("columns");
        for (int column = 0; column < list->GetColumnCount(); ++column)
            choices.texts.append(list->GetHeaderCtrl()->GetItemText(column));
    } else if (const auto* combo = qobject_cast<const QComboBox*>(&control)) {
        choices.key = QStringLiteral("items");
        for (int item = 0; item < combo->count(); ++item)
            choices.texts.append(combo->itemText(item));
    } else if (const auto* tabs = qobject_cast<const CFlatTabCtrl*>(&control)) {
        choices.key = QStringLiteral("tabs");
        for (int tab = 0; tab < tabs->GetItemCount(); ++tab)
            choices.texts.append(tabs->GetItemText(tab));
    }
    return choices;
}

// "0 标题 | 1 明细"; a grid row with text in its cell reads "0 图号=ZQ8600", as --cell writes it.
QString choicesLine(const Choices& choices)
{
    QStringList items;
    for (qsizetype i = 0; i < choices.texts.size(); ++i) {
        QString item = QStringLiteral("%1 %2").arg(i).arg(choices.texts[i]);
        if (!choices.values.value(i).isEmpty())
            item += u'=' + choices.values[i];
        items.append(item);
    }
    return items.join(QStringLiteral(" | "));
}

} // namespace

QString PageDescription::valueOf(const QWidget& control)
{
    if (const auto* edit = qobject_cast<const QLineEdit*>(&control))
        return edit->echoMode() == QLineEdit::Normal ? edit->text() : QStringLiteral("***");
    if (const auto* combo = qobject_cast<const QComboBox*>(&control))
        return combo->currentText();
    if (const auto* date = qobject_cast<const QDateTimeEdit*>(&control))
        return date->date().toString(QStringLiteral("yyyy-MM-dd"));
    if (const auto* button = qobject_cast<const QAbstractButton*>(&control))
        return button->isCheckable() ? QString::number(button->isChecked() ? 1 : 0) : QString();
    if (qobject_cast<const CGridListCtrl*>(&control))
        return QString();
    if (const auto* list = qobject_cast<const CReportListCtrl*>(&control))
        return QStringLiteral("%1 rows").arg(list->GetItemCount());
    if (const auto* label = qobject_cast<const QLabel*>(&control))
        return label->text();
    if (const auto* spin = qobject_cast<const QSpinBox*>(&control))
        return QString::number(spin->value());
    if (const auto* text = qobject_cast<const QPlainTextEdit*>(&control))
        return text->toPlainText();
    if (const auto* text = qobject_cast<const QTextEdit*>(&control))
        return text->toPlainText();
    if (const auto* tabs = qobject_cast<const CFlatTabCtrl*>(&control))
        return tabs->GetItemText(tabs->GetCurSel());
    if (const auto* tree = qobject_cast<const QTreeWidget*>(&control))
        return tree->currentItem() ? tree->currentItem()->text(0) : QString();
    return QString();
}

QStringList PageDescription::stateOf(const QWidget& control)
{
    QStringList state;
    if (control.isHidden())
        state.append(QStringLiteral("hidden"));
    if (!control.isEnabled())
        state.append(QStringLiteral("disabled"));
    const auto* edit = qobject_cast<const QLineEdit*>(&control);
    if (edit && edit->isReadOnly())
        state.append(QStringLiteral("read-only"));
    return state;
}

QString PageDescription::menuChoices() const
{
    if (!m_menu.shown)
        return QStringLiteral("(shown on a row: search first, e.g. --find --describe)");
    QStringList items;
    for (const zq::MenuEntry& entry : m_menu.entries)
        if (entry.id != 0)
            items << QStringLiteral("%1 %2").arg(entry.id).arg(entry.text);
    return items.join(QStringLiteral(" | "));
}

QString PageDescription::text(OutputFormat format) const
{
    const bool hasMenu = m_menu.listId != 0;
    const QString menuLabel = QStringLiteral("右键菜单");
    if (format == OutputFormat::Json) {
        QStringList objects;
        for (const ControlCatalog::Entry& entry : m_catalog.entries()) {
            JsonObject object;
            object.add(QStringLiteral("id"), entry.named.id)
                .add(QStringLiteral("kind"), entry.named.kind)
                .add(QStringLiteral("label"), entry.named.label)
                .add(QStringLiteral("value"), valueOf(*entry.widget))
                .add(QStringLiteral("state"), stateOf(*entry.widget))
                .add(QStringLiteral("place"), entry.place == ControlCatalog::Place::Window ? QStringLiteral("window")
                                                                                          : QStringLiteral("page"));
            const Choices choices = choicesOf(*entry.widget);
            if (!choices.key.isEmpty())
                object.add(choices.key, choices.texts);
            if (!choices.values.isEmpty())
                object.add(QStringLiteral("values"), choices.values);
            objects.append(object.text());
        }
        if (hasMenu) {
            QStringList texts;
            QStringList commands;
            for (const zq::MenuEntry& entry : m_menu.entries)
                if (entry.id != 0) {
                    texts << entry.text;
                    commands << QString::number(entry.id);
                }
            JsonObject object;
            object.add(QStringLiteral("id"), m_menu.listId)
                .add(QStringLiteral("kind"), QStringLiteral("menu"))
                .add(QStringLiteral("label"), menuLabel)
                .addJson(QStringLiteral("shown"), m_menu.shown ? QStringLiteral("true") : QStringLiteral("false"))
                .add(QStringLiteral("items"), texts)
                .addJson(QStringLiteral("commands"), u'[' + commands.join(u',') + u']');
            objects.append(object.text());
        }
        return JsonArrayLines(objects);
    }
    const QStringList headers{QStringLiteral("id"), QStringLiteral("kind"), QStringLiteral("label"),
                              QStringLiteral("value"), QStringLiteral("state"), QStringLiteral("choices")};
    QList<QStringList> rows;
    for (const ControlCatalog::Entry& entry : m_catalog.entries())
        rows.append({QString::number(entry.named.id), entry.named.kind, entry.named.label, valueOf(*entry.widget),
                     stateOf(*entry.widget).join(u','), choicesLine(choicesOf(*entry.widget))});
    if (hasMenu)
        rows.append({QString::number(m_menu.listId), QStringLiteral("menu"), menuLabel, QString(), QString(), menuChoices()});
    return ResultFormats::format(format, headers, rows);
}

} // namespace zq::tool

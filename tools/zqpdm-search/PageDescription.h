#pragma once
// --describe: the controls of the page and of the search window, one line (or json object)
// each, with what a user needs to write the actions that drive them:
//   id, kind, label, value, state (hidden, disabled, read-only), choices
// where the choices are a combo box's items, a condition grid's rows, a list's columns or a tab
// control's tabs, each with its index ("0 图号=ZQ8600 | 1 图名" for a grid: its row names, with
// the text already in the row's cell); and last the result list's context menu, kind "menu",
// with the command numbers --menu ROW:N takes.
#include "ControlCatalog.h"
#include "Desktop.h"
#include "ResultFormats.h"

#include <QString>
#include <QStringList>

namespace zq::tool {

// The result list's context menu as --describe lists it: the commands --menu ROW:N takes.
struct ResultMenu {
    int listId = 0;
    bool shown = false;         // false: the list had no row to right-click
    QList<zq::MenuEntry> entries;
};

class PageDescription {
public:
    PageDescription(const ControlCatalog& catalog, ResultMenu menu = {}) : m_catalog(catalog), m_menu(std::move(menu)) {}

    QString text(OutputFormat format) const;

    static QString valueOf(const QWidget& control);
    static QStringList stateOf(const QWidget& control);

private:
    // "1 零件使用情况 | 2 属性"; without a row to right-click, how to get one.
    QString menuChoices() const;

    const ControlCatalog& m_catalog;
    ResultMenu m_menu;
};

} // namespace zq::tool

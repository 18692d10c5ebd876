#pragma once
// --describe: the controls of the page and of the search window, one line (or json object)
// each, with what a user needs to write the actions that drive them:
//   id, kind, label, value, state (hidden, disabled, read-only), choices
// where the choices are a combo box's items, a condition grid's rows, a list's columns or a tab
// control's tabs, each with its index ("0 图号=ZQ8600 | 1 图名" for a grid: its row names, with
// the text already in the row's cell).
#include "ControlCatalog.h"
#include "ResultFormats.h"

#include <QString>
#include <QStringList>

namespace zq::tool {

class PageDescription {
public:
    explicit PageDescription(const ControlCatalog& catalog) : m_catalog(catalog) {}

    QString text(OutputFormat format) const;

    static QString valueOf(const QWidget& control);
    static QStringList stateOf(const QWidget& control);

private:
    const ControlCatalog& m_catalog;
};

} // namespace zq::tool

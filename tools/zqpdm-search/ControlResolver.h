#pragma once
// Turns the names of a --set, --cell or --click action into the control id and row they stand
// for, on the page as it is when the action runs (a combo box may have changed a grid's rows).
// A name is looked for on the page first, then on the search window, as ids are.
#include "ControlCatalog.h"
#include "SearchCommandLine.h"

namespace zq::tool {

class ControlResolver {
public:
    ControlResolver(const QWidget* page, const QWidget& window) : m_catalog(page, window) {}

    // Fills in action.id and action.row where names stand; an empty text when that worked,
    // else why a name does not do (unknown or ambiguous, with the candidates): a usage error.
    QString resolve(Action& action) const;

private:
    QString resolveControl(Action& action) const;
    QString resolveRow(Action& action) const;
    const QWidget* widgetOf(int id) const;

    ControlCatalog m_catalog;
};

} // namespace zq::tool

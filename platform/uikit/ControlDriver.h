#pragma once
// Operates dialog controls the way a user would, so that the controls' own notifications fire:
// typing into an edit box, choosing a combo-box item, ticking a check box, setting a date,
// clicking a button, typing into a cell of an editable list.
#include <QString>

class QWidget;

namespace zq {

class ControlDriver {
public:
    // Each returns an empty text on success, else what stood in the way.
    // How a combo box takes the value: a number picks that item (IndexOrText, as scripts have
    // always written it), or the text is typed as it is (Typed: "2" into an editable combo box is
    // the text "2").
    enum ValueForm { IndexOrText, Typed };
    static QString setValue(QWidget* control, const QString& value, ValueForm form = IndexOrText);
    static QString click(QWidget* control);
    static QString typeIntoCell(QWidget* control, int row, int column, const QString& text);
    // Ticks (or unticks) a check box by clicking it when its state differs.
    static QString setChecked(QWidget* control, bool checked);
};

} // namespace zq

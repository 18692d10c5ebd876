#pragma once
// Dialog templates as data: a table of controls with ids, kinds, captions, styles and
// rectangles in dialog units, turned into widgets with absolute geometry by one builder.
// Each widget's objectName is its control id ("1256"), so code and tests find controls by id.
#include <QFont>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <vector>

enum class ControlKind {
    Static, GroupBox, Frame, Edit, Button, DefButton, CheckBox, Radio, ComboDropList, ComboDropDown,
    DatePicker, ReportList, SortList, HeaderList, GridList, TabCtrl, TreeCtrl,
};

// Style bits that matter on this platform.
enum ControlStyle : unsigned {
    CS_NONE = 0, CS_HIDDEN = 0x1, CS_DISABLED = 0x2, CS_READONLY = 0x4, CS_MULTISEL = 0x8,
    CS_GROUP = 0x10, CS_SORT = 0x20, CS_CENTERV = 0x40, CS_PASSWORD = 0x80,
    // How a control follows its dialog's size (ApplyAnchors): the distance it has in the template
    // to the template's right or bottom edge is kept, by moving the control or by moving only
    // its right or bottom edge. Unmarked controls stay where the template puts them.
    CS_MOVE_RIGHT = 0x100, CS_MOVE_DOWN = 0x200, CS_STRETCH_RIGHT = 0x400, CS_STRETCH_DOWN = 0x800,
};

struct ControlSpec {
    int id;                // −1 for labels without an id
    ControlKind kind;
    QString caption;       // text, or items joined by '\n' for combo boxes
    QRect rect;            // dialog units: x, y, width, height
    unsigned style = CS_NONE;
};

struct DialogTemplate {
    int id;
    QString caption;
    QSize size;            // dialog units
    QString fontFamily = QStringLiteral("MS Sans Serif");
    int fontPointSize = 8;
    std::vector<ControlSpec> controls;
};

namespace zq {

// The font a template names, or one that exists here with the same size when it does not
// ("MS Sans Serif" becomes a CJK sans font of the same point size).
QFont DialogFont(const QString& family, int pointSize);
QFont DialogFont(const DialogTemplate& dialogTemplate);

// The dialog base units of a font: average character width and character height in pixels.
QSize DialogBaseUnits(const QFont& font);

// Dialog units → pixels from the dialog font's average character size (x: /4, y: /8).
QRect DialogUnitsToPixels(const QRect& rect, const QFont& font);
QSize DialogUnitsToPixels(const QSize& size, const QFont& font);

// Creates the template's controls as children of dialog and sizes the dialog. Returns false
// when the template is null.
bool BuildDialog(QWidget& dialog, const DialogTemplate* dialogTemplate);

// Moves and stretches the controls the template marks CS_MOVE_* or CS_STRETCH_* for the dialog
// at the given size, measured from the size the template gives; sizes never go below zero.
// Dialog code calls it from its resize handling.
void ApplyAnchors(QWidget& dialog, const QSize& size);

// The control with the given id, or nullptr.
QWidget* Control(const QWidget& dialog, int id);
template <class T> T* ControlAs(const QWidget& dialog, int id) { return qobject_cast<T*>(Control(dialog, id)); }

// The dialog's controls that have an id, in the order its template lists them; controls the
// dialog adds in code under a numeric objectName follow in the order they were created.
QList<QWidget*> DialogControls(const QWidget& dialog);
// The label of a control without a caption of its own (edit box, combo box, date picker, list,
// tab or tree control): the text of the static the template places right before it, as the user
// reads it ("条件:"); an empty text when there is none. It is also the control's accessible name.
QString ControlLabel(const QWidget& control);

// Reading and writing control values the way dialog data exchange does.
QString ControlText(const QWidget& dialog, int id);
void SetControlText(QWidget& dialog, int id, const QString& text);
bool IsChecked(const QWidget& dialog, int id);
void SetChecked(QWidget& dialog, int id, bool checked);
int ComboIndex(const QWidget& dialog, int id);
void SetComboIndex(QWidget& dialog, int id, int index);
// Adds an item as a combo box's AddString does: at its sorted place when the combo has CS_SORT,
// else at the end. Returns the item's index, −1 when there is no such combo box.
int AddComboString(QWidget& dialog, int id, const QString& text);
// The checked radio button of the group that starts at firstId, counted from 0; −1 when none.
int RadioIndex(const QWidget& dialog, int firstId);
void SetRadioIndex(QWidget& dialog, int firstId, int index);

} // namespace zq

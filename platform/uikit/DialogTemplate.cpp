#include "DialogTemplate.h"
#include "Desktop.h"
#include "FlatTabCtrl.h"
#include "ListCtrl.h"
#include "TreeCtrlEx.h"
#include "ZQPDMFC.h"
#include <algorithm>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <cmath>

namespace zq {

namespace {

const char* const kSortedProperty = "zqSorted";
const char* const kIdProperty = "controlId";
// Set by the builder: a control's place in its template, and the text of the static before it.
const char* const kTemplateIndexProperty = "zqTemplateIndex";
const char* const kLabelProperty = "zqLabel";
// Set by the builder where a template marks anchors: the dialog's built size, and per control
// its anchor style bits and its built geometry.
const char* const kBuiltSizeProperty = "zqBuiltSize";
const char* const kAnchorProperty = "zqAnchor";
const char* const kBuiltRectProperty = "zqBuiltRect";
constexpr unsigned kAnchorStyles = CS_MOVE_RIGHT | CS_MOVE_DOWN | CS_STRETCH_RIGHT | CS_STRETCH_DOWN;

// MulDiv: a * b / c rounded half away from zero, as dialog-unit mapping does.
int mulDiv(int a, int b, int c)
{
    return int(std::lround(double(a) * b / c));
}

// Statics show "&x" as an underlined x and "&&" as "&"; a label without a buddy shows the text as is.
QString labelText(const QString& caption)
{
    QString text;
    text.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&') {
            if (i + 1 < caption.size() && caption[i + 1] == u'&') {
                text += u'&';
                ++i;
            }
            continue;
        }
        text += caption[i];
    }
    return text;
}

// Controls without a caption of their own are labelled by the static the template places
// right before them, as dialogs label edit boxes, combo boxes and lists.
bool takesLabelFromStatic(ControlKind kind)
{
    switch (kind) {
    case ControlKind::Edit:
    case ControlKind::ComboDropList:
    case ControlKind::ComboDropDown:
    case ControlKind::DatePicker:
    case ControlKind::ReportList:
    case ControlKind::SortList:
    case ControlKind::HeaderList:
    case ControlKind::GridList:
    case ControlKind::TabCtrl:
    case ControlKind::TreeCtrl:
        return true;
    default:
        return false;
    }
}

QStringList comboItems(const QString& caption)
{
    if (caption.isEmpty())
        return {};
    QStringList items = caption.split(u'\n');
    if (items.back().isEmpty())
        items.removeLast();
    return items;
}

int sortedPosition(const QComboBox& combo, const QString& text)
{
    int at = 0;
    while (at < combo.count() && CompareNoCase(combo.itemText(at), text) <= 0)
        ++at;
    return at;
}

int addComboItem(QComboBox& combo, const QString& text)
{
    const int before = combo.currentIndex();
    const int at = combo.property(kSortedProperty).toBool() ? sortedPosition(combo, text) : combo.count();
    combo.insertItem(at, text);
    // A combo box starts with nothing selected and adding items does not select one.
    if (before < 0)
        combo.setCurrentIndex(-1);
    else if (at <= before)
        combo.setCurrentIndex(before + 1);
    return at;
}

QComboBox* makeCombo(QWidget& dialog, const ControlSpec& control, bool editable)
{
    auto* combo = new QComboBox(&dialog);
    combo->setEditable(editable);
    if (editable)
        combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setProperty(kSortedProperty, (control.style & CS_SORT) != 0);
    for (const QString& item : comboItems(control.caption))
        addComboItem(*combo, item);
    combo->setCurrentIndex(-1);
    if (editable)
        combo->clearEditText();
    return combo;
}

QDateEdit* makeDatePicker(QWidget& dialog)
{
    auto* picker = new QDateEdit(&dialog);
    picker->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    picker->setCalendarPopup(true);
    picker->setDateRange(QDate(1601, 1, 1), QDate(9999, 12, 31));
    picker->setDate(Desktop::current().now().date());
    return picker;
}

CReportListCtrl* makeList(QWidget& dialog, ControlKind kind)
{
    switch (kind) {
    case ControlKind::SortList: return new CSortListCtrl(&dialog);
    case ControlKind::HeaderList: return new CHeaderListCtrl(&dialog);
    case ControlKind::GridList: return new CGridListCtrl(&dialog);
    default: return new CReportListCtrl(&dialog);
    }
}

// Radio buttons form one group from a control with CS_GROUP up to the next one.
class RadioGrouper {
public:
    explicit RadioGrouper(QWidget& dialog) : m_dialog(dialog) {}
    void next(const ControlSpec& control, QWidget* widget)
    {
        if (control.style & CS_GROUP)
            m_group = nullptr;
        auto* radio = qobject_cast<QRadioButton*>(widget);
        if (!radio)
            return;
        if (!m_group) {
            m_group = new QButtonGroup(&m_dialog);
            m_group->setExclusive(true);
        }
        m_group->addButton(radio, int(m_group->buttons().size()));
    }
private:
    QWidget& m_dialog;
    QButtonGroup* m_group = nullptr;
};

QWidget* makeControl(QWidget& dialog, const ControlSpec& control)
{
    switch (control.kind) {
    case ControlKind::Static: {
        auto* label = new QLabel(labelText(control.caption), &dialog);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | ((control.style & CS_CENTERV) ? Qt::AlignVCenter : Qt::AlignTop));
        return label;
    }
    case ControlKind::GroupBox:
        return new QGroupBox(control.caption, &dialog);
    case ControlKind::Frame: {
        auto* frame = new QFrame(&dialog);
        frame->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        return frame;
    }
    case ControlKind::Edit: {
        auto* edit = new QLineEdit(control.caption, &dialog);
        edit->setReadOnly(control.style & CS_READONLY);
        if (control.style & CS_PASSWORD)
            edit->setEchoMode(QLineEdit::Password);
        return edit;
    }
    case ControlKind::Button:
    case ControlKind::DefButton: {
        auto* button = new QPushButton(control.caption, &dialog);
        const bool isDefault = control.kind == ControlKind::DefButton;
        button->setAutoDefault(isDefault);
        button->setDefault(isDefault);
        return button;
    }
    case ControlKind::CheckBox:
        return new QCheckBox(control.caption, &dialog);
    case ControlKind::Radio:
        return new QRadioButton(control.caption, &dialog);
    case ControlKind::ComboDropList:
        return makeCombo(dialog, control, false);
    case ControlKind::ComboDropDown:
        return makeCombo(dialog, control, true);
    case ControlKind::DatePicker:
        return makeDatePicker(dialog);
    case ControlKind::ReportList:
    case ControlKind::SortList:
    case ControlKind::HeaderList:
    case ControlKind::GridList: {
        CReportListCtrl* list = makeList(dialog, control.kind);
        list->SetSingleSelection(!(control.style & CS_MULTISEL));
        return list;
    }
    case ControlKind::TabCtrl:
        return new CFlatTabCtrl(&dialog);
    case ControlKind::TreeCtrl:
        return new CTreeCtrlEx(&dialog);
    }
    return new QWidget(&dialog);
}

// A combo box's template height is the height of its open list; the box itself is one line high.
QRect controlGeometry(const ControlSpec& control, const QWidget& widget, const QFont& font)
{
    QRect rect = DialogUnitsToPixels(control.rect, font);
    if (control.kind == ControlKind::ComboDropList || control.kind == ControlKind::ComboDropDown)
        rect.setHeight(std::min(rect.height(), widget.sizeHint().height()));
    return rect;
}

QSize templateSize(const DialogTemplate& dialogTemplate)
{
    if (!dialogTemplate.size.isEmpty())
        return dialogTemplate.size;
    // No size given: the controls' bounding box with a margin of 7 dialog units.
    QRect bounds;
    for (const ControlSpec& control : dialogTemplate.controls)
        bounds = bounds.united(control.rect);
    return QSize(bounds.right() + 1 + 7, bounds.bottom() + 1 + 7);
}

} // namespace

QFont DialogFont(const QString& family, int pointSize)
{
    static const QStringList substitutes = {QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"),
                                            QStringLiteral("DejaVu Sans")};
    const int size = pointSize > 0 ? pointSize : 8;
    const QStringList families = QFontDatabase::families();
    const bool windowsOnly = family.compare(QStringLiteral("MS Sans Serif"), Qt::CaseInsensitive) == 0 ||
                             family.compare(QStringLiteral("MS Shell Dlg"), Qt::CaseInsensitive) == 0;
    if (!windowsOnly && families.contains(family, Qt::CaseInsensitive))
        return QFont(family, size);
    for (const QString& substitute : substitutes) {
        if (families.contains(substitute, Qt::CaseInsensitive))
            return QFont(substitute, size);
    }
    QFont font;
    font.setPointSize(size);
    return font;
}

QFont DialogFont(const DialogTemplate& dialogTemplate)
{
    return DialogFont(dialogTemplate.fontFamily, dialogTemplate.fontPointSize);
}

QSize DialogBaseUnits(const QFont& font)
{
    // Every control of every page asks with the same font: the text is laid out once for it (the
    // layout cost a twentieth of the start-up when it was done for each control).
    thread_local QFont lastFont;
    thread_local QSize lastUnits;
    if (lastUnits.isValid() && font == lastFont && font.resolveMask() == lastFont.resolveMask())
        return lastUnits;
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    lastFont = font;
    lastUnits = QSize(std::max(1, (letters / 26 + 1) / 2), std::max(1, metrics.height()));
    return lastUnits;
}

QRect DialogUnitsToPixels(const QRect& rect, const QFont& font)
{
    const QSize base = DialogBaseUnits(font);
    const int left = mulDiv(rect.x(), base.width(), 4);
    const int top = mulDiv(rect.y(), base.height(), 8);
    const int right = mulDiv(rect.x() + rect.width(), base.width(), 4);
    const int bottom = mulDiv(rect.y() + rect.height(), base.height(), 8);
    return QRect(left, top, right - left, bottom - top);
}

QSize DialogUnitsToPixels(const QSize& size, const QFont& font)
{
    const QSize base = DialogBaseUnits(font);
    return QSize(mulDiv(size.width(), base.width(), 4), mulDiv(size.height(), base.height(), 8));
}

bool BuildDialog(QWidget& dialog, const DialogTemplate* dialogTemplate)
{
    if (!dialogTemplate)
        return false;
    const QFont font = DialogFont(*dialogTemplate);
    dialog.setFont(font);
    dialog.setWindowTitle(dialogTemplate->caption);
    RadioGrouper grouper(dialog);
    std::vector<QWidget*> backgrounds;
    const ControlSpec* previous = nullptr;
    int index = 0;
    for (const ControlSpec& control : dialogTemplate->controls) {
        QWidget* widget = makeControl(dialog, control);
        widget->setObjectName(QString::number(control.id));
        widget->setProperty(kIdProperty, control.id);
        widget->setProperty(kTemplateIndexProperty, index++);
        if (previous && previous->kind == ControlKind::Static && takesLabelFromStatic(control.kind)) {
            const QString label = labelText(previous->caption);
            widget->setProperty(kLabelProperty, label);
            widget->setAccessibleName(label);
        }
        previous = &control;
        widget->setGeometry(controlGeometry(control, *widget, font));
        widget->setEnabled(!(control.style & CS_DISABLED));
        widget->setVisible(!(control.style & CS_HIDDEN));
        if (const unsigned anchor = control.style & kAnchorStyles) {
            widget->setProperty(kAnchorProperty, anchor);
            widget->setProperty(kBuiltRectProperty, widget->geometry());
        }
        grouper.next(control, widget);
        if (control.kind == ControlKind::GroupBox || control.kind == ControlKind::Frame)
            backgrounds.push_back(widget);
    }
    // Group boxes and frames only decorate: keep them under the controls they surround.
    for (QWidget* widget : backgrounds) {
        widget->lower();
        widget->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    const QSize size = DialogUnitsToPixels(templateSize(*dialogTemplate), font);
    dialog.setProperty(kBuiltSizeProperty, size);
    dialog.resize(size);
    return true;
}

void ApplyAnchors(QWidget& dialog, const QSize& size)
{
    const QSize built = dialog.property(kBuiltSizeProperty).toSize();
    if (!built.isValid())
        return;
    const int dx = size.width() - built.width();
    const int dy = size.height() - built.height();
    for (QWidget* widget : dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const unsigned anchor = widget->property(kAnchorProperty).toUInt();
        if (!anchor)
            continue;
        QRect r = widget->property(kBuiltRectProperty).toRect();
        if (anchor & CS_MOVE_RIGHT)
            r.translate(dx, 0);
        if (anchor & CS_MOVE_DOWN)
            r.translate(0, dy);
        if (anchor & CS_STRETCH_RIGHT)
            r.setWidth(std::max(0, r.width() + dx));
        if (anchor & CS_STRETCH_DOWN)
            r.setHeight(std::max(0, r.height() + dy));
        widget->setGeometry(r);
    }
}

QWidget* Control(const QWidget& dialog, int id)
{
    // Like GetDlgItem: only the dialog's own controls, not those of child dialogs inside it.
    return dialog.findChild<QWidget*>(QString::number(id), Qt::FindDirectChildrenOnly);
}

QList<QWidget*> DialogControls(const QWidget& dialog)
{
    QList<QWidget*> fromTemplate;
    QList<QWidget*> addedLater;
    for (QWidget* widget : dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        bool numeric = false;
        const int id = widget->objectName().toInt(&numeric);
        if (!numeric || id < 0)
            continue;
        (widget->property(kTemplateIndexProperty).isValid() ? fromTemplate : addedLater).append(widget);
    }
    // Raising and lowering reorder the children; the template's order is the one to keep.
    std::stable_sort(fromTemplate.begin(), fromTemplate.end(), [](const QWidget* a, const QWidget* b) {
        return a->property(kTemplateIndexProperty).toInt() < b->property(kTemplateIndexProperty).toInt();
    });
    return fromTemplate + addedLater;
}

QString ControlLabel(const QWidget& control)
{
    return control.property(kLabelProperty).toString();
}

QString ControlText(const QWidget& dialog, int id)
{
    QWidget* widget = Control(dialog, id);
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        return edit->text();
    if (auto* combo = qobject_cast<QComboBox*>(widget))
        return combo->currentText();
    if (auto* date = qobject_cast<QDateEdit*>(widget))
        return date->date().toString(QStringLiteral("yyyy-MM-dd"));
    if (auto* label = qobject_cast<QLabel*>(widget))
        return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        return button->text();
    if (auto* group = qobject_cast<QGroupBox*>(widget))
        return group->title();
    return QString();
}

void SetControlText(QWidget& dialog, int id, const QString& text)
{
    QWidget* widget = Control(dialog, id);
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        edit->setText(text);
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        if (combo->isEditable()) {
            combo->setEditText(text);
            return;
        }
        for (int i = 0; i < combo->count(); ++i) {
            if (EqualsNoCase(combo->itemText(i), text)) {
                combo->setCurrentIndex(i);
                return;
            }
        }
    } else if (auto* date = qobject_cast<QDateEdit*>(widget)) {
        const QDate value = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
        if (value.isValid())
            date->setDate(value);
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(text);
    } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
        group->setTitle(text);
    }
}

bool IsChecked(const QWidget& dialog, int id)
{
    const auto* button = qobject_cast<QAbstractButton*>(Control(dialog, id));
    return button && button->isChecked();
}

void SetChecked(QWidget& dialog, int id, bool checked)
{
    if (auto* button = qobject_cast<QAbstractButton*>(Control(dialog, id)))
        button->setChecked(checked);
}

int ComboIndex(const QWidget& dialog, int id)
{
    const auto* combo = qobject_cast<QComboBox*>(Control(dialog, id));
    return combo ? combo->currentIndex() : -1;
}

void SetComboIndex(QWidget& dialog, int id, int index)
{
    if (auto* combo = qobject_cast<QComboBox*>(Control(dialog, id)))
        combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
}

int AddComboString(QWidget& dialog, int id, const QString& text)
{
    auto* combo = qobject_cast<QComboBox*>(Control(dialog, id));
    return combo ? addComboItem(*combo, text) : -1;
}

int RadioIndex(const QWidget& dialog, int firstId)
{
    const auto* radio = qobject_cast<QAbstractButton*>(Control(dialog, firstId));
    if (!radio)
        return -1;
    if (const QButtonGroup* group = radio->group())
        return group->checkedId();
    return radio->isChecked() ? 0 : -1;
}

void SetRadioIndex(QWidget& dialog, int firstId, int index)
{
    auto* radio = qobject_cast<QAbstractButton*>(Control(dialog, firstId));
    if (!radio)
        return;
    QButtonGroup* group = radio->group();
    if (!group) {
        radio->setChecked(index == 0);
        return;
    }
    // An exclusive group cannot be emptied by unchecking; lift the rule for that moment.
    group->setExclusive(false);
    for (QAbstractButton* button : group->buttons())
        button->setChecked(group->id(button) == index);
    group->setExclusive(true);
}

} // namespace zq

#include "DialogTemplate.h"

namespace zq {

QRect DialogUnitsToPixels(const QRect& rect, const QFont&) { return rect; }
QSize DialogUnitsToPixels(const QSize& size, const QFont&) { return size; }
bool BuildDialog(QWidget&, const DialogTemplate* dialogTemplate) { return dialogTemplate != nullptr; }
QWidget* Control(const QWidget& dialog, int id)
{
    return dialog.findChild<QWidget*>(QString::number(id));
}
QString ControlText(const QWidget&, int) { return {}; }
void SetControlText(QWidget&, int, const QString&) {}
bool IsChecked(const QWidget&, int) { return false; }
void SetChecked(QWidget&, int, bool) {}
int ComboIndex(const QWidget&, int) { return -1; }
void SetComboIndex(QWidget&, int, int) {}

} // namespace zq

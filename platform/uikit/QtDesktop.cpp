#include "QtDesktop.h"

namespace zq {

int QtDesktop::messageBox(const QString&, const QString&, unsigned) { return IDOK; }
std::optional<SaveFileAnswer> QtDesktop::saveFile(const SaveFileRequest&) { return std::nullopt; }
int QtDesktop::popupMenu(const QList<MenuEntry>&, const QPoint&) { return 0; }
std::optional<QStringList> QtDesktop::pick(const PickRequest&) { return std::nullopt; }
void QtDesktop::showReport(const ReportRequest&) {}
void QtDesktop::setClipboardText(const QString&) {}
bool QtDesktop::shellOpen(const QString&) { return false; }
void QtDesktop::beginWaitCursor() {}
void QtDesktop::endWaitCursor() {}
QPoint QtDesktop::cursorPos() const { return {}; }
QDateTime QtDesktop::now() const { return QDateTime::currentDateTime(); }

} // namespace zq

#pragma once
// The real Desktop: Qt message boxes, file dialog, menus, picker and report dialogs,
// the clipboard, the shell and the clock.
#include "Desktop.h"

namespace zq {

class QtDesktop : public Desktop {
public:
    int messageBox(const QString& text, const QString& caption, unsigned style,
                   const QString& detail = QString()) override;
    std::optional<SaveFileAnswer> saveFile(const SaveFileRequest& request) override;
    int popupMenu(const QList<MenuEntry>& entries, const QPoint& screenPos) override;
    std::optional<QStringList> pick(const PickRequest& request) override;
    void showReport(const ReportRequest& request) override;
    int execDialog(QDialog& dialog) override;
    void setClipboardText(const QString& text) override;
    bool shellOpen(const QString& path) override;
    void beginWaitCursor() override;
    void endWaitCursor() override;
    QPoint cursorPos() const override;
    QDateTime now() const override;
};

} // namespace zq

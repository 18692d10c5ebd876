#pragma once
// A Desktop that shows nothing: it answers from a script and records every call, for
// tests and for the zqpdm-search command line.
#include "Desktop.h"
#include <QStringList>
#include <functional>

namespace zq {

class ScriptedDesktop : public Desktop {
public:
    struct Event {
        QString kind;   // "MSG", "SAVE", "MENU", "PICK", "REPORT", "CLIP", "OPEN", "CMD"
        QStringList fields;
        QString detail;  // a message box's detail text, apart from its fields
    };

    // Script.
    int yesNoAnswer = IDNO;                         // answer to MB_YESNO boxes
    std::optional<SaveFileAnswer> saveAnswer;       // nullopt: the save dialog is cancelled
    QList<int> menuAnswers;                         // consumed one per menu; 0 when empty
    QList<QStringList> pickAnswers;                 // consumed one per picker; cancel when empty
    QList<std::function<int(QDialog&)>> dialogAnswers;   // consumed one per dialog: each may fill the
                                                    // dialog's widgets and returns its result; reject when empty
    bool acceptUnlisted = false;                    // answers not among the candidates are taken as typed
                                                    // (always so where the picker accepts a typed key)
    int cancelAfterRows = -1;                       // press "取消" when the progress has stepped past this many rows
    QDateTime fixedNow;                             // invalid: the real clock
    QPoint cursor{100, 100};
    std::function<void(const Event&)> onEvent;      // live listener (zqpdm-search prints from it)
    std::function<bool(const QString&)> canOpen;    // whether a program opens the file; null: always

    // Record.
    QList<Event> events;
    QString clipboard;
    int waitDepth = 0;
    int progressPumps = 0;                          // times a progress window let events through
    QList<MenuEntry> lastMenu;                      // the entries of the last pop-up menu, separators included

    int messageBox(const QString& text, const QString& caption, unsigned style,
                   const QString& detail = QString()) override;
    std::optional<SaveFileAnswer> saveFile(const SaveFileRequest& request) override;
    int popupMenu(const QList<MenuEntry>& entries, const QPoint& screenPos) override;
    std::optional<QStringList> pick(const PickRequest& request) override;
    void showReport(const ReportRequest& request) override;
    int execDialog(QDialog& dialog) override;
    void setClipboardText(const QString& text) override;
    bool shellOpen(const QString& path) override;
    void beginWaitCursor() override { ++waitDepth; }
    void endWaitCursor() override { --waitDepth; }
    QPoint cursorPos() const override { return cursor; }
    QDateTime now() const override;
    void progressPumped(CProgressWnd& progress) override;
    void hostCommand(const QString& command, const QString& argument) override;

    QList<Event> eventsOf(const QString& kind) const;
    QStringList messages() const;   // the texts of all message boxes, in order

private:
    void record(const QString& kind, const QStringList& fields, const QString& detail = QString());
};

// Installs a ScriptedDesktop for one scope and restores the previous Desktop afterwards.
class ScopedDesktop {
public:
    explicit ScopedDesktop(Desktop& desktop);
    ~ScopedDesktop();
    ScopedDesktop(const ScopedDesktop&) = delete;
    ScopedDesktop& operator=(const ScopedDesktop&) = delete;
private:
    Desktop* m_previous;
};

} // namespace zq

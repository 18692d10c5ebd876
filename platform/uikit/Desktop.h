#pragma once
// The one seam for everything modal or outside the process: message boxes, the save
// dialog, pop-up menus, pickers and report dialogs, the clipboard, the shell, the
// cursor and the clock. QtDesktop is the real one; ScriptedDesktop answers from a script.
#include <QDateTime>
#include <QList>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <optional>

class QDialog;
class QWidget;
class CProgressWnd;

namespace zq {

// Message-box style bits and answers, with the values of the system's own flags.
enum MessageStyle : unsigned {
    MB_OK = 0x0, MB_OKCANCEL = 0x1, MB_YESNO = 0x4,
    MB_ICONERROR = 0x10, MB_ICONQUESTION = 0x20, MB_ICONEXCLAMATION = 0x30, MB_ICONINFORMATION = 0x40,
};
enum MessageAnswer : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

struct SaveFileRequest {
    QString filter;        // "a (*.txt)|*.txt|b (*.txt)|*.txt||"
    QString defaultExt;    // "txt" (without the dot)
    bool overwritePrompt = true;
};
struct SaveFileAnswer {
    QString path;          // full path; a missing extension has been added
    int filterIndex = 1;   // 1-based entry of the filter the user picked
};

struct MenuEntry {
    int id = 0;            // 0 marks a separator
    QString text;
    bool enabled = true;   // false: shown greyed (a heading), never chosen
};

// A picker: the user chooses rows of a candidate table (users, departments).
struct PickRequest {
    QString title;
    QStringList headers;            // column headers of the candidate table
    QList<QStringList> candidates;  // one row per candidate; column 0 is the key (login name, department name)
    bool multiSelect = false;
    bool acceptTyped = false;       // the user may also type a key that is not listed
};

// A read-only table shown to the user (where-used list, attributes, versions, ...).
struct ReportRequest {
    QString title;
    QStringList headers;
    QList<QStringList> rows;
};

class Desktop {
public:
    virtual ~Desktop() = default;

    // detail: more for whoever wants it (why a file did not arrive), behind the box's detail button.
    virtual int messageBox(const QString& text, const QString& caption, unsigned style,
                           const QString& detail = QString()) = 0;
    virtual std::optional<SaveFileAnswer> saveFile(const SaveFileRequest& request) = 0;
    // Returns the chosen id, 0 when nothing was chosen.
    virtual int popupMenu(const QList<MenuEntry>& entries, const QPoint& screenPos) = 0;
    // Returns the keys (column 0) of the chosen candidates, in the order given, and a typed key
    // after them where the request accepts one; nullopt when cancelled.
    virtual std::optional<QStringList> pick(const PickRequest& request) = 0;
    virtual void showReport(const ReportRequest& request) = 0;
    // Runs a dialog of the module's own (saving a search, managing saved ones) modally; its result
    // (QDialog::Accepted or Rejected).
    virtual int execDialog(QDialog& dialog) = 0;
    virtual void setClipboardText(const QString& text) = 0;
    virtual bool shellOpen(const QString& path) = 0;
    virtual void beginWaitCursor() = 0;
    virtual void endWaitCursor() = 0;
    virtual QPoint cursorPos() const = 0;
    virtual QDateTime now() const = 0;
    // Called by every CProgressWnd::PeekAndPump; a script may press "取消" here.
    virtual void progressPumped(CProgressWnd& progress) {}
    // A host command leaving the module ("Locate"), for scripts that watch it.
    virtual void hostCommand(const QString& command, const QString& argument) {}

    // The process-wide Desktop: a QtDesktop unless one was installed. Not owned.
    static Desktop& current();
    static void install(Desktop* desktop);   // nullptr restores the QtDesktop
};

// Wait cursor for one scope.
class WaitCursor {
public:
    WaitCursor() { Desktop::current().beginWaitCursor(); }
    ~WaitCursor() { Desktop::current().endWaitCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// Converts "a (*.txt)|*.txt|b|*.x||" into (description, pattern) pairs.
QList<QPair<QString, QString>> parseFilter(const QString& filter);

// The same filter as Qt name filters, one per pair, in order: "a (*.txt)", "b (*.x)".
QStringList toQtNameFilters(const QString& filter);

// The path with ".defaultExt" appended when its file name has no extension.
QString AddDefaultExtension(const QString& path, const QString& defaultExt);

} // namespace zq

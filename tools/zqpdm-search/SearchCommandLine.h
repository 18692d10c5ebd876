#pragma once
// The zqpdm-search command line as plain values: the options that hold for the whole run and
// the actions in the order they are applied. Parsing knows nothing of widgets.
#include "EventLines.h"
#include "ResultFormats.h"

#include <QDate>
#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>
#include <optional>

namespace zq::tool {

// Where an id or a row is asked for, a name may stand instead (ControlNames): the control's
// label or caption, the grid row's name. The session resolves names on the page as it is then.
enum class ActionKind {
    Set,        // --set ID=VALUE
    Cell,       // --cell ID:ROW=TEXT
    Click,      // --click ID
    Pick,       // --pick NAME[,NAME]
    Tree,       // --tree PATH
    Find,       // --find (given or implicit)
    Link,       // --link 0|1
    Select,     // --select ROW
    DblClick,   // --dblclick ROW
    Menu,       // --menu ROW:CMD
    Export,     // --export FILE[:N]
    Saved,      // --saved NAME
    Preview,    // --preview ROW (with --preview-out FILE, --preview-size WxH)
};

struct Action {
    explicit Action(ActionKind k = ActionKind::Find) : kind(k) {}

    ActionKind kind;
    int id = -1;          // control id (set, cell, click); −1 when named
    QString name;         // the control's label or caption instead of its id
    int row = -1;         // row (cell, select, dblclick, menu); −1 for a cell row named
    QString rowName;      // the grid row's name instead of its index
    int command = 0;      // menu command
    int filter = 1;       // export filter entry
    bool on = false;      // link
    QString text;         // set value, cell text, tree path, export file
    QStringList names;    // pick answers
    bool implicit = false;// a Find the parser inserted
    bool typed = false;   // set by --type: the text as typed, never taken for a list index

    // The option and its value as they are written on the command line; parsed again they give
    // this action back (a Find comes back marked as given, not implicit).
    QStringList arguments() const;
    QString describe() const;   // the option as the user wrote it (a label, not its id), for messages
    bool operator==(const Action& other) const = default;
};

struct SearchOptions {
    QString page;
    std::optional<QString> home;
    std::optional<QString> db;
    std::optional<QDate> today;
    bool answerYes = false;
    std::optional<int> cancelAfter;
    bool traceSql = false;
    bool describe = false;                        // print the page's controls, not the result list
    OutputFormat format = OutputFormat::Tsv;      // standard output
    EventFormat events = EventFormat::Text;       // standard error
    QList<Action> actions;
    // Saved searches: kept after the actions (--save, with --shared, --replace and --fixed-dates),
    // listed (--list-saved, the page's when --page is given) or deleted (--delete-saved, a shared one
    // with --shared) without a search.
    std::optional<QString> saveAs;
    bool saveShared = false;      // --shared: with --save where it goes, with --delete-saved which one
    bool saveReplace = false;
    bool saveFixedDates = false;
    bool listSaved = false;
    std::optional<QString> deleteSaved;
    // The quick search over every kind (--quick TEXT), or a list of codes checked line by line
    // (--quick-list FILE, "-" for standard input); --kind narrows either to some kinds.
    std::optional<QString> quick;
    std::optional<QString> quickList;
    QStringList kinds;
    bool isQuick() const { return quick || quickList; }
    // --preview ROW: where its picture goes and its size.
    std::optional<QString> previewOut;
    std::optional<QSize> previewSize;
};

struct ParseResult {
    // Serve: --serve alone, searches asked one after another on standard input.
    enum class Status { Ok, Help, Usage, Serve };
    Status status = Status::Ok;
    QString error;            // for Usage: what was wrong
    SearchOptions options;
};

class SearchCommandLine {
public:
    // Parses the arguments after the program name.
    static ParseResult parse(const QStringList& arguments);
    static QString helpText();
    static QString usageLine();
};

} // namespace zq::tool

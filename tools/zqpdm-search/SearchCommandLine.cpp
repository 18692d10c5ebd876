#include "SearchCommandLine.h"

#include <QRegularExpression>
#include <functional>
#include <map>

namespace zq::tool {

namespace {

// A failed parse step carries its message up to parse().
struct UsageError {
    QString message;
};

[[noreturn]] void fail(const QString& message) { throw UsageError{message}; }

int parseNumber(const QString& option, const QString& text, int minimum, const QString& what)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < minimum || text.trimmed() != text || text.startsWith(u'+'))
        fail(QStringLiteral("%1: \"%2\" is not a valid %3").arg(option, text, what));
    return value;
}

// "LEFT<sep>RIGHT" split at the first separator; both sides must be present.
std::pair<QString, QString> splitOnce(const QString& option, const QString& text, QChar separator, const QString& form)
{
    const qsizetype at = text.indexOf(separator);
    if (at < 0)
        fail(QStringLiteral("%1: \"%2\" is not of the form %3").arg(option, text, form));
    return {text.left(at), text.mid(at + 1)};
}

Action parseSet(const QString& option, const QString& value)
{
    const auto [id, text] = splitOnce(option, value, u'=', QStringLiteral("ID=VALUE"));
    Action action{ActionKind::Set};
    action.id = parseNumber(option, id, 0, QStringLiteral("control id"));
    action.text = text;
    return action;
}

Action parseCell(const QString& option, const QString& value)
{
    const auto [target, text] = splitOnce(option, value, u'=', QStringLiteral("ID:ROW=TEXT"));
    const auto [id, row] = splitOnce(option, target, u':', QStringLiteral("ID:ROW=TEXT"));
    Action action{ActionKind::Cell};
    action.id = parseNumber(option, id, 0, QStringLiteral("control id"));
    action.row = parseNumber(option, row, 0, QStringLiteral("row"));
    action.text = text;
    return action;
}

Action parseClick(const QString& option, const QString& value)
{
    Action action{ActionKind::Click};
    action.id = parseNumber(option, value, 0, QStringLiteral("control id"));
    return action;
}

Action parsePick(const QString& option, const QString& value)
{
    Action action{ActionKind::Pick};
    action.names = value.split(u',');
    for (const QString& name : std::as_const(action.names))
        if (name.trimmed().isEmpty())
            fail(QStringLiteral("%1: \"%2\" has an empty name").arg(option, value));
    return action;
}

Action parseTree(const QString& option, const QString& value)
{
    const QStringList codes = value.split(QStringLiteral("::"));
    for (const QString& code : codes)
        if (code.isEmpty())
            fail(QStringLiteral("%1: \"%2\" is not a path of codes joined by \"::\"").arg(option, value));
    Action action{ActionKind::Tree};
    action.text = value;
    return action;
}

bool parseSwitch(const QString& option, const QString& value)
{
    if (value == u"0")
        return false;
    if (value == u"1")
        return true;
    fail(QStringLiteral("%1: \"%2\" must be 0 or 1").arg(option, value));
}

Action parseRowAction(ActionKind kind, const QString& option, const QString& value)
{
    Action action{kind};
    action.row = parseNumber(option, value, 0, QStringLiteral("row"));
    return action;
}

Action parseMenu(const QString& option, const QString& value)
{
    const auto [row, command] = splitOnce(option, value, u':', QStringLiteral("ROW:CMD"));
    Action action{ActionKind::Menu};
    action.row = parseNumber(option, row, 0, QStringLiteral("row"));
    action.command = parseNumber(option, command, 1, QStringLiteral("menu command"));
    return action;
}

Action parseExport(const QString& option, const QString& value)
{
    Action action{ActionKind::Export};
    action.text = value;
    static const QRegularExpression withFilter(QStringLiteral("^(.*):([0-9]+)$"));
    if (const auto match = withFilter.match(value); match.hasMatch()) {
        action.text = match.captured(1);
        action.filter = match.captured(2).toInt();
        if (action.filter != 1 && action.filter != 2)
            fail(QStringLiteral("%1: filter entry \"%2\" must be 1 (comma-separated) or 2 (space-aligned)")
                     .arg(option, match.captured(2)));
    }
    if (action.text.isEmpty())
        fail(QStringLiteral("%1: a file name is needed").arg(option));
    return action;
}

using ActionParser = std::function<Action(const QString& option, const QString& value)>;

const std::map<QString, ActionParser>& actionParsers()
{
    static const std::map<QString, ActionParser> parsers{
        {QStringLiteral("--set"), parseSet},
        {QStringLiteral("--cell"), parseCell},
        {QStringLiteral("--click"), parseClick},
        {QStringLiteral("--pick"), parsePick},
        {QStringLiteral("--tree"), parseTree},
        {QStringLiteral("--link"), [](const QString& o, const QString& v) {
             Action action{ActionKind::Link};
             action.on = parseSwitch(o, v);
             return action;
         }},
        {QStringLiteral("--select"), [](const QString& o, const QString& v) { return parseRowAction(ActionKind::Select, o, v); }},
        {QStringLiteral("--dblclick"), [](const QString& o, const QString& v) { return parseRowAction(ActionKind::DblClick, o, v); }},
        {QStringLiteral("--menu"), parseMenu},
        {QStringLiteral("--export"), parseExport},
    };
    return parsers;
}

using OptionSetter = std::function<void(SearchOptions&, const QString& option, const QString& value)>;

const std::map<QString, OptionSetter>& optionSetters()
{
    static const std::map<QString, OptionSetter> setters{
        {QStringLiteral("--page"), [](SearchOptions& o, const QString& opt, const QString& v) {
             if (v.isEmpty())
                 fail(QStringLiteral("%1: a page caption is needed").arg(opt));
             o.page = v;
         }},
        {QStringLiteral("--home"), [](SearchOptions& o, const QString& opt, const QString& v) {
             if (v.isEmpty())
                 fail(QStringLiteral("%1: a folder is needed").arg(opt));
             o.home = v;
         }},
        {QStringLiteral("--db"), [](SearchOptions& o, const QString& opt, const QString& v) {
             if (v.isEmpty())
                 fail(QStringLiteral("%1: a database URL is needed").arg(opt));
             o.db = v;
         }},
        {QStringLiteral("--today"), [](SearchOptions& o, const QString& opt, const QString& v) {
             const QDate date = QDate::fromString(v, QStringLiteral("yyyy-MM-dd"));
             if (!date.isValid())
                 fail(QStringLiteral("%1: \"%2\" is not a date of the form yyyy-MM-dd").arg(opt, v));
             o.today = date;
         }},
        {QStringLiteral("--answer"), [](SearchOptions& o, const QString& opt, const QString& v) {
             if (v != u"yes" && v != u"no")
                 fail(QStringLiteral("%1: \"%2\" must be yes or no").arg(opt, v));
             o.answerYes = v == u"yes";
         }},
        {QStringLiteral("--cancel-after"), [](SearchOptions& o, const QString& opt, const QString& v) {
             o.cancelAfter = parseNumber(opt, v, 0, QStringLiteral("row count"));
         }},
    };
    return setters;
}

bool isConditionAction(ActionKind kind)
{
    return kind == ActionKind::Set || kind == ActionKind::Cell || kind == ActionKind::Click
        || kind == ActionKind::Pick || kind == ActionKind::Tree;
}

bool isResultAction(ActionKind kind)
{
    return kind == ActionKind::Select || kind == ActionKind::DblClick || kind == ActionKind::Menu
        || kind == ActionKind::Export;
}

// Without an explicit --find, one Find goes after the last condition action and before the
// first result action.
void insertImplicitFind(QList<Action>& actions)
{
    for (const Action& action : std::as_const(actions))
        if (action.kind == ActionKind::Find)
            return;
    qsizetype lastCondition = -1;
    qsizetype firstResult = -1;
    for (qsizetype i = 0; i < actions.size(); ++i) {
        if (isConditionAction(actions[i].kind))
            lastCondition = i;
        if (isResultAction(actions[i].kind) && firstResult < 0)
            firstResult = i;
    }
    if (firstResult >= 0 && lastCondition > firstResult)
        fail(QStringLiteral("%1 comes after %2: give --find explicitly to say when to search")
                 .arg(actions[lastCondition].describe(), actions[firstResult].describe()));
    Action find{ActionKind::Find};
    find.implicit = true;
    const qsizetype at = lastCondition >= 0 ? lastCondition + 1 : (firstResult >= 0 ? firstResult : actions.size());
    actions.insert(at, find);
}

} // namespace

QString Action::describe() const
{
    switch (kind) {
    case ActionKind::Set: return QStringLiteral("--set %1=%2").arg(id).arg(text);
    case ActionKind::Cell: return QStringLiteral("--cell %1:%2=%3").arg(id).arg(row).arg(text);
    case ActionKind::Click: return QStringLiteral("--click %1").arg(id);
    case ActionKind::Pick: return QStringLiteral("--pick %1").arg(names.join(u','));
    case ActionKind::Tree: return QStringLiteral("--tree %1").arg(text);
    case ActionKind::Find: return QStringLiteral("--find");
    case ActionKind::Link: return QStringLiteral("--link %1").arg(on ? 1 : 0);
    case ActionKind::Select: return QStringLiteral("--select %1").arg(row);
    case ActionKind::DblClick: return QStringLiteral("--dblclick %1").arg(row);
    case ActionKind::Menu: return QStringLiteral("--menu %1:%2").arg(row).arg(command);
    case ActionKind::Export: return QStringLiteral("--export %1:%2").arg(text).arg(filter);
    }
    return QString();
}

ParseResult SearchCommandLine::parse(const QStringList& arguments)
{
    ParseResult result;
    if (arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h"))) {
        result.status = ParseResult::Status::Help;
        return result;
    }
    try {
        QStringList seen;
        for (qsizetype i = 0; i < arguments.size(); ++i) {
            const QString& option = arguments[i];
            if (option == u"--find") {
                result.options.actions.append(Action{ActionKind::Find});
                continue;
            }
            if (option == u"--trace-sql") {
                result.options.traceSql = true;
                continue;
            }
            const auto setter = optionSetters().find(option);
            const auto parser = actionParsers().find(option);
            if (setter == optionSetters().end() && parser == actionParsers().end())
                fail(option.startsWith(u'-') ? QStringLiteral("unknown option \"%1\"").arg(option)
                                             : QStringLiteral("unexpected argument \"%1\"").arg(option));
            if (i + 1 >= arguments.size())
                fail(QStringLiteral("%1 needs a value").arg(option));
            const QString& value = arguments[++i];
            if (setter != optionSetters().end()) {
                if (seen.contains(option))
                    fail(QStringLiteral("%1 is given twice").arg(option));
                seen.append(option);
                setter->second(result.options, option, value);
            } else {
                result.options.actions.append(parser->second(option, value));
            }
        }
        if (result.options.page.isEmpty())
            fail(QStringLiteral("--page CAPTION is required"));
        insertImplicitFind(result.options.actions);
    } catch (const UsageError& error) {
        result.status = ParseResult::Status::Usage;
        result.error = error.message;
    }
    return result;
}

QString SearchCommandLine::usageLine()
{
    return QStringLiteral("usage: zqpdm-search --page CAPTION [--home DIR] [--db URL] [--today yyyy-MM-dd] [ACTION]...\n"
                          "       zqpdm-search --help");
}

QString SearchCommandLine::helpText()
{
    return usageLine() + QStringLiteral(R"(

Drives the PDM search window without a display: opens the search page CAPTION (a caption of
the installation's page list, e.g. 设计零部件), applies the actions in the order given and prints
the page's result list. Every dialog is answered from the options; nothing is shown. The program
is the module's host: its product tree (the products, then every part-list line below its parent,
each item shown as code and name) is read whole from the database before the first action, a
branch ending where a code repeats one above it; a "Locate" it receives is printed and does not
move that tree.

Options (anywhere on the line, each at most once):
  --page CAPTION      the search page (tab caption) to use; required
  --home DIR          the client installation (sets ZQPDM_HOME; also ZQPDM_SYSDIR=DIR/sys when
                      that folder exists and ZQPDM_SYSDIR is unset)
  --db URL            the database (sets ZQPDM_DB): sqlite:PATH, postgresql://user@host:port/db, odbc:DSN=...
  --today yyyy-MM-dd  the current date the window sees (date pickers start from it)
  --answer yes|no     the answer to every yes/no question (default no)
  --cancel-after N    press "取消" when the progress window reaches row N (N rows remain)
  --trace-sql         print every SQL statement sent, as "SQL: <text>", on standard error (from
                      the creation of the search window on; the host tree is read before it)
  --help, -h          this text

Actions (applied in order):
  --set ID=VALUE      set control ID as a user would, firing its notifications: edit text; combo
                      box index (a number) or item text; check box / radio button 0|1 (clicked
                      when it changes); date picker yyyy-MM-dd. A control the page keeps hidden
                      can be set too, e.g. the document kind list 1254 of 设计文档 (0 所有,
                      1 项目文档, 2 设计文档, 3 归档文档)
  --cell ID:ROW=TEXT  type TEXT into column 1 of row ROW of list control ID
  --click ID          click button ID (on the page, else on the search window)
  --pick NAME[,NAME]  answer for the next picker dialog, which then shows nothing: a user picker
                      takes the first name (a login name), a department picker takes all, in
                      order; give it before the action that opens the picker
  --tree PATH         select the host tree item at PATH (codes joined by "::", e.g. P::A::B) and
                      pass it on with SetCurTreeItem
  --find              press "查找"; without any --find one is pressed after the last
                      --set/--cell/--click/--pick/--tree and before the first
                      --select/--dblclick/--menu/--export
  --link 0|1          untick / tick "关联视图项"
  --select ROW        select result row ROW (as a click would; item-changed fires)
  --dblclick ROW      double-click result row ROW: the row is selected first (item-changed
                      fires), as a real double-click does, then the double-click runs; on
                      设计文档 and 资源文件 it opens the row's stored file (OPEN line)
  --menu ROW:CMD      right-click row ROW and choose context-menu command CMD
  --export FILE[:N]   press "另存为..." and save to FILE with filter entry N (1 comma-separated,
                      2 space-aligned; default 1)

Output:
  standard output     at the end, the current page's result list: the header line, then one line
                      per row, cells joined by a tab
  standard error      in the order they happen:
                        MSG<TAB>caption<TAB>text        each message box
                        CMD<TAB>command<TAB>argument    each host command, e.g. CMD<TAB>Locate<TAB>A1@^P1
                        CLIP<TAB>text                   each clipboard text
                        OPEN<TAB>path                   each file opened with the shell
                        CALL<TAB>Component::Operation<TAB>args...   each service call
                        STATUS<TAB>text                 the status line after each Find
                        SQL: text                       the SQL trace (--trace-sql)
                      A tab, line feed or carriage return inside a printed text appears as \t, \n, \r.

Exit status:
  0  every action ran
  1  the page is not in the page list or failed to initialise
  2  usage error
  3  an action could not be carried out (no such control, row out of range, path not in the tree)
)");
}

} // namespace zq::tool

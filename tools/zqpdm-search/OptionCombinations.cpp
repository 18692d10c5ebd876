#include "OptionCombinations.h"
#include "CommandLineValues.h"

#include <algorithm>

namespace zq::tool::args {

namespace {

bool isConditionAction(ActionKind kind)
{
    return kind == ActionKind::Set || kind == ActionKind::Cell || kind == ActionKind::Click
        || kind == ActionKind::Pick || kind == ActionKind::Tree || kind == ActionKind::Saved;
}

bool isResultAction(ActionKind kind)
{
    return kind == ActionKind::Select || kind == ActionKind::DblClick || kind == ActionKind::Menu
        || kind == ActionKind::Export || kind == ActionKind::Preview;
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

// The quick search runs on its own: no page, no page actions, nothing saved.
void checkQuickOptions(const SearchOptions& options)
{
    if (options.quick && options.quickList)
        fail(QStringLiteral("--quick and --quick-list go one at a time"));
    const QString quick = options.quick ? QStringLiteral("--quick") : QStringLiteral("--quick-list");
    if (!options.page.isEmpty())
        fail(QStringLiteral("%1 searches every kind of data and does not go with --page").arg(quick));
    if (!options.actions.isEmpty())
        fail(QStringLiteral("%1 does not go with page actions such as %2").arg(quick, options.actions.first().describe()));
    if (options.describe || options.saveAs || options.listSaved || options.deleteSaved || options.cancelAfter)
        fail(QStringLiteral("%1 does not go with --describe, --save, --list-saved, --delete-saved or --cancel-after")
                 .arg(quick));
}

} // namespace

void checkCombinations(SearchOptions& options)
{
    const bool storeOnly = options.listSaved || options.deleteSaved;
    if (options.isQuick()) {
        checkQuickOptions(options);
        return;
    }
    if (!options.kinds.isEmpty())
        fail(QStringLiteral("--kind goes with --quick TEXT or --quick-list FILE"));
    if (options.page.isEmpty() && !storeOnly)
        fail(QStringLiteral("--page CAPTION is required"));
    if (storeOnly && (!options.actions.isEmpty() || options.saveAs || options.describe))
        fail(QStringLiteral("--list-saved and --delete-saved run on their own, without actions, --save or --describe"));
    // Listing while deleting would show a list that is already out of date.
    if (options.listSaved && options.deleteSaved)
        fail(QStringLiteral("--list-saved and --delete-saved go one at a time: run --delete-saved NAME, then "
                            "--list-saved"));
    if (options.saveShared && !options.saveAs && !options.deleteSaved)
        fail(QStringLiteral("--shared goes with --save NAME or --delete-saved NAME"));
    if ((options.saveFixedDates || options.saveReplace) && !options.saveAs)
        fail(QStringLiteral("--fixed-dates and --replace go with --save NAME"));
    const bool previews = std::any_of(options.actions.cbegin(), options.actions.cend(),
                                      [](const Action& a) { return a.kind == ActionKind::Preview; });
    if (previews && !options.previewOut)
        fail(QStringLiteral("--preview ROW needs --preview-out FILE.png"));
    if (!previews && (options.previewOut || options.previewSize))
        fail(QStringLiteral("--preview-out and --preview-size go with --preview ROW"));
    // A description shows the page as the actions leave it; it searches only when told to.
    if (!options.describe && !storeOnly)
        insertImplicitFind(options.actions);
}

} // namespace zq::tool::args

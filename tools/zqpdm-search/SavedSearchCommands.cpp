#include "SavedSearchCommands.h"
#include "SearchSession.h"

#include "OutputLines.h"
#include "SavedSearchMenu.h"
#include "SavedSearchStore.h"
#include "ZQPDMSearchMain.h"
#include "ZQSearchPage.h"

namespace zq::tool {

void SavedSearchCommands::note(const QString& text) const
{
    WriteErrorLine(m_events.note(text));
}

QString SavedSearchCommands::list() const
{
    const zq::SavedSearchStore store;
    QList<QStringList> rows;
    for (const zq::SavedSearch& search : store.searches(m_options.page))
        rows.append({search.name, search.tab, search.shared ? QStringLiteral("shared") : QStringLiteral("own"),
                     search.savedAt.toString(Qt::ISODate), search.savedBy});
    noteStoreProblems(store);
    return WriteOutput(ResultFormats::format(m_options.format,
                                             {QStringLiteral("name"), QStringLiteral("tab"), QStringLiteral("owner"),
                                              QStringLiteral("saved at"), QStringLiteral("saved by")},
                                             rows));
}

// The user's own search of that name; a shared one only when --shared says so, since it is
// everyone's.
int SavedSearchCommands::remove() const
{
    zq::SavedSearchStore store;
    const QString& name = *m_options.deleteSaved;
    const QString where = m_options.page.isEmpty() ? QString() : QStringLiteral(" on %1").arg(m_options.page);
    std::optional<zq::SavedSearch> search = m_options.saveShared ? store.findShared(name, m_options.page)
                                                                 : store.find(name, m_options.page);
    noteStoreProblems(store);
    if (!search) {
        note(QStringLiteral("--delete-saved: there is no %1saved search \"%2\"%3 (--list-saved lists them)")
                 .arg(m_options.saveShared ? QStringLiteral("shared ") : QString(), name, where));
        return SearchSession::UsageError;
    }
    if (search->shared && !m_options.saveShared) {
        note(QStringLiteral("--delete-saved: \"%1\"%2 is a shared search%3, which everyone uses; "
                            "--delete-saved \"%1\" --shared deletes it")
                 .arg(name, where, savedByNote(*search)));
        return SearchSession::UsageError;
    }
    QString error;
    if (!store.remove(*search, &error)) {
        WriteErrorLine(m_events.event(QStringLiteral("ERROR"), {QStringLiteral("--delete-saved"), error}));
        return SearchSession::Failed;
    }
    return SearchSession::Ok;
}

QString SavedSearchCommands::apply(CZQPDMSearchMain& main, const QString& name, const QDate& today) const
{
    zq::SavedSearchMenu& saved = main.SavedSearches();
    QString missing;
    const std::optional<zq::SavedSearch> search = saved.FindOnCurrentTab(name, &missing);
    noteStoreProblems(saved.Store());
    if (!search)
        return missing;
    CZQSearchPage* page = main.CurrentPage();
    const QStringList skipped = page->RestoreConditions(search->conditions, today);
    for (const QString& part : skipped)
        note(QStringLiteral("--saved %1: skipped %2").arg(name, part));
    return QString();
}

// The user's own search of that name is replaced, as a user saving again means to; a shared one,
// which others may run, only with --replace.
int SavedSearchCommands::save(CZQPDMSearchMain& main) const
{
    zq::SavedSearchMenu& saved = main.SavedSearches();
    const zq::SavedSearch search = saved.Capture(*m_options.saveAs, m_options.saveFixedDates, m_options.saveShared);
    const bool replace = !m_options.saveShared || m_options.saveReplace;
    const zq::SavedSearchStore::Outcome outcome =
        saved.Store().save(search, replace ? zq::SavedSearchStore::IfTaken::Replace : zq::SavedSearchStore::IfTaken::Refuse);
    noteStoreProblems(saved.Store());
    if (outcome.taken()) {
        note(QStringLiteral("--save %1 --shared: a shared search \"%1\" on %2 is there already%3; --replace replaces it")
                 .arg(search.name, search.tab, savedByNote(*outcome.existing)));
        return SearchSession::UsageError;
    }
    if (!outcome) {
        WriteErrorLine(m_events.event(QStringLiteral("ERROR"), {QStringLiteral("--save %1").arg(*m_options.saveAs), outcome.error}));
        return SearchSession::Failed;
    }
    return SearchSession::Ok;
}

QString SavedSearchCommands::savedByNote(const zq::SavedSearch& search)
{
    if (search.savedBy.isEmpty())
        return QString();
    return QStringLiteral(" (saved by %1 at %2)").arg(search.savedBy, search.savedAt.toString(Qt::ISODate));
}

void SavedSearchCommands::noteStoreProblems(const zq::SavedSearchStore& store) const
{
    for (const QString& problem : store.takeProblems())
        note(problem);
}

} // namespace zq::tool

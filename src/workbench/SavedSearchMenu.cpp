#include "SavedSearchMenu.h"

#include "Desktop.h"
#include "FlatTabCtrl.h"
#include "ManageSearchesDialog.h"
#include "PageConditions.h"
#include "SaveSearchDialog.h"
#include "SavedSearchQuestions.h"
#include "ZQPDMFC.h"
#include "ZQPDMSearchMain.h"
#include "ZQSearchPage.h"

#include <QAbstractButton>

namespace zq {

namespace {

enum MenuCommand { kSave = 1, kManage = 2, kHeading = 3, kFirstSaved = 100, kFirstRecent = 500 };
constexpr int kSummaryLength = 40;
const QString kCaption = QStringLiteral("操作提示");

QString Shortened(const QString& text)
{
    return text.size() > kSummaryLength ? text.left(kSummaryLength - 1) + QChar(0x2026) : text;
}

} // namespace

SavedSearchMenu::SavedSearchMenu(CZQPDMSearchMain& window, SavedSearchStore store)
    : m_window(window), m_store(std::move(store))
{
}

QString SavedSearchMenu::CurrentTab() const
{
    CFlatTabCtrl* tabs = m_window.TabCtrl();
    return tabs && tabs->GetCurSel() >= 0 ? tabs->GetItemText(tabs->GetCurSel()) : QString();
}

CZQSearchPage* SavedSearchMenu::CurrentPage() const
{
    return m_window.CurrentPage();
}

void SavedSearchMenu::TellProblems()
{
    TellStoreProblems(m_store);
}

void SavedSearchMenu::Show()
{
    if (!CurrentPage())
        return;
    const QString tab = CurrentTab();
    const QDate today = Desktop::current().now().date();
    const QList<SavedSearch> saved = m_store.searches(tab);
    const QList<SavedSearch> recent = m_store.recent(tab);
    TellProblems();

    QList<MenuEntry> entries;
    for (int i = 0; i < saved.size(); ++i)
        entries.append({kFirstSaved + i, ManageSearchesDialog::ItemText(saved[i])});
    if (saved.isEmpty())
        entries.append({kHeading, QStringLiteral("(还没有常用查询)"), false});
    entries.append({0, QString()});
    entries.append({kHeading, QStringLiteral("最近的查询"), false});
    for (int i = 0; i < recent.size(); ++i) {
        const QString summary = SummarizeConditions(recent[i].conditions, today, CurrentPage()->InitialConditions());
        entries.append({kFirstRecent + i, QStringLiteral("%1  %2").arg(recent[i].savedAt.toString(QStringLiteral("MM-dd hh:mm")),
                                                                      Shortened(summary.isEmpty() ? QStringLiteral("(无条件)") : summary))});
    }
    entries.append({0, QString()});
    entries.append({kSave, QStringLiteral("保存当前条件...")});
    entries.append({kManage, QStringLiteral("管理...")});

    QPoint at = Desktop::current().cursorPos();
    if (QWidget* button = Control(m_window, CZQPDMSearchMain::IDC_SAVED))
        at = button->mapToGlobal(QPoint(0, button->height()));
    const int chosen = Desktop::current().popupMenu(entries, at);
    if (chosen >= kFirstRecent && chosen - kFirstRecent < recent.size())
        Apply(recent[chosen - kFirstRecent]);
    else if (chosen >= kFirstSaved && chosen - kFirstSaved < saved.size())
        Apply(saved[chosen - kFirstSaved]);
    else if (chosen == kSave)
        SaveCurrent();
    else if (chosen == kManage)
        Manage();
}

std::optional<SavedSearch> SavedSearchMenu::FindOnCurrentTab(const QString& name, QString* missing)
{
    const QString tab = CurrentTab();
    std::optional<SavedSearch> search = m_store.find(name, tab);
    if (!search && missing) {
        QStringList names;
        for (const SavedSearch& s : m_store.searches(tab))
            names << s.name;
        *missing = QStringLiteral("there is no saved search \"%1\" on %2; %3")
                       .arg(name, tab, names.isEmpty() ? QStringLiteral("it has none")
                                                       : QStringLiteral("it has: ") + names.join(QStringLiteral(", ")));
    }
    return search;
}

QStringList SavedSearchMenu::Apply(const SavedSearch& search)
{
    if (CurrentTab() != search.tab && !m_window.SelectPageByCaption(search.tab))
        return {QStringLiteral("没有“%1”页").arg(search.tab)};
    CZQSearchPage* page = CurrentPage();
    if (!page)
        return {QStringLiteral("没有“%1”页").arg(search.tab)};
    const QStringList skipped = page->RestoreConditions(search.conditions, Desktop::current().now().date());
    if (!skipped.isEmpty())
        Desktop::current().messageBox(QStringLiteral("常用查询“%1”中有些条件没有用上:\n%2").arg(search.name, skipped.join(u'\n')),
                                      kCaption, MB_OK | MB_ICONEXCLAMATION);
    m_window.OnFind();
    return skipped;
}

SavedSearch SavedSearchMenu::Capture(const QString& name, bool fixedDates, bool shared) const
{
    SavedSearch search;
    search.name = name;
    search.tab = CurrentTab();
    search.savedAt = Desktop::current().now();
    search.fixedDates = fixedDates;
    search.shared = shared;
    if (CZQSearchPage* page = CurrentPage())
        search.conditions = page->SaveConditions(search.savedAt.date(), fixedDates);
    return search;
}

void SavedSearchMenu::SaveCurrent()
{
    const QString tab = CurrentTab();
    const QString suggested = Shortened(SummarizeConditions(Capture(QString(), false, false).conditions,
                                                            Desktop::current().now().date(),
                                                            CurrentPage()->InitialConditions()));
    SaveSearchDialog dialog(tab, suggested, m_store.canShare(), &m_window);
    if (Desktop::current().execDialog(dialog) != QDialog::Accepted || dialog.name().isEmpty())
        return;
    const SavedSearch search = Capture(dialog.name(), dialog.fixedDates(), dialog.shared());
    // Whether the name is taken is decided under the store's lock, so a search someone else
    // saved under it a moment ago is asked about too.
    ChangeAsking([&](SavedSearchStore::IfTaken ifTaken) { return m_store.save(search, ifTaken); });
    TellProblems();
}

void SavedSearchMenu::Manage()
{
    ManageSearchesDialog dialog(m_store, CurrentTab(), &m_window);
    Desktop::current().execDialog(dialog);
    TellProblems();
}

void SavedSearchMenu::RememberRun()
{
    if (!CurrentPage())
        return;
    SavedSearch ran = Capture(QString(), false, false);
    ran.name = ran.savedAt.toString(Qt::ISODate);
    // The history is a convenience: a folder that cannot be written costs it, not the search.
    QString ignored;
    m_store.remember(ran, &ignored);
}

} // namespace zq

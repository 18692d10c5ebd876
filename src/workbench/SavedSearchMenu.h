#pragma once
// The search window's "常用查询" button: a menu of the current tab's saved searches (the user's own,
// then the shared ones, marked), the last ten run there ("最近的查询"), "保存当前条件..." and
// "管理...". Choosing a search fills the page's conditions as saved and runs "查找"; what could not
// be filled in is told. Every Find is remembered among the recent ones.
#include "SavedSearchStore.h"

#include <QString>
#include <optional>

class CZQPDMSearchMain;
class CZQSearchPage;

namespace zq {

class SavedSearchMenu {
public:
    explicit SavedSearchMenu(CZQPDMSearchMain& window, SavedSearchStore store = SavedSearchStore());

    // Shows the menu below the button and does what the user chose.
    void Show();
    // Fills the current page's conditions from the search and presses "查找"; the parts skipped
    // are returned (and told).
    QStringList Apply(const SavedSearch& search);
    // The current tab's saved search of that name (the user's own first); when there is none,
    // *missing says so and names the ones the tab has.
    std::optional<SavedSearch> FindOnCurrentTab(const QString& name, QString* missing);
    // The current page's conditions under a name, as the window would save them.
    SavedSearch Capture(const QString& name, bool fixedDates, bool shared) const;
    // After a Find: the conditions go on top of the tab's recent searches.
    void RememberRun();

    SavedSearchStore& Store() { return m_store; }

private:
    QString CurrentTab() const;
    CZQSearchPage* CurrentPage() const;
    void SaveCurrent();
    void Manage();
    void TellProblems();

    CZQPDMSearchMain& m_window;
    SavedSearchStore m_store;
};

} // namespace zq

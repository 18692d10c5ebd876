#pragma once
// "管理常用查询": the saved searches of one tab, the user's own and the shared ones, to rename (edit
// the name in the list), delete, or make shared or private; below the list, whose the selected one
// is and when it was saved (for a shared one, the login of who saved it). Shared ones change only
// for a user who may write the shared folder. Each change goes to the store at once; a name that
// is taken is replaced, and a shared search deleted, only when the user says so; a failure is told.
#include "SavedSearchStore.h"

#include <QDialog>

class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace zq {

class ManageSearchesDialog : public QDialog {
    Q_OBJECT
public:
    ManageSearchesDialog(SavedSearchStore& store, const QString& tab, QWidget* parent = nullptr);

    // The text a search is listed under: its name, marked when shared.
    static QString ItemText(const SavedSearch& search);
    // Whose the search is and when it was saved.
    static QString DetailText(const SavedSearch& search);

private:
    void reload(const QString& selectName = {});
    const SavedSearch* selected() const;
    void updateButtons();
    void onRenamed(QListWidgetItem* item);
    void onDelete();
    void onToggleShared();
    void tell(const QString& error);

    SavedSearchStore& m_store;
    QString m_tab;
    QList<SavedSearch> m_searches;
    QListWidget* m_list = nullptr;
    QLabel* m_details = nullptr;
    QPushButton* m_delete = nullptr;
    QPushButton* m_share = nullptr;
    bool m_reloading = false;
};

} // namespace zq

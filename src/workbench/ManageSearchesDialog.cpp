#include "ManageSearchesDialog.h"

#include "Desktop.h"
#include "SavedSearchQuestions.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace zq {

namespace {
constexpr int kIndexRole = Qt::UserRole + 1;
const QString kSharedMark = QStringLiteral(" (共享)");
} // namespace

ManageSearchesDialog::ManageSearchesDialog(SavedSearchStore& store, const QString& tab, QWidget* parent)
    : QDialog(parent), m_store(store), m_tab(tab)
{
    setWindowTitle(QStringLiteral("管理常用查询"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("“%1”页的常用查询 (双击名称可改名):").arg(tab), this));
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("searches"));
    m_list->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    layout->addWidget(m_list);
    m_details = new QLabel(this);
    m_details->setObjectName(QStringLiteral("details"));
    layout->addWidget(m_details);
    auto* buttons = new QHBoxLayout;
    m_delete = new QPushButton(QStringLiteral("删除"), this);
    m_delete->setObjectName(QStringLiteral("delete"));
    m_share = new QPushButton(QStringLiteral("设为共享"), this);
    m_share->setObjectName(QStringLiteral("share"));
    auto* close = new QPushButton(QStringLiteral("关闭"), this);
    close->setObjectName(QStringLiteral("close"));
    buttons->addWidget(m_delete);
    buttons->addWidget(m_share);
    buttons->addStretch();
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(m_list, &QListWidget::itemChanged, this, &ManageSearchesDialog::onRenamed);
    connect(m_list, &QListWidget::currentRowChanged, this, &ManageSearchesDialog::updateButtons);
    connect(m_delete, &QPushButton::clicked, this, &ManageSearchesDialog::onDelete);
    connect(m_share, &QPushButton::clicked, this, &ManageSearchesDialog::onToggleShared);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    reload();
}

QString ManageSearchesDialog::ItemText(const SavedSearch& search)
{
    return search.shared ? search.name + kSharedMark : search.name;
}

QString ManageSearchesDialog::DetailText(const SavedSearch& search)
{
    if (search.shared) {
        const QString by = SavedByText(search);
        return by.isEmpty() ? QStringLiteral("共享的查询") : QStringLiteral("共享的查询, %1").arg(by);
    }
    return search.savedAt.isValid()
               ? QStringLiteral("自己的查询, 保存于 %1").arg(search.savedAt.toString(QStringLiteral("yyyy-MM-dd hh:mm")))
               : QStringLiteral("自己的查询");
}

void ManageSearchesDialog::reload(const QString& selectName)
{
    m_reloading = true;
    m_searches = m_store.searches(m_tab);
    m_list->clear();
    const bool canShare = m_store.canShare();
    for (int i = 0; i < m_searches.size(); ++i) {
        const SavedSearch& search = m_searches[i];
        auto* item = new QListWidgetItem(ItemText(search), m_list);
        item->setData(kIndexRole, i);
        item->setToolTip(DetailText(search));
        if (!search.shared || canShare)
            item->setFlags(item->flags() | Qt::ItemIsEditable);
        if (search.name == selectName)
            m_list->setCurrentItem(item);
    }
    if (!m_list->currentItem() && m_list->count() > 0)
        m_list->setCurrentRow(0);
    m_reloading = false;
    updateButtons();
}

const SavedSearch* ManageSearchesDialog::selected() const
{
    const QListWidgetItem* item = m_list->currentItem();
    if (!item)
        return nullptr;
    const int index = item->data(kIndexRole).toInt();
    return index >= 0 && index < m_searches.size() ? &m_searches[index] : nullptr;
}

void ManageSearchesDialog::updateButtons()
{
    const SavedSearch* search = selected();
    const bool canShare = m_store.canShare();
    m_delete->setEnabled(search && (!search->shared || canShare));
    m_share->setEnabled(search && canShare);
    m_share->setText(search && search->shared ? QStringLiteral("设为个人") : QStringLiteral("设为共享"));
    m_details->setText(search ? DetailText(*search) : QString());
}

void ManageSearchesDialog::onRenamed(QListWidgetItem* item)
{
    if (m_reloading)
        return;
    const int index = item->data(kIndexRole).toInt();
    if (index < 0 || index >= m_searches.size())
        return;
    const SavedSearch search = m_searches[index];
    QString newName = item->text().trimmed();
    if (search.shared && newName.endsWith(kSharedMark))
        newName.chop(kSharedMark.size());
    // The list is rebuilt after the item has finished telling of its change, not while it does.
    QMetaObject::invokeMethod(
        this,
        [this, search, newName] {
            // Declined or failed, the list shows the old name again.
            const bool renamed = newName == search.name || ChangeAsking([&](SavedSearchStore::IfTaken ifTaken) {
                                     return m_store.rename(search, newName, ifTaken);
                                 });
            reload(renamed ? newName : search.name);
        },
        Qt::QueuedConnection);
}

void ManageSearchesDialog::onDelete()
{
    const SavedSearch* search = selected();
    if (!search)
        return;
    if (!ConfirmDelete(*search))
        return;
    QString error;
    if (!m_store.remove(*search, &error))
        tell(error);
    reload();
}

void ManageSearchesDialog::onToggleShared()
{
    const SavedSearch* search = selected();
    if (!search)
        return;
    const SavedSearch toggled = *search;
    ChangeAsking([&](SavedSearchStore::IfTaken ifTaken) { return m_store.setShared(toggled, !toggled.shared, ifTaken); });
    reload(toggled.name);
}

void ManageSearchesDialog::tell(const QString& error)
{
    Desktop::current().messageBox(error, QStringLiteral("操作提示"), MB_OK | MB_ICONEXCLAMATION);
}

} // namespace zq

#include "ColumnWidthMemory.h"

#include "ListCtrl.h"

namespace zq {

ColumnWidthMemory::ColumnWidthMemory(const SearchWindowState& state, QObject* parent) : QObject(parent), m_state(state)
{
    m_saveTimer.setSingleShot(true);
    m_saveTimer.setInterval(kSaveDelayMs);
    connect(&m_saveTimer, &QTimer::timeout, this, &ColumnWidthMemory::Save);
}

ColumnWidthMemory::~ColumnWidthMemory()
{
    Save();
}

void ColumnWidthMemory::Attach(CReportListCtrl* list, const QString& tab)
{
    if (!list)
        return;
    list->SetFitsColumnsOnFirstFill(true);
    if (!m_remembered)
        m_remembered = m_state.allColumnWidths();
    const QMap<QString, int> remembered = m_remembered->value(tab);
    CHeaderCtrl* header = list->GetHeaderCtrl();
    for (int column = 0; column < list->GetColumnCount(); ++column) {
        const auto width = remembered.constFind(header->GetItemText(column));
        // A column the page hides (width 0) stays hidden whatever the user gave it once.
        if (width != remembered.constEnd() && list->GetColumnWidth(column) > 0)
            list->SetUserColumnWidth(column, *width);
    }
    connect(list, &CReportListCtrl::columnWidthSetByUser, this, [this, list, tab](int column, int width) {
        const QString heading = list->GetHeaderCtrl()->GetItemText(column);
        if (!heading.isEmpty() && width > 0)
            remember(tab, heading, width);
    });
}

void ColumnWidthMemory::remember(const QString& tab, const QString& heading, int width)
{
    m_unsaved[tab].insert(heading, width);
    m_saveTimer.start();
}

void ColumnWidthMemory::Save()
{
    m_saveTimer.stop();
    // Widths that cannot be written (a newer version's file, a full disk) are only lost for later
    // sessions; this one keeps them on its lists.
    for (auto tab = m_unsaved.cbegin(); tab != m_unsaved.cend(); ++tab)
        m_state.saveColumnWidths(tab.key(), tab.value());
    m_unsaved.clear();
}

} // namespace zq

#pragma once
// The widths the user gives the columns of each tab's result list, kept from one session to the
// next: applied when the tab's page is made, and written to the user's settings a moment after
// the user stops dragging a column's edge (and at the latest when the window goes).
#include "SearchWindowState.h"

#include <QMap>
#include <QObject>
#include <QString>
#include <QTimer>
#include <optional>

class CReportListCtrl;

namespace zq {

class ColumnWidthMemory : public QObject {
    Q_OBJECT
public:
    explicit ColumnWidthMemory(const SearchWindowState& state, QObject* parent = nullptr);
    ~ColumnWidthMemory() override;

    // Gives the list the widths remembered for the tab, lets it fit its other columns on its first
    // fill, and remembers what the user sets from now on.
    void Attach(CReportListCtrl* list, const QString& tab);
    // Writes what is not written yet.
    void Save();

    // How long after the last change the widths are written.
    static constexpr int kSaveDelayMs = 500;

private:
    void remember(const QString& tab, const QString& heading, int width);

    const SearchWindowState& m_state;
    std::optional<QMap<QString, QMap<QString, int>>> m_remembered;   // read once, when the first page is made
    QMap<QString, QMap<QString, int>> m_unsaved;   // tab → heading → width
    QTimer m_saveTimer;
};

} // namespace zq

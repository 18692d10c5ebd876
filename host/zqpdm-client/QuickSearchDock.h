#pragma once
// The quick search's results beside the product tree: the counts by kind ("设计零部件 12 ·
// 设计文档 3", a kind clicked shows only its hits, "全部" all again), the hits ranked, and for a
// pasted list the line-by-line check with 另存为 CSV. A double-click asks to open the hit on its
// tab; "定位" asks to select a design part in the product tree.
#include "PastedList.h"
#include "QuickHit.h"

#include <QDockWidget>
#include <optional>

class QLabel;
class QPushButton;
class QTableWidget;

namespace zq::host {

class QuickSearchDock : public QDockWidget {
    Q_OBJECT
public:
    explicit QuickSearchDock(QWidget* parent = nullptr);

    // A new search: the list empties and says it is searching for `text`.
    void beginSearch(const QString& text);
    // One kind has been read: its hits join the list at their rank.
    void addKind(const quick::KindResult& kind);
    void finishSearch(const quick::QuickResult& result);
    void showList(const QList<quick::ListLine>& lines);
    void showFailure(const QString& message);

    // Only the hits of this kind; empty: every kind.
    void filterKind(const QString& kind);
    QString countsText() const;
    QTableWidget* hitTable() const { return m_table; }
    // The hit on a row of the list as it stands (filtered), or nothing.
    std::optional<quick::QuickHit> hitAt(int row) const;

Q_SIGNALS:
    void openRequested(const zq::quick::QuickHit& hit);
    void locateRequested(const zq::quick::QuickHit& hit);

private:
    void showHits();
    void showCounts();
    void updateButtons();
    void exportList();

    QLabel* m_counts = nullptr;
    QLabel* m_state = nullptr;
    QTableWidget* m_table = nullptr;
    QPushButton* m_locate = nullptr;
    QPushButton* m_export = nullptr;
    QList<quick::KindResult> m_kinds;
    QList<quick::QuickHit> m_shown;        // the rows of the table, in order
    QList<quick::ListLine> m_lines;        // a pasted list's check
    QString m_filter;
};

} // namespace zq::host

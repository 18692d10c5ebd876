#pragma once
// Row model behind CReportListCtrl. Every row is held at once for the control's own API
// (texts, icon, item data), while rows appended since the last flush are announced to the
// view in one batch at display rate: a view told of each row separately costs tens of
// microseconds a row when a list is filled while events are pumped.
#include <QAbstractTableModel>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QTimer>
#include "RowTexts.h"
#include <functional>
#include <span>
#include <vector>

class CImageList;

class ReportRowModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Column {
        QString heading;
        int format = 0;   // 0 left, 1 right, 2 centre
    };

    explicit ReportRowModel(QObject* parent = nullptr);

    // Qt model interface: sees the rows announced so far.
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Control interface: sees every row.
    int rows() const { return int(m_rows.size()); }
    int columns() const { return int(m_columns.size()); }
    // Inserts a column at the position (clamped to the column count); returns its index.
    int insertColumn(int column, const QString& heading, int format);
    bool removeColumn(int column);
    QString heading(int column) const;

    // Inserts a row at the position (clamped to the row count); −1 for a negative position.
    int insertRow(int row, const QString& text, int image);
    // The same with the sub-items too; texts past the last column are dropped.
    int insertRow(int row, std::span<const QAnyStringView> texts, int image);
    bool removeRow(int row);
    void clear();
    // Column 0 is the item text; other columns must exist.
    bool setText(int row, int column, const QString& text);
    QString text(int row, int column) const;
    // Latin-1 or UTF-16, as the list holds it; valid until the row or cell changes.
    QAnyStringView textView(int row, int column) const;
    // Calls `visit` with the texts of columns [0, columns) of every row, row 0 first (empty
    // views for missing cells). Reads ahead of the row visited, so walking a long list is bound
    // by the work done on the texts rather than by waiting for them to come from memory.
    void visitRows(int columns, const std::function<void(std::span<const QStringView>)>& visit) const;
    // The same with the texts in the form the rows hold them (Latin-1 or UTF-16), for a writer
    // that takes either without widening a text first.
    void visitHeldRows(int columns, const std::function<void(std::span<const QAnyStringView>)>& visit) const;
    bool setImage(int row, int image);
    int image(int row) const;
    // A row's item data (the control's), beside the model's own per-role item data.
    bool setItemData(int row, void* data);
    void* itemData(int row) const;
    using QAbstractTableModel::itemData;
    using QAbstractTableModel::setItemData;
    // Stable sort by one column's text; each row moves whole (texts, icon, item data) and
    // persistent indexes (selection, current row) follow their rows.
    void sortByColumn(int column, bool ascending);

    void setImageList(const CImageList* images);
    void setEditableColumns(const QList<int>& columns);
    bool isEditable(int column) const { return m_editable.contains(column); }

    // Rows held but not yet announced to the view.
    int pendingRows() const { return rows() - m_announced; }
    // Announces the pending rows now.
    void flush();

    // How long rows wait at most before they are announced (a display frame).
    static constexpr int kFlushIntervalMs = 16;

Q_SIGNALS:
    // A cell's text was changed through the view (in-place editing).
    void cellEdited(int row, int column);

private:
    struct Row {
        RowTexts texts;    // texts.at(0) is the item text; missing entries read as empty
        int image = -1;
        void* data = nullptr;
    };
    int insertRow(int row, RowTexts texts, int image);
    bool validRow(int row) const { return row >= 0 && row < rows(); }
    void announceChange(int row, int column);

    RowTexts::Arena m_arena;   // blocks of the rows inserted whole; outlives m_rows
    std::vector<Row> m_rows;
    QList<Column> m_columns;
    QList<int> m_editable;
    const CImageList* m_images = nullptr;
    int m_announced = 0;   // rows [0, m_announced) are known to the view
    QTimer m_flushTimer;
};

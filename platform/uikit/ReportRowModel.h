#pragma once
// Row model behind CReportListCtrl: every row is kept at once for the control's API, while
// rows appended since the last flush are announced to the view in one batch.
#include <QAbstractTableModel>
#include <QIcon>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <vector>

class CImageList;

class ReportRowModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Column {
        QString heading;
        int format = 0;
    };

    explicit ReportRowModel(QObject* parent = nullptr);

    // Qt model interface: sees only the rows announced so far.
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Control interface: sees every row.
    int rows() const { return int(m_rows.size()); }
    int columns() const { return int(m_columns.size()); }
    int insertColumn(int column, const QString& heading, int format);
    bool removeColumn(int column);
    QString heading(int column) const;

    int insertRow(int row, const QString& text, int image);
    bool removeRow(int row);
    void clear();
    bool setText(int row, int column, const QString& text);
    QString text(int row, int column) const;
    bool setImage(int row, int image);
    int image(int row) const;
    bool setItemData(int row, void* data);
    void* itemData(int row) const;
    // Stable order by a column's text, keeping each row whole (item data included).
    void sortByColumn(int column, bool ascending);

    void setImageList(const CImageList* images);
    void setEditableColumns(const QList<int>& columns);
    bool isEditable(int column) const;

    // Rows held but not yet announced to the view.
    int pendingRows() const { return int(m_rows.size()) - m_announced; }
    // Announces the pending rows now.
    void flush();

Q_SIGNALS:
    // A cell was changed through the view (in-place editing).
    void cellEdited(int row, int column);

private:
    struct Row {
        QStringList texts;    // column 0 is the item text
        int image = -1;
        void* data = nullptr;
    };
    bool validRow(int row) const { return row >= 0 && row < int(m_rows.size()); }
    void scheduleFlush();

    std::vector<Row> m_rows;
    QList<Column> m_columns;
    QList<int> m_editable;
    const CImageList* m_images = nullptr;
    int m_announced = 0;
    QTimer m_flushTimer;
};

#pragma once
// The report list control: columns, item text, sub-items, icons, item data, selection mark,
// header, single or multi selection and notifications, on QTableView and a row model of our
// own. The model keeps every row for the control's API at once but announces new rows to the
// view in batches, so filling a list while pumping events costs microseconds a row.
#include <QIcon>
#include <QList>
#include <QPersistentModelIndex>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QTableView>
#include <functional>
#include <memory>
#include <span>

class ReportRowModel;

// The list's header control: column count and texts.
class CHeaderCtrl {
public:
    explicit CHeaderCtrl(const ReportRowModel& model) : m_model(model) {}
    int GetItemCount() const;
    // Header text of a column, cut to bufferSize − 1 characters like a header item read into a buffer.
    QString GetItemText(int column, int bufferSize = 256) const;
private:
    const ReportRowModel& m_model;
};

// A list of icons addressed by index (16 × 16 unless said otherwise).
class CImageList {
public:
    int Add(const QIcon& icon) { m_icons.append(icon); return int(m_icons.size()) - 1; }
    QIcon icon(int index) const { return index >= 0 && index < m_icons.size() ? m_icons[index] : QIcon(); }
    int GetImageCount() const { return int(m_icons.size()); }
private:
    QList<QIcon> m_icons;
};

class CReportListCtrl : public QTableView {
    Q_OBJECT
public:
    enum { LVCFMT_LEFT = 0, LVCFMT_RIGHT = 1, LVCFMT_CENTER = 2 };
    enum { LVS_EX_GRIDLINES = 0x1, LVS_EX_FULLROWSELECT = 0x20 };

    explicit CReportListCtrl(QWidget* parent = nullptr);
    ~CReportListCtrl() override;

    // Columns.
    int InsertColumn(int column, const QString& heading, int format = LVCFMT_LEFT, int width = 80);
    bool DeleteColumn(int column);
    int GetColumnCount() const;
    int GetColumnWidth(int column) const;
    bool SetColumnWidth(int column, int width);
    CHeaderCtrl* GetHeaderCtrl();

    // Rows. InsertItem clamps the position to the row count and returns the new row's index.
    int InsertItem(int row, const QString& text, int image = -1);
    // A row with its item text and sub-items at once (texts past the last column are dropped).
    int InsertItem(int row, QStringList texts, int image = -1);
    // The same from views of the texts, which the list copies.
    int InsertItem(int row, std::span<const QAnyStringView> texts, int image = -1);
    bool SetItemText(int row, int column, const QString& text);
    QString GetItemText(int row, int column) const;
    // The same text without a copy (Latin-1 or UTF-16, as held); valid until the row or cell changes.
    QAnyStringView ItemTextView(int row, int column) const;
    // The texts of columns [0, columns) of every row in turn, row 0 first, read ahead: the fast
    // way through a long list (export).
    void VisitRowTexts(int columns, const std::function<void(std::span<const QStringView>)>& visit) const;
    // The same with the texts as the rows hold them (Latin-1 or UTF-16).
    void VisitHeldRowTexts(int columns, const std::function<void(std::span<const QAnyStringView>)>& visit) const;
    bool SetItemImage(int row, int image);
    int GetItemImage(int row) const;
    bool SetItemData(int row, void* data);
    void* GetItemData(int row) const;
    int GetItemCount() const;
    bool DeleteItem(int row);
    bool DeleteAllItems();
    // Deletes every selected row; returns how many were deleted.
    int DeleteSelectedItems();
    // The texts of one column, row 0 first.
    QStringList GetColumnTexts(int column) const;

    // Selection (single by default). The selection mark is the row the user last selected or
    // clicked (−1 for none); it follows its row when rows before it are deleted.
    void SetSingleSelection(bool single);
    int GetSelectionMark() const;
    void SetSelectionMark(int row);
    QList<int> GetSelectedRows() const;       // ascending
    bool IsSelected(int row) const;
    // Selects a row as a click would: the item-changed notification fires.
    void SelectRow(int row, bool additive = false);
    bool EnsureVisible(int row);

    void SetExtendedStyle(unsigned style);
    unsigned GetExtendedStyle() const;
    void SetImageList(const CImageList* images);   // small icons; not owned

    // Point of the last click, in screen coordinates (context menus open there).
    QPoint LastClickScreenPos() const { return m_lastClick; }

    // Makes rows inserted so far visible to the view now (otherwise done at display rate).
    void FlushPendingRows();

    // Column fit: once, on the first fill (when the 200th row arrives, or at FitColumnsToRows after
    // a fill with fewer), every shown column is widened to its heading and its texts in the first
    // 200 rows, up to kMaxFittedWidth; none becomes narrower, a hidden one (width 0) stays hidden,
    // and one whose width the user set keeps it.
    static constexpr int kFitRows = 200;
    static constexpr int kMaxFittedWidth = 300;
    void SetFitsColumnsOnFirstFill(bool on);
    // Fits now when the list is to fit, has not yet and holds rows; true when it did.
    bool FitColumnsToRows();
    bool HasFittedColumns() const { return m_fitDone; }
    // A width the user chose (remembered from an earlier session): set, and kept by the fit.
    bool SetUserColumnWidth(int column, int width);
    // The width the first `rows` rows' texts and the heading of a column need.
    int ContentWidth(int column, int rows = kFitRows) const;
    // The full text of the cell at a viewport position when the cell cannot show it whole, else "".
    QString CutCellText(const QPoint& viewportPos) const;

Q_SIGNALS:
    // A row became selected (the LVN_ITEMCHANGED the pages react to).
    void itemChanged(int row);
    void rightClicked(int row, const QPoint& screenPos);
    void doubleClicked(int row);
    void headerItemChanged(int column);
    // The user dragged a column's edge (or double-clicked it): the column's new width.
    void columnWidthSetByUser(int column, int width);

protected:
    ReportRowModel& model_();
    const ReportRowModel& model_() const;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    void setWidthByCode(int column, int width);
    void onSectionResized(int column, int newWidth);

    std::unique_ptr<ReportRowModel> m_model;
    std::unique_ptr<CHeaderCtrl> m_header;
    const CImageList* m_images = nullptr;
    unsigned m_exStyle = 0;
    int m_selectionMark = -1;
    QPoint m_lastClick;
    bool m_fitPending = false;      // the list fits its columns on its first fill
    bool m_fitDone = false;
    int m_settingWidths = 0;        // widths set by code, not by the user
    QList<int> m_userColumns;       // columns whose width the user set
};

// Sortable list (clicking a header sorts by that column's text).
class CSortListCtrl : public CReportListCtrl {
    Q_OBJECT
public:
    explicit CSortListCtrl(QWidget* parent = nullptr);
    // Sorts the rows by a column's text; item data, icons, selection and mark move with their rows.
    void SortItems(int column, bool ascending = true);
    int SortColumn() const { return m_sortColumn; }
    bool SortAscending() const { return m_sortAscending; }
private:
    void onHeaderClicked(int column);
    int m_sortColumn = -1;
    bool m_sortAscending = true;
};

// List whose header and last click point pages read.
class CHeaderListCtrl : public CReportListCtrl {
    Q_OBJECT
public:
    explicit CHeaderListCtrl(QWidget* parent = nullptr);
};

// Editable grid: the columns listed as editable (column 1 unless set otherwise) are edited in
// place by a double-click, F2 or typing on a selected row; the typed text becomes the cell text
// when the edit ends by Enter, by focus leaving the editor or by CommitEdit. The label column
// (column 0) stays in view while a value is chosen or edited: the grid does not scroll sideways
// to a value cell whose start it can show, and the editor ends at the grid's visible edge.
class CGridListCtrl : public CReportListCtrl {
    Q_OBJECT
public:
    explicit CGridListCtrl(QWidget* parent = nullptr);
    void SetEditableColumns(const QList<int>& columns);   // typically {1}
    void EnableEditing(bool enable);
    bool IsColumnEditable(int column) const;
    // Starts editing a cell in place (as a double-click on it would).
    bool EditCell(int row, int column);
    // Ends an edit in progress, keeping the typed text; false when none was open.
    bool CommitEdit();
    // The editor of the cell being edited, or nullptr.
    QWidget* CurrentEditor() const;
    void scrollTo(const QModelIndex& index, ScrollHint hint = QAbstractItemView::EnsureVisible) override;
protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
private:
    void applyEditability();
    QList<int> m_editableColumns{1};
    bool m_editingEnabled = true;
    QPersistentModelIndex m_editIndex;
};

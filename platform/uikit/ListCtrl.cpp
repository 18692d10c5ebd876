#include "ListCtrl.h"
#include "ReportRowModel.h"
#include <QContextMenuEvent>
#include <QHash>
#include <QHeaderView>
#include <QHelpEvent>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QStyle>
#include <QToolTip>
#include <algorithm>

int CHeaderCtrl::GetItemCount() const
{
    return m_model.columns();
}

QString CHeaderCtrl::GetItemText(int column, int bufferSize) const
{
    return m_model.heading(column).left(std::max(0, bufferSize - 1));
}

CReportListCtrl::CReportListCtrl(QWidget* parent)
    : QTableView(parent),
      m_model(std::make_unique<ReportRowModel>()),
      m_header(std::make_unique<CHeaderCtrl>(*m_model))
{
    setModel(m_model.get());
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);   // Tab leaves the list for the dialog's next control
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setShowGrid(false);
    setIconSize(QSize(16, 16));

    // Rows of one fixed height: the view never measures rows, whatever their number.
    QHeaderView* rowsHeader = verticalHeader();
    rowsHeader->hide();
    rowsHeader->setMinimumSectionSize(1);
    rowsHeader->setSectionResizeMode(QHeaderView::Fixed);
    rowsHeader->setDefaultSectionSize(std::max(18, fontMetrics().height() + 4));

    QHeaderView* columnsHeader = horizontalHeader();
    columnsHeader->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    columnsHeader->setHighlightSections(false);
    columnsHeader->setStretchLastSection(false);
    columnsHeader->setSectionsClickable(false);
    connect(columnsHeader, &QHeaderView::sectionResized, this,
            [this](int column, int, int newWidth) { onSectionResized(column, newWidth); });
    // Batches of rows reach the view at display rate; the fit waits for its 200th row there.
    connect(m_model.get(), &QAbstractItemModel::rowsInserted, this, [this] {
        if (m_fitPending && !m_fitDone && m_model->rows() >= kFitRows)
            FitColumnsToRows();
    });

    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected, const QItemSelection&) {
                QList<int> rows;
                for (const QItemSelectionRange& range : selected)
                    for (int r = range.top(); r <= range.bottom(); ++r)
                        rows.append(r);
                if (rows.isEmpty())
                    return;
                std::sort(rows.begin(), rows.end());
                rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
                const int current = currentIndex().row();
                m_selectionMark = rows.contains(current) ? current : rows.last();
                for (int r : rows)
                    Q_EMIT itemChanged(r);
            });
}

CReportListCtrl::~CReportListCtrl()
{
    // The view lets go of the model before the model goes.
    setModel(nullptr);
}

ReportRowModel& CReportListCtrl::model_()
{
    return *m_model;
}

const ReportRowModel& CReportListCtrl::model_() const
{
    return *m_model;
}

int CReportListCtrl::InsertColumn(int column, const QString& heading, int format, int width)
{
    const int at = m_model->insertColumn(column, heading, format);
    for (int& user : m_userColumns)
        if (user >= at)
            ++user;
    setWidthByCode(at, std::max(0, width));
    return at;
}

bool CReportListCtrl::DeleteColumn(int column)
{
    if (!m_model->removeColumn(column))
        return false;
    m_userColumns.removeAll(column);
    for (int& user : m_userColumns)
        if (user > column)
            --user;
    return true;
}

int CReportListCtrl::GetColumnCount() const
{
    return m_model->columns();
}

int CReportListCtrl::GetColumnWidth(int column) const
{
    return column >= 0 && column < m_model->columns() ? columnWidth(column) : 0;
}

bool CReportListCtrl::SetColumnWidth(int column, int width)
{
    if (column < 0 || column >= m_model->columns())
        return false;
    setWidthByCode(column, std::max(0, width));
    return true;
}

void CReportListCtrl::setWidthByCode(int column, int width)
{
    ++m_settingWidths;
    setColumnWidth(column, width);
    --m_settingWidths;
}

void CReportListCtrl::onSectionResized(int column, int newWidth)
{
    Q_EMIT headerItemChanged(column);
    if (m_settingWidths > 0)
        return;
    if (!m_userColumns.contains(column))
        m_userColumns.append(column);
    Q_EMIT columnWidthSetByUser(column, newWidth);
}

bool CReportListCtrl::SetUserColumnWidth(int column, int width)
{
    if (!SetColumnWidth(column, width))
        return false;
    if (!m_userColumns.contains(column))
        m_userColumns.append(column);
    return true;
}

void CReportListCtrl::SetFitsColumnsOnFirstFill(bool on)
{
    m_fitPending = on;
}

int CReportListCtrl::ContentWidth(int column, int rows) const
{
    if (column < 0 || column >= m_model->columns())
        return 0;
    // As the item delegate lays a cell out: a margin each side of the text (and a pixel for the
    // rounding of its layout), the icon before it, and the grid line the cell gives up.
    const int margin = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1) + 1;
    const int iconRoom = iconSize().width() + margin;
    const int gridLine = showGrid() ? 1 : 0;
    const QFontMetrics metrics(font());
    int widest = horizontalHeader()->sectionSizeHint(column);
    const int count = std::min(rows, m_model->rows());
    // Laying a text out is the cost here; a column repeats its texts (a product's code and name
    // on each of its parts), and each is measured once.
    QHash<QString, int> measured;
    for (int row = 0; row < count; ++row) {
        const QAnyStringView text = m_model->textView(row, column);
        int width = 0;
        if (!text.isEmpty()) {
            const QString key = text.toString();
            auto known = measured.constFind(key);
            if (known == measured.constEnd())
                known = measured.insert(key, metrics.horizontalAdvance(key) + margin);
            width = known.value();
        }
        if (column == 0 && m_images && m_model->image(row) >= 0)
            width += iconRoom;
        widest = std::max(widest, width + gridLine);
    }
    return widest;
}

bool CReportListCtrl::FitColumnsToRows()
{
    if (!m_fitPending || m_fitDone || m_model->rows() == 0)
        return false;
    m_fitDone = true;
    for (int column = 0; column < m_model->columns(); ++column) {
        const int current = columnWidth(column);
        if (current <= 0 || isColumnHidden(column) || m_userColumns.contains(column))
            continue;
        const int wanted = std::min(ContentWidth(column), std::max(current, kMaxFittedWidth));
        if (wanted > current)
            setWidthByCode(column, wanted);
    }
    return true;
}

QString CReportListCtrl::CutCellText(const QPoint& viewportPos) const
{
    const QModelIndex index = indexAt(viewportPos);
    if (!index.isValid())
        return QString();
    const QString text = m_model->text(index.row(), index.column());
    if (text.isEmpty())
        return QString();
    const QRect shown = visualRect(index) & viewport()->rect();
    return sizeHintForIndex(index).width() > shown.width() ? text : QString();
}

bool CReportListCtrl::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QString text = CutCellText(help->pos());
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, viewport(), visualRect(indexAt(help->pos())));
        return true;
    }
    return QTableView::viewportEvent(event);
}

CHeaderCtrl* CReportListCtrl::GetHeaderCtrl()
{
    return m_header.get();
}

int CReportListCtrl::InsertItem(int row, const QString& text, int image)
{
    return InsertItem(row, QStringList{text}, image);
}

int CReportListCtrl::InsertItem(int row, QStringList texts, int image)
{
    const QVarLengthArray<QAnyStringView, 16> views(texts.cbegin(), texts.cend());
    return InsertItem(row, std::span<const QAnyStringView>(views), image);
}

int CReportListCtrl::InsertItem(int row, std::span<const QAnyStringView> texts, int image)
{
    const int at = m_model->insertRow(row, texts, image);
    if (at >= 0 && m_selectionMark >= at)
        ++m_selectionMark;
    return at;
}

bool CReportListCtrl::SetItemText(int row, int column, const QString& text)
{
    return m_model->setText(row, column, text);
}

QString CReportListCtrl::GetItemText(int row, int column) const
{
    return m_model->text(row, column);
}

QAnyStringView CReportListCtrl::ItemTextView(int row, int column) const
{
    return m_model->textView(row, column);
}

void CReportListCtrl::VisitRowTexts(int columns,
                                    const std::function<void(std::span<const QStringView>)>& visit) const
{
    m_model->visitRows(columns, visit);
}

void CReportListCtrl::VisitHeldRowTexts(int columns,
                                        const std::function<void(std::span<const QAnyStringView>)>& visit) const
{
    m_model->visitHeldRows(columns, visit);
}

bool CReportListCtrl::SetItemImage(int row, int image)
{
    return m_model->setImage(row, image);
}

int CReportListCtrl::GetItemImage(int row) const
{
    return m_model->image(row);
}

bool CReportListCtrl::SetItemData(int row, void* data)
{
    return m_model->setItemData(row, data);
}

void* CReportListCtrl::GetItemData(int row) const
{
    return m_model->itemData(row);
}

int CReportListCtrl::GetItemCount() const
{
    return m_model->rows();
}

bool CReportListCtrl::DeleteItem(int row)
{
    // A view moves the current row to a neighbour, and so selects it, when the current row
    // goes; a list view selects nothing else when a row is deleted.
    if (currentIndex().isValid() && currentIndex().row() == row)
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    if (!m_model->removeRow(row))
        return false;
    if (m_selectionMark == row)
        m_selectionMark = -1;
    else if (m_selectionMark > row)
        --m_selectionMark;
    return true;
}

int CReportListCtrl::DeleteSelectedItems()
{
    const QList<int> selected = GetSelectedRows();
    for (auto row = selected.crbegin(); row != selected.crend(); ++row)
        DeleteItem(*row);
    return int(selected.size());
}

QStringList CReportListCtrl::GetColumnTexts(int column) const
{
    QStringList texts;
    for (int row = 0; row < GetItemCount(); ++row)
        texts << GetItemText(row, column);
    return texts;
}

bool CReportListCtrl::DeleteAllItems()
{
    m_model->clear();
    m_selectionMark = -1;
    return true;
}

void CReportListCtrl::SetSingleSelection(bool single)
{
    setSelectionMode(single ? QAbstractItemView::SingleSelection : QAbstractItemView::ExtendedSelection);
    if (single) {
        const QList<int> rows = GetSelectedRows();
        if (rows.size() > 1)
            SelectRow(rows.contains(m_selectionMark) ? m_selectionMark : rows.first());
    }
}

int CReportListCtrl::GetSelectionMark() const
{
    return m_selectionMark;
}

void CReportListCtrl::SetSelectionMark(int row)
{
    m_selectionMark = row >= 0 && row < m_model->rows() ? row : -1;
}

QList<int> CReportListCtrl::GetSelectedRows() const
{
    QList<int> rows;
    for (const QItemSelectionRange& range : selectionModel()->selection())
        for (int r = range.top(); r <= range.bottom(); ++r)
            rows.append(r);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

bool CReportListCtrl::IsSelected(int row) const
{
    return row >= 0 && row < m_model->rowCount() && selectionModel()->isSelected(m_model->index(row, 0));
}

void CReportListCtrl::SelectRow(int row, bool additive)
{
    if (row < 0 || row >= m_model->rows() || m_model->columns() == 0)
        return;
    m_model->flush();
    const bool add = additive && selectionMode() != QAbstractItemView::SingleSelection;
    const QModelIndex index = m_model->index(row, 0);
    selectionModel()->setCurrentIndex(index, (add ? QItemSelectionModel::Select : QItemSelectionModel::ClearAndSelect)
                                                 | QItemSelectionModel::Rows);
    m_selectionMark = row;
    scrollTo(index);
}

bool CReportListCtrl::EnsureVisible(int row)
{
    if (row < 0 || row >= m_model->rows() || m_model->columns() == 0)
        return false;
    m_model->flush();
    scrollTo(m_model->index(row, 0));
    return true;
}

void CReportListCtrl::SetExtendedStyle(unsigned style)
{
    m_exStyle = style;
    setShowGrid((style & LVS_EX_GRIDLINES) != 0);
}

unsigned CReportListCtrl::GetExtendedStyle() const
{
    return m_exStyle;
}

void CReportListCtrl::SetImageList(const CImageList* images)
{
    m_images = images;
    m_model->setImageList(images);
}

void CReportListCtrl::FlushPendingRows()
{
    m_model->flush();
}

void CReportListCtrl::mousePressEvent(QMouseEvent* event)
{
    m_lastClick = event->globalPosition().toPoint();
    const int row = indexAt(event->position().toPoint()).row();
    // The base selects the row under the cursor for either button, as a list view does;
    // a right click on a row already selected keeps the selection.
    QTableView::mousePressEvent(event);
    if (row >= 0 && (event->button() == Qt::LeftButton || event->button() == Qt::RightButton))
        m_selectionMark = row;
}

void CReportListCtrl::mouseDoubleClickEvent(QMouseEvent* event)
{
    m_lastClick = event->globalPosition().toPoint();
    const int row = indexAt(event->position().toPoint()).row();
    QTableView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        Q_EMIT doubleClicked(row);
}

void CReportListCtrl::contextMenuEvent(QContextMenuEvent* event)
{
    int row = -1;
    QPoint screenPos = event->globalPos();
    if (event->reason() == QContextMenuEvent::Keyboard) {
        row = currentIndex().row();
        if (row >= 0)
            screenPos = viewport()->mapToGlobal(visualRect(currentIndex()).center());
    } else {
        const QPoint inViewport = viewport()->mapFromGlobal(screenPos);
        if (!viewport()->rect().contains(inViewport)) {
            event->ignore();   // on the header or a scroll bar: not the list's own right click
            return;
        }
        row = indexAt(inViewport).row();
    }
    m_lastClick = screenPos;
    event->accept();
    Q_EMIT rightClicked(row, screenPos);
}

CSortListCtrl::CSortListCtrl(QWidget* parent) : CReportListCtrl(parent)
{
    horizontalHeader()->setSectionsClickable(true);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &CSortListCtrl::onHeaderClicked);
}

void CSortListCtrl::onHeaderClicked(int column)
{
    // A second click on the same column reverses the order.
    const bool ascending = column == m_sortColumn ? !m_sortAscending : true;
    SortItems(column, ascending);
}

void CSortListCtrl::SortItems(int column, bool ascending)
{
    if (column < 0 || column >= GetColumnCount())
        return;
    model_().flush();
    const int mark = GetSelectionMark();
    const QPersistentModelIndex marked = mark >= 0 ? model_().index(mark, 0) : QModelIndex();
    model_().sortByColumn(column, ascending);
    SetSelectionMark(marked.isValid() ? marked.row() : -1);
    m_sortColumn = column;
    m_sortAscending = ascending;
    horizontalHeader()->setSortIndicatorShown(true);
    horizontalHeader()->setSortIndicator(column, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
}

CHeaderListCtrl::CHeaderListCtrl(QWidget* parent) : CReportListCtrl(parent) {}

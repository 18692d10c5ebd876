#include "ReportRowModel.h"
#include "ListCtrl.h"
#include <QCollator>
#include <QLocale>
#include <QVarLengthArray>
#include <algorithm>
#include <numeric>

ReportRowModel::ReportRowModel(QObject* parent) : QAbstractTableModel(parent)
{
    m_flushTimer.setSingleShot(true);
    m_flushTimer.setInterval(kFlushIntervalMs);
    connect(&m_flushTimer, &QTimer::timeout, this, &ReportRowModel::flush);
}

int ReportRowModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_announced;
}

int ReportRowModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : columns();
}

static Qt::Alignment alignmentOf(int format)
{
    switch (format) {
    case 1: return Qt::AlignRight | Qt::AlignVCenter;
    case 2: return Qt::AlignHCenter | Qt::AlignVCenter;
    default: return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

QVariant ReportRowModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_announced || index.column() >= columns())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return text(index.row(), index.column());
    case Qt::DecorationRole:
        if (index.column() == 0 && m_images && m_rows[size_t(index.row())].image >= 0)
            return m_images->icon(m_rows[size_t(index.row())].image);
        return {};
    case Qt::TextAlignmentRole:
        return int(alignmentOf(m_columns[index.column()].format));
    default:
        return {};
    }
}

bool ReportRowModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || !isEditable(index.column()))
        return false;
    if (!setText(index.row(), index.column(), value.toString()))
        return false;
    Q_EMIT cellEdited(index.row(), index.column());
    return true;
}

QVariant ReportRowModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columns())
        return {};
    if (role == Qt::DisplayRole)
        return m_columns[section].heading;
    if (role == Qt::TextAlignmentRole)
        return int(alignmentOf(m_columns[section].format));
    return {};
}

Qt::ItemFlags ReportRowModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && isEditable(index.column()))
        f |= Qt::ItemIsEditable;
    return f;
}

int ReportRowModel::insertColumn(int column, const QString& heading, int format)
{
    const int at = std::clamp(column, 0, columns());
    beginInsertColumns(QModelIndex(), at, at);
    m_columns.insert(at, Column{heading, format});
    // Sub-item texts shift right with their columns; the item text stays in column 0.
    if (at > 0) {
        for (Row& row : m_rows)
            if (row.texts.size() > at)
                row.texts.insert(at, QStringView());
    }
    endInsertColumns();
    return at;
}

bool ReportRowModel::removeColumn(int column)
{
    if (column < 0 || column >= columns())
        return false;
    beginRemoveColumns(QModelIndex(), column, column);
    m_columns.removeAt(column);
    for (Row& row : m_rows) {
        if (column == 0 && row.texts.size() > 0)
            row.texts.replace(0, QStringView());   // the item text stays the row's first text
        else if (row.texts.size() > column)
            row.texts.remove(column);
    }
    endRemoveColumns();
    return true;
}

QString ReportRowModel::heading(int column) const
{
    return column >= 0 && column < columns() ? m_columns[column].heading : QString();
}

int ReportRowModel::insertRow(int row, const QString& text, int image)
{
    const QStringView texts[] = {text};
    return insertRow(row, RowTexts(texts), image);
}

int ReportRowModel::insertRow(int row, std::span<const QAnyStringView> texts, int image)
{
    const size_t kept = std::min(texts.size(), size_t(std::max(1, columns())));
    if (kept == 0) {
        const QStringView empty[] = {QStringView()};
        return insertRow(row, RowTexts(empty), image);
    }
    return insertRow(row, RowTexts(texts.first(kept), m_arena), image);
}

int ReportRowModel::insertRow(int row, RowTexts texts, int image)
{
    if (row < 0)
        return -1;
    const int at = std::min(row, rows());
    Row r{std::move(texts), image, nullptr};
    if (at >= m_announced) {
        // Into the pending tail: the view hears of it with the next batch.
        m_rows.insert(m_rows.begin() + at, std::move(r));
        if (!m_flushTimer.isActive())
            m_flushTimer.start();
    } else {
        beginInsertRows(QModelIndex(), at, at);
        m_rows.insert(m_rows.begin() + at, std::move(r));
        ++m_announced;
        endInsertRows();
    }
    return at;
}

bool ReportRowModel::removeRow(int row)
{
    if (!validRow(row))
        return false;
    if (row >= m_announced) {
        m_rows.erase(m_rows.begin() + row);
    } else {
        beginRemoveRows(QModelIndex(), row, row);
        m_rows.erase(m_rows.begin() + row);
        --m_announced;
        endRemoveRows();
    }
    if (m_rows.empty())
        m_arena.reset();   // the last row gone: so are its blocks
    return true;
}

void ReportRowModel::clear()
{
    m_flushTimer.stop();
    beginResetModel();
    m_rows.clear();
    m_arena.reset();
    m_announced = 0;
    endResetModel();
}

bool ReportRowModel::setText(int row, int column, const QString& text)
{
    if (!validRow(row) || column < 0 || (column > 0 && column >= columns()))
        return false;
    m_rows[size_t(row)].texts.replace(column, text);
    announceChange(row, column);
    return true;
}

QString ReportRowModel::text(int row, int column) const
{
    return textView(row, column).toString();
}

QAnyStringView ReportRowModel::textView(int row, int column) const
{
    if (!validRow(row) || column < 0)
        return QStringView();
    return m_rows[size_t(row)].texts.at(column);
}

namespace {

// How many rows ahead the walk asks for a row's block.
constexpr size_t kRowsAhead = 8;
constexpr size_t kCacheLine = 64;

// A text as UTF-16: itself, or widened into `buffer` when held in Latin-1.
template <qsizetype N>
QStringView Utf16Of(QAnyStringView text, QVarLengthArray<char16_t, N>& buffer)
{
    if (HeldInLatin1(text))
        buffer.resize(text.size());
    return AsUtf16(text, buffer.data());
}

void prefetch(const void* address)
{
#if defined(__GNUC__)
    __builtin_prefetch(address);
#else
    Q_UNUSED(address);
#endif
}

} // namespace

void ReportRowModel::visitHeldRows(int columns, const std::function<void(std::span<const QAnyStringView>)>& visit) const
{
    std::vector<QAnyStringView> held(size_t(std::max(columns, 0)));
    const size_t count = m_rows.size();
    for (size_t row = 0; row < count; ++row) {
        if (row + kRowsAhead < count) {
            const RowTexts& ahead = m_rows[row + kRowsAhead].texts;
            const char* const block = static_cast<const char*>(ahead.blockAddress());
            for (size_t at = 0; at < ahead.blockBytes(); at += kCacheLine)
                prefetch(block + at);
        }
        m_rows[row].texts.viewsInto(held);
        visit(held);
    }
}

void ReportRowModel::visitRows(int columns, const std::function<void(std::span<const QStringView>)>& visit) const
{
    std::vector<QStringView> cells(size_t(std::max(columns, 0)));
    QVarLengthArray<char16_t, 1024> widened;   // the row's Latin-1 texts in UTF-16
    visitHeldRows(columns, [&](std::span<const QAnyStringView> held) {
        qsizetype latin1Length = 0;
        for (const QAnyStringView& text : held)
            latin1Length += HeldInLatin1(text) ? text.size() : 0;
        widened.resize(latin1Length);
        char16_t* to = widened.data();
        for (size_t i = 0; i < held.size(); ++i) {
            cells[i] = AsUtf16(held[i], to);
            if (HeldInLatin1(held[i]))
                to += held[i].size();
        }
        visit(cells);
    });
}

bool ReportRowModel::setImage(int row, int image)
{
    if (!validRow(row))
        return false;
    m_rows[size_t(row)].image = image;
    announceChange(row, 0);
    return true;
}

int ReportRowModel::image(int row) const
{
    return validRow(row) ? m_rows[size_t(row)].image : -1;
}

bool ReportRowModel::setItemData(int row, void* data)
{
    if (!validRow(row))
        return false;
    m_rows[size_t(row)].data = data;
    return true;
}

void* ReportRowModel::itemData(int row) const
{
    return validRow(row) ? m_rows[size_t(row)].data : nullptr;
}

void ReportRowModel::sortByColumn(int column, bool ascending)
{
    if (column < 0 || column >= columns() || rows() < 2)
        return;
    flush();
    QCollator collator{QLocale(QLocale::Chinese, QLocale::China)};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::vector<int> order(m_rows.size());
    std::iota(order.begin(), order.end(), 0);
    QVarLengthArray<char16_t, 256> left, right;
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const int c = collator.compare(Utf16Of(textView(a, column), left), Utf16Of(textView(b, column), right));
        return ascending ? c < 0 : c > 0;
    });

    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> newRowOf(order.size());
    std::vector<Row> sorted;
    sorted.reserve(m_rows.size());
    for (size_t i = 0; i < order.size(); ++i) {
        newRowOf[size_t(order[i])] = int(i);
        sorted.push_back(std::move(m_rows[size_t(order[i])]));
    }
    m_rows = std::move(sorted);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& index : before)
        after.append(index.isValid() ? this->index(newRowOf[size_t(index.row())], index.column()) : QModelIndex());
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void ReportRowModel::setImageList(const CImageList* images)
{
    m_images = images;
    if (m_announced > 0)
        Q_EMIT dataChanged(index(0, 0), index(m_announced - 1, 0), {Qt::DecorationRole});
}

void ReportRowModel::setEditableColumns(const QList<int>& columns)
{
    if (m_editable == columns)
        return;
    Q_EMIT layoutAboutToBeChanged();
    m_editable = columns;
    Q_EMIT layoutChanged();
}

void ReportRowModel::flush()
{
    m_flushTimer.stop();
    if (m_announced == rows())
        return;
    beginInsertRows(QModelIndex(), m_announced, rows() - 1);
    m_announced = rows();
    endInsertRows();
}

void ReportRowModel::announceChange(int row, int column)
{
    if (row < m_announced && column < columns()) {
        const QModelIndex at = index(row, column);
        Q_EMIT dataChanged(at, at);
    }
}

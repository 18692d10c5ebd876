#include "ReportRowModel.h"

ReportRowModel::ReportRowModel(QObject* parent) : QAbstractTableModel(parent) {}
int ReportRowModel::rowCount(const QModelIndex&) const { return m_announced; }
int ReportRowModel::columnCount(const QModelIndex&) const { return columns(); }
QVariant ReportRowModel::data(const QModelIndex&, int) const { return {}; }
bool ReportRowModel::setData(const QModelIndex&, const QVariant&, int) { return false; }
QVariant ReportRowModel::headerData(int, Qt::Orientation, int) const { return {}; }
Qt::ItemFlags ReportRowModel::flags(const QModelIndex& index) const { return QAbstractTableModel::flags(index); }
int ReportRowModel::insertColumn(int column, const QString& heading, int format) { m_columns.insert(qBound(0, column, columns()), Column{heading, format}); return column; }
bool ReportRowModel::removeColumn(int) { return false; }
QString ReportRowModel::heading(int column) const { return column >= 0 && column < columns() ? m_columns[column].heading : QString(); }
int ReportRowModel::insertRow(int row, const QString& text, int image) { m_rows.insert(m_rows.begin() + qBound(0, row, rows()), Row{{text}, image, nullptr}); return row; }
bool ReportRowModel::removeRow(int) { return false; }
void ReportRowModel::clear() { beginResetModel(); m_rows.clear(); m_announced = 0; endResetModel(); }
bool ReportRowModel::setText(int, int, const QString&) { return false; }
QString ReportRowModel::text(int, int) const { return {}; }
bool ReportRowModel::setImage(int, int) { return false; }
int ReportRowModel::image(int) const { return -1; }
bool ReportRowModel::setItemData(int, void*) { return false; }
void* ReportRowModel::itemData(int) const { return nullptr; }
void ReportRowModel::sortByColumn(int, bool) {}
void ReportRowModel::setImageList(const CImageList* images) { m_images = images; }
void ReportRowModel::setEditableColumns(const QList<int>& columns) { m_editable = columns; }
bool ReportRowModel::isEditable(int column) const { return m_editable.contains(column); }
void ReportRowModel::flush() {}
void ReportRowModel::scheduleFlush() {}

#include "ListCtrl.h"
#include "ReportRowModel.h"

int CHeaderCtrl::GetItemCount() const { return m_model.columns(); }
QString CHeaderCtrl::GetItemText(int column, int bufferSize) const { return m_model.heading(column).left(qMax(0, bufferSize - 1)); }

CReportListCtrl::CReportListCtrl(QWidget* parent)
    : QTableView(parent), m_model(std::make_unique<ReportRowModel>()), m_header(std::make_unique<CHeaderCtrl>(*m_model))
{
    setModel(m_model.get());
}
CReportListCtrl::~CReportListCtrl() { setModel(nullptr); }
int CReportListCtrl::InsertColumn(int column, const QString& heading, int format, int) { return m_model->insertColumn(column, heading, format); }
bool CReportListCtrl::DeleteColumn(int column) { return m_model->removeColumn(column); }
int CReportListCtrl::GetColumnCount() const { return m_model->columns(); }
int CReportListCtrl::GetColumnWidth(int column) const { return columnWidth(column); }
CHeaderCtrl* CReportListCtrl::GetHeaderCtrl() { return m_header.get(); }
int CReportListCtrl::InsertItem(int row, const QString& text, int image) { return m_model->insertRow(row, text, image); }
bool CReportListCtrl::SetItemText(int row, int column, const QString& text) { return m_model->setText(row, column, text); }
QString CReportListCtrl::GetItemText(int row, int column) const { return m_model->text(row, column); }
bool CReportListCtrl::SetItemImage(int row, int image) { return m_model->setImage(row, image); }
int CReportListCtrl::GetItemImage(int row) const { return m_model->image(row); }
bool CReportListCtrl::SetItemData(int row, void* data) { return m_model->setItemData(row, data); }
void* CReportListCtrl::GetItemData(int row) const { return m_model->itemData(row); }
int CReportListCtrl::GetItemCount() const { return m_model->rows(); }
bool CReportListCtrl::DeleteItem(int row) { return m_model->removeRow(row); }
bool CReportListCtrl::DeleteAllItems() { m_model->clear(); m_selectionMark = -1; return true; }
void CReportListCtrl::SetSingleSelection(bool) {}
int CReportListCtrl::GetSelectionMark() const { return m_selectionMark; }
void CReportListCtrl::SetSelectionMark(int row) { m_selectionMark = row; }
QList<int> CReportListCtrl::GetSelectedRows() const { return {}; }
bool CReportListCtrl::IsSelected(int) const { return false; }
void CReportListCtrl::SelectRow(int, bool) {}
void CReportListCtrl::SetExtendedStyle(unsigned style) { m_exStyle = style; }
unsigned CReportListCtrl::GetExtendedStyle() const { return m_exStyle; }
void CReportListCtrl::SetImageList(const CImageList* images) { m_images = images; }
void CReportListCtrl::FlushPendingRows() { m_model->flush(); }
ReportRowModel& CReportListCtrl::model_() { return *m_model; }
const ReportRowModel& CReportListCtrl::model_() const { return *m_model; }
void CReportListCtrl::contextMenuEvent(QContextMenuEvent* event) { QTableView::contextMenuEvent(event); }
void CReportListCtrl::mouseDoubleClickEvent(QMouseEvent* event) { QTableView::mouseDoubleClickEvent(event); }
void CReportListCtrl::mousePressEvent(QMouseEvent* event) { QTableView::mousePressEvent(event); }

CSortListCtrl::CSortListCtrl(QWidget* parent) : CReportListCtrl(parent) {}
CHeaderListCtrl::CHeaderListCtrl(QWidget* parent) : CReportListCtrl(parent) {}
CGridListCtrl::CGridListCtrl(QWidget* parent) : CReportListCtrl(parent) {}
void CGridListCtrl::SetEditableColumns(const QList<int>&) {}
void CGridListCtrl::EnableEditing(bool) {}
bool CGridListCtrl::IsColumnEditable(int) const { return false; }
bool CGridListCtrl::EditCell(int, int) { return false; }

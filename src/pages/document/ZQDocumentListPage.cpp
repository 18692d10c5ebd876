#include "ZQDocumentListPage.h"

#include "Desktop.h"
#include "FileServices.h"
#include "ListCtrl.h"
#include "RunQuery.h"
#include "SysImageList.h"

namespace {

constexpr int kResultListId = 1319;

} // namespace

CZQDocumentListPage::CZQDocumentListPage(QWidget* parent) : CZQSearchPage(parent)
{
    SetKeyRule(KeyRule::ForwardToParent);
}

CZQDocumentListPage::~CZQDocumentListPage()
{
    // The list items point at the records; let go of them before the records.
    if (CHeaderListCtrl* list = ResultList())
        list->DeleteAllItems();
}

CHeaderListCtrl* CZQDocumentListPage::ResultList() const
{
    return zq::ControlAs<CHeaderListCtrl>(*this, kResultListId);
}

CReportListCtrl* CZQDocumentListPage::GetResultList()
{
    return ResultList();
}

void CZQDocumentListPage::SetupDocumentList(const QList<ColumnSpec>& columns)
{
    SetupResultList(ResultList(), columns, CSysImageList::instance().imageList());
}

void CZQDocumentListPage::OpenPageStore()
{
    m_pageStore = std::make_unique<CZQSaveFileToFTP>();
    m_pageStore->InitZQPDMFTP();
}

void CZQDocumentListPage::ClearRows()
{
    if (CHeaderListCtrl* list = ResultList())
        list->DeleteAllItems();
    m_records.clear();
}

int CZQDocumentListPage::RunRecordQuery(const QString& sql, const zq::doc::RowLayout& layout, bool append,
                                        zq::Connection* connection, int openOptions)
{
    CHeaderListCtrl* list = ResultList();
    if (!list)
        return 0;
    QueryRequest request = PageQuery(QueryVariant::A, sql, list);
    if (connection)
        request.connection = connection;
    request.continueListRows = append;
    request.openOptions = openOptions;
    request.fieldCount = int(layout.queryFields.size());
    request.onRecord = [this, &layout](int row, const QStringList& fields) {
        zq::doc::DocumentRecord record = zq::doc::DocumentRecord::FromFields(fields, layout.queryFields);
        if (layout.finish)
            layout.finish(record);
        AppendRecord(row, record, layout);
    };
    return RunQuery(request);
}

void CZQDocumentListPage::AppendRecord(int row, const zq::doc::DocumentRecord& record, const zq::doc::RowLayout& layout)
{
    CHeaderListCtrl* list = ResultList();
    auto owned = std::make_unique<zq::doc::DocumentRecord>(record);
    const int icon = CSysImageList::instance().GetIconIndex(record.Field(zq::doc::RecordField::FileName));
    const int inserted = list->InsertItem(row, layout.itemText(record), icon);
    for (int column = 1; column <= layout.listedFields.size(); ++column)
        list->SetItemText(inserted, column, record.Field(layout.listedFields.at(column - 1)));
    list->SetItemData(inserted, owned.get());
    m_records.push_back(std::move(owned));
}

const zq::doc::DocumentRecord* CZQDocumentListPage::RecordOfRow(int row) const
{
    CHeaderListCtrl* list = ResultList();
    if (!list || row < 0 || row >= list->GetItemCount())
        return nullptr;
    return static_cast<const zq::doc::DocumentRecord*>(list->GetItemData(row));
}

const zq::doc::DocumentRecord* CZQDocumentListPage::MarkedRecord() const
{
    CHeaderListCtrl* list = ResultList();
    return list ? RecordOfRow(list->GetSelectionMark()) : nullptr;
}

bool CZQDocumentListPage::ChoseBrowse()
{
    CHeaderListCtrl* list = ResultList();
    if (!list || !MarkedRecord())
        return false;
    constexpr int kBrowse = 1;
    zq::Desktop& desktop = zq::Desktop::current();
    const QPoint clicked = list->LastClickScreenPos();
    return desktop.popupMenu({{kBrowse, QStringLiteral("浏览...")}}, clicked.isNull() ? desktop.cursorPos() : clicked) ==
           kBrowse;
}

zq::PreviewSubject CZQDocumentListPage::PreviewOf(int row)
{
    zq::PreviewSubject subject = CZQSearchPage::PreviewOf(row);
    const zq::doc::DocumentRecord* record = RecordOfRow(row);
    if (!record)
        return subject;
    return zq::doc::DocumentPreview(std::move(subject), *record, StoredKindOf(*record), PageStore());
}

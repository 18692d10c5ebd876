#include "ZQPDMSearchContent.h"

#include "ConnectionUrl.h"
#include "ContentIndexConnection.h"
#include "Desktop.h"
#include "ListCtrl.h"
#include "PageRegistry.h"
#include "SearchFailure.h"
#include "StoredFileRetrieval.h"
#include "ZQDBConnect.h"

#include <QAbstractButton>

using namespace zq::content;
using namespace zq::doc;

namespace {

constexpr int kDaysBack = 365;

// Laid out to fit the search window's page area at its default size.
const DialogTemplate kTemplate23020{
    CZQPDMSearchContent::kTemplateId, QString(), QSize(356, 203), QStringLiteral("MS Sans Serif"), 8,
    {
        {-1, ControlKind::Static, QStringLiteral("内容包含:"), QRect(2, 4, 44, 8)},
        {CZQPDMSearchContent::IDC_WORDS, ControlKind::Edit, QString(), QRect(48, 2, 62, 12)},
        {-1, ControlKind::Static, QStringLiteral("文档类型:"), QRect(2, 20, 44, 8)},
        {CZQPDMSearchContent::IDC_KIND, ControlKind::ComboDropList, QStringLiteral("设计文档\n资源文件\n所有"),
         QRect(48, 18, 62, 60)},
        {CZQPDMSearchContent::IDC_BY_DATE, ControlKind::CheckBox, QStringLiteral("按文件日期"), QRect(2, 35, 108, 10)},
        {-1, ControlKind::Static, QStringLiteral("文件日期从:"), QRect(2, 51, 44, 8)},
        {CZQPDMSearchContent::IDC_FROM, ControlKind::DatePicker, QString(), QRect(48, 48, 62, 14)},
        {-1, ControlKind::Static, QStringLiteral("到:"), QRect(34, 68, 12, 8)},
        {CZQPDMSearchContent::IDC_TO, ControlKind::DatePicker, QString(), QRect(48, 65, 62, 14)},
        {CZQPDMSearchContent::IDC_RESULTS, ControlKind::HeaderList, QString(), QRect(112, 2, 240, 198)},
    },
};

const zq::TemplateRegistration kTemplateRegistration(&kTemplate23020);
const zq::PageRegistration kPageRegistration(QStringLiteral("文档内容"),
                                             [] { return std::make_unique<CZQPDMSearchContent>(); });

} // namespace

CZQPDMSearchContent::CZQPDMSearchContent(QWidget* parent) : CZQDocumentListPage(parent) {}

CZQPDMSearchContent::~CZQPDMSearchContent() = default;

bool CZQPDMSearchContent::CreatePage(QWidget* parent)
{
    return CreateFromTemplate(parent, kTemplateId);
}

bool CZQPDMSearchContent::OnInitDialog()
{
    zq::SetComboIndex(*this, IDC_KIND, KindAll);
    if (CHeaderListCtrl* results = ResultList()) {
        connect(results, &CReportListCtrl::doubleClicked, this, [this] { OnDblclkResult(); });
        connect(results, &CReportListCtrl::rightClicked, this, [this] { OnRclickResult(); });
    }
    if (auto* byDate = zq::ControlAs<QAbstractButton>(*this, IDC_BY_DATE))
        connect(byDate, &QAbstractButton::clicked, this, [this] { EnableDatePickers(); });

    zq::WaitCursor wait;
    // The PDM database is where the hits' files are fetched from; the index is opened when searched.
    if (!InitConnection())
        return false;
    EnsureServicesOpen();
    SetupDatePickers(kDaysBack, true);
    EnableDatePickers();
    SetupDocumentList({
        {QStringLiteral("文件说明"), 100},
        {QStringLiteral("文件名称"), 110},
        {QStringLiteral("类型"), 60},
        {QStringLiteral("日期"), 90},
        {QStringLiteral("片段"), 320},
    });
    return true;
}

void CZQPDMSearchContent::EnableDatePickers()
{
    const bool byDate = zq::IsChecked(*this, IDC_BY_DATE);
    for (const int id : {IDC_FROM, IDC_TO})
        if (QWidget* picker = zq::Control(*this, id))
            picker->setEnabled(byDate);
}

ContentConditions CZQPDMSearchContent::ReadConditions() const
{
    ContentConditions conditions;
    conditions.words = zq::ControlText(*this, IDC_WORDS);
    conditions.kind = zq::ComboIndex(*this, IDC_KIND);
    conditions.byDate = zq::IsChecked(*this, IDC_BY_DATE);
    conditions.from = FromDate();
    conditions.to = ToDate();
    return conditions;
}

namespace {

// Tells the user, and whoever listens for failed searches.
void RefuseSearch(const QString& message)
{
    CZQDocumentListPage::ShowPrompt(message);
    zq::NoteSearchFailure(message);
}

} // namespace

zq::Connection* CZQPDMSearchContent::IndexConnection()
{
    if (m_index)
        return m_index->GetPtrPDM();
    OpenedContentIndex opened = OpenContentIndex(zq::db::ConfiguredContentIndexUrl());
    if (!opened.index) {
        RefuseSearch(opened.problem);
        return nullptr;
    }
    m_index = std::move(opened.index);
    return m_index->GetPtrPDM();
}

int CZQPDMSearchContent::DoSearch()
{
    QueryGuard guard(*this);
    ClearRows();
    zq::Connection* index = IndexConnection();
    if (!index)
        return 0;
    const ContentConditions conditions = ReadConditions();
    m_searchedWords = ContentWords(conditions.words);
    const ContentSqlText text = BuildContentSql(conditions, zq::sql::DbmsOf(index->dbms()));
    if (text.dateWarning)
        WarnReversedDates();
    // A word the trigram index finds: read through the index, planned for every row (planned for
    // its first rows, the server walks the files by date and tries the word on each).
    return RunRecordQuery(text.sql, ContentRowLayout(), false, index,
                          text.preferIndexScans ? zq::zqPlanForEveryRow | zq::zqPreferIndexScans
                                                : int(zq::adCmdUnspecified));
}

void CZQPDMSearchContent::OnDblclkResult()
{
    OpenMarkedRow();
}

void CZQPDMSearchContent::OnRclickResult()
{
    if (ChoseBrowse())
        OpenMarkedRow();
}

void CZQPDMSearchContent::OpenMarkedRow()
{
    const DocumentRecord* record = MarkedRecord();
    if (!record)
        return;
    // Each hit opens as the page it comes from opens it: by its own kind's storage setting.
    StoredFileRetrieval retrieval(*record);
    if (StoredKindOf(*record) == StoredKind::ResourceFile)
        retrieval.OpenResourceFile(ReadStorageSetting(kResourceStorageKey));
    else
        retrieval.OpenDesignDocument(ReadStorageSetting(kDesignDocumentStorageKey), PageStore());
}

StoredKind CZQPDMSearchContent::StoredKindOf(const DocumentRecord& record) const
{
    return KindOfSourceTable(record.Field(zq::doc::RecordField::SourceTable)) == ContentKindNames().at(KindResource)
               ? StoredKind::ResourceFile
               : StoredKind::DesignDocument;
}

zq::PreviewSubject CZQPDMSearchContent::PreviewOf(int row)
{
    zq::PreviewSubject subject = CZQDocumentListPage::PreviewOf(row);
    subject.words = m_searchedWords;
    return subject;
}

#include "ZQPDMSearchContent.h"

#include "ConnectionUrl.h"
#include "Desktop.h"
#include "ListCtrl.h"
#include "PageRegistry.h"
#include "SearchFailure.h"
#include "StoredFileRetrieval.h"
#include "ZQDBConnect.h"

#include <QAbstractButton>
#include <QFile>

#include <cerrno>
#include <sys/stat.h>

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
    OpenPageStore();
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

// An SQLite index that is not there yet: zqpdm-index has not run. A file the user may not even
// look for (a folder closed to them) is not taken for a missing one: opening it says why.
bool NotMadeYet(const QString& url)
{
    QString ignored;
    const auto parsed = zq::db::ParseConnectionUrl(url, &ignored);
    struct stat info {};
    return parsed && parsed->driver == u"QSQLITE" &&
           ::stat(QFile::encodeName(parsed->database).constData(), &info) != 0 && errno == ENOENT;
}

// Whether the index's database holds the index's table. SQLite opens its file at the first
// statement, and a listing of the tables swallows what went wrong there (a file the user may not
// read, a journal that needs writing): it is asked with a statement of its own, whose failure
// throws the engine's message.
bool HoldsContentIndex(zq::CZQDBConnect& index)
{
    zq::Connection* connection = index.GetPtrPDM();
    if (zq::sql::DbmsOf(connection->dbms()) != zq::sql::Dbms::Sqlite)
        return index.HasTable(QStringLiteral("ContentFile"));
    zq::Recordset tables;
    tables.Open(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND lower(name) = 'contentfile'"),
                connection);
    return !tables.IsEOF() && tables.GetFieldValue(0).toLongLong() > 0;
}

// Why this version cannot search the index: one of an earlier layout (zqpdm-index brings it up to
// date) or of a later one; empty when it can.
QString IndexLayoutProblem(zq::CZQDBConnect& index)
{
    QString version;
    try {
        version = index.GetSelectItemData(QStringLiteral("SELECT Value FROM ContentIndexInfo WHERE Name = 'version'"));
    } catch (const zq::_com_error& error) {
        return QStringLiteral("内容索引不能读取: ") + error.Description();
    }
    const int found = version.toInt();
    if (found == kContentIndexVersion)
        return {};
    if (found > kContentIndexVersion)
        return QStringLiteral("内容索引由更新版本的 zqpdm-index 建立 (格式版本 %1), 这个版本不能读取它。\n请更新本程序。")
            .arg(version);
    return QStringLiteral("内容索引的格式是旧的 (版本 %1), 这个版本不能读取它。\n请运行 zqpdm-index 更新内容索引 "
                          "(已有的文本保留, 文件不必重新读取)。")
        .arg(version.isEmpty() ? QStringLiteral("?") : version);
}

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
    const QString url = zq::db::ConfiguredContentIndexUrl();
    const QString runIndexer = QStringLiteral("内容索引由 zqpdm-index 建立和更新, 请先运行它。");
    if (NotMadeYet(url)) {
        RefuseSearch(QStringLiteral("还没有内容索引 (%1)。\n%2").arg(zq::db::RedactUrl(url), runIndexer));
        return nullptr;
    }
    auto index = std::make_unique<zq::CZQDBConnect>(url);
    const bool connected = index->Init() && index->ConnectPDM();
    // The index is never the connection the other pages and the services share.
    if (zq::CZQDBConnect::GetCurDBConnect() == index.get())
        zq::CZQDBConnect::SetCurDBConnect(nullptr);
    if (!connected) {
        RefuseSearch(QStringLiteral("内容索引不能打开: %1").arg(index->LastError()));
        return nullptr;
    }
    try {
        if (!HoldsContentIndex(*index)) {
            RefuseSearch(QStringLiteral("%1 中没有内容索引。\n%2").arg(zq::db::RedactUrl(url), runIndexer));
            return nullptr;
        }
    } catch (const zq::_com_error& error) {
        RefuseSearch(QStringLiteral("内容索引不能打开 (%1): %2").arg(zq::db::RedactUrl(url), error.Description()));
        return nullptr;
    }
    if (const QString problem = IndexLayoutProblem(*index); !problem.isEmpty()) {
        RefuseSearch(problem);
        return nullptr;
    }
    m_index = std::move(index);
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
    return RunRecordQuery(text.sql, ContentRowLayout(), false, index);
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
    return KindOfSourceTable(record.Slot(SlotSourceTable)) == ContentKindNames().at(KindResource)
               ? StoredKind::ResourceFile
               : StoredKind::DesignDocument;
}

zq::PreviewSubject CZQPDMSearchContent::PreviewOf(int row)
{
    zq::PreviewSubject subject = CZQDocumentListPage::PreviewOf(row);
    subject.words = m_searchedWords;
    return subject;
}

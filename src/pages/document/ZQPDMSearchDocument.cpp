#include "ZQPDMSearchDocument.h"

#include "Desktop.h"
#include "ListCtrl.h"
#include "PageRegistry.h"
#include "StoredFileRetrieval.h"

#include <QComboBox>

using namespace zq::doc;

namespace {

constexpr int kDaysBack = 30;

// Laid out to fit the search window's page area at its default size.
const DialogTemplate kTemplate23004{
    CZQPDMSearchDocument::kTemplateId, QString(), QSize(356, 203), QStringLiteral("MS Sans Serif"), 8,
    {
        {-1, ControlKind::Static, QStringLiteral("文档说明:"), QRect(2, 4, 44, 8)},
        {CZQPDMSearchDocument::IDC_DESCRIPTION, ControlKind::Edit, QString(), QRect(48, 2, 62, 12)},
        {-1, ControlKind::Static, QStringLiteral("文件名称:"), QRect(2, 20, 44, 8)},
        {CZQPDMSearchDocument::IDC_FILE_NAME, ControlKind::Edit, QString(), QRect(48, 18, 62, 12)},
        {-1, ControlKind::Static, QStringLiteral("文件日期从:"), QRect(2, 36, 44, 8)},
        {CZQPDMSearchDocument::IDC_FROM, ControlKind::DatePicker, QString(), QRect(48, 33, 62, 14)},
        {-1, ControlKind::Static, QStringLiteral("到:"), QRect(34, 53, 12, 8)},
        {CZQPDMSearchDocument::IDC_TO, ControlKind::DatePicker, QString(), QRect(48, 50, 62, 14)},
        {-1, ControlKind::Static, QStringLiteral("涉及零部件:"), QRect(2, 70, 44, 8)},
        {CZQPDMSearchDocument::IDC_PART, ControlKind::Edit, QString(), QRect(48, 68, 62, 12)},
        {-1, ControlKind::Static, QStringLiteral("备注:"), QRect(2, 86, 44, 8)},
        {CZQPDMSearchDocument::IDC_REMARK, ControlKind::Edit, QString(), QRect(48, 84, 62, 12)},
        {-1, ControlKind::Static, QStringLiteral("文档类型:"), QRect(2, 102, 44, 8), CS_HIDDEN},
        {CZQPDMSearchDocument::IDC_KIND, ControlKind::ComboDropList, QStringLiteral("所有\n项目文档\n设计文档\n归档文档"),
         QRect(48, 100, 62, 60), CS_HIDDEN},
        {CZQPDMSearchDocument::IDC_RESULTS, ControlKind::HeaderList, QString(), QRect(112, 2, 240, 198)},
    },
};

const zq::TemplateRegistration kTemplateRegistration(&kTemplate23004);
const zq::PageRegistration kPageRegistration(QStringLiteral("设计文档"),
                                             [] { return std::make_unique<CZQPDMSearchDocument>(); });

} // namespace

CZQPDMSearchDocument::CZQPDMSearchDocument(QWidget* parent) : CZQDocumentListPage(parent) {}

CZQPDMSearchDocument::~CZQPDMSearchDocument() = default;

bool CZQPDMSearchDocument::CreatePage(QWidget* parent)
{
    return CreateFromTemplate(parent, kTemplateId);
}

bool CZQPDMSearchDocument::OnInitDialog()
{
    zq::SetComboIndex(*this, IDC_KIND, KindArchived);
    if (CHeaderListCtrl* results = ResultList())
        connect(results, &CReportListCtrl::doubleClicked, this, [this] { OnDblclkResult(); });

    zq::WaitCursor wait;
    if (!InitConnection())
        return false;
    EnsureServicesOpen();
    SetupDatePickers(kDaysBack, true);
    SetupDocumentList({
        {QStringLiteral("图号[版本]"), 100},
        {QStringLiteral("文件说明"), 100},
        {QStringLiteral("大小"), 50},
        {QStringLiteral("文件类型"), 110},
        {QStringLiteral("文件日期"), 90},
        {QStringLiteral("文档类型"), 90},
    });
    return true;
}

DocumentConditions CZQPDMSearchDocument::ReadConditions() const
{
    DocumentConditions conditions;
    conditions.description = zq::ControlText(*this, IDC_DESCRIPTION);
    conditions.fileName = zq::ControlText(*this, IDC_FILE_NAME);
    conditions.part = zq::ControlText(*this, IDC_PART);
    conditions.remark = zq::ControlText(*this, IDC_REMARK);
    conditions.from = FromDate();
    conditions.to = ToDate();
    conditions.kind = zq::ComboIndex(*this, IDC_KIND);
    return conditions;
}

QStringList CZQPDMSearchDocument::BuildSearchSql()
{
    const DocumentSqlTexts texts = BuildDocumentSql(ReadConditions());
    if (texts.dateWarning)
        WarnReversedDates();
    return texts.sql;
}

int CZQPDMSearchDocument::DoSearch()
{
    QueryGuard guard(*this);
    const QStringList sqlTexts = BuildSearchSql();
    ClearRows();
    for (const QString& sql : sqlTexts)
        if (RunRecordQuery(sql, DocumentRowLayout(), true) == 0)
            return 0;
    return 1;
}

void CZQPDMSearchDocument::OnDblclkResult()
{
    const DocumentRecord* record = MarkedRecord();
    if (!record)
        return;
    StoredFileRetrieval(*record).OpenDesignDocument(ReadStorageSetting(kDesignDocumentStorageKey), PageStore());
}

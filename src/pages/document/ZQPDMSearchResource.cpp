#include "ZQPDMSearchResource.h"

#include "Desktop.h"
#include "ListCtrl.h"
#include "PageRegistry.h"
#include "ResourceSql.h"
#include "StoredFileRetrieval.h"

using namespace zq::doc;

namespace {

constexpr int kValueColumn = 1;

// Laid out to fit the search window's page area at its default size.
const DialogTemplate kTemplate23003{
    CZQPDMSearchResource::kTemplateId, QString(), QSize(356, 203), QStringLiteral("MS Sans Serif"), 8,
    {
        {CZQPDMSearchResource::IDC_CONDITIONS, ControlKind::GridList, QString(), QRect(2, 2, 108, 198)},
        {CZQPDMSearchResource::IDC_RESULTS, ControlKind::HeaderList, QString(), QRect(112, 2, 240, 198)},
    },
};

const zq::TemplateRegistration kTemplateRegistration(&kTemplate23003);
const zq::PageRegistration kPageRegistration(QStringLiteral("资源文件"),
                                             [] { return std::make_unique<CZQPDMSearchResource>(); });

} // namespace

CZQPDMSearchResource::CZQPDMSearchResource(QWidget* parent) : CZQDocumentListPage(parent) {}

CZQPDMSearchResource::~CZQPDMSearchResource() = default;

bool CZQPDMSearchResource::CreatePage(QWidget* parent)
{
    return CreateFromTemplate(parent, kTemplateId);
}

CGridListCtrl* CZQPDMSearchResource::ConditionList() const
{
    return zq::ControlAs<CGridListCtrl>(*this, IDC_CONDITIONS);
}

bool CZQPDMSearchResource::OnInitDialog()
{
    SetResizeRule(ResizeRule::ConditionAndResult);
    if (CHeaderListCtrl* results = ResultList()) {
        connect(results, &CReportListCtrl::rightClicked, this, [this] { OnRclickResult(); });
        connect(results, &CReportListCtrl::doubleClicked, this, [this] { OnDblclkResult(); });
    }

    if (!InitConnection())
        return false;
    EnsureServicesOpen();
    SetupConditionList();
    SetupDocumentList({
        {QStringLiteral("文件说明"), 100},
        {QStringLiteral("大小"), 50},
        {QStringLiteral("文件类型"), 110},
        {QStringLiteral("文件日期"), 90},
    });
    return true;
}

void CZQPDMSearchResource::SetupConditionList()
{
    CGridListCtrl* grid = ConditionList();
    if (!grid)
        return;
    grid->SetExtendedStyle(grid->GetExtendedStyle() | CReportListCtrl::LVS_EX_FULLROWSELECT |
                           CReportListCtrl::LVS_EX_GRIDLINES);
    grid->InsertColumn(0, QStringLiteral("属性项"), CReportListCtrl::LVCFMT_LEFT, 80);
    grid->InsertColumn(1, QStringLiteral("属性值"), CReportListCtrl::LVCFMT_LEFT, 80);
    grid->SetEditableColumns({kValueColumn});
    const QStringList names = ReadResourceConditionNames(ResourceConfigPath());
    for (int row = 0; row < names.size(); ++row)
        grid->InsertItem(row, names.at(row));
}

QString CZQPDMSearchResource::BuildSearchSql() const
{
    QStringList values;
    if (CGridListCtrl* grid = ConditionList())
        values = grid->GetColumnTexts(kValueColumn);
    return BuildResourceSql(values);
}

int CZQPDMSearchResource::DoSearch()
{
    QueryGuard guard(*this);
    ClearRows();
    return RunRecordQuery(BuildSearchSql(), ResourceRowLayout(), false);
}

void CZQPDMSearchResource::OnRclickResult()
{
    if (ChoseBrowse())
        OpenMarkedRow(ReadStorageSetting(kResourceStorageKey));
}

void CZQPDMSearchResource::OnDblclkResult()
{
    OpenMarkedRow(ReadStorageSetting(kResourceStorageKey));
}

void CZQPDMSearchResource::OpenMarkedRow(int storageSetting)
{
    if (const DocumentRecord* record = MarkedRecord())
        StoredFileRetrieval(*record).OpenResourceFile(storageSetting);
}

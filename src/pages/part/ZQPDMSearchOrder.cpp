#include "ZQPDMSearchOrder.h"

#include "OrderSql.h"
#include "PageRegistry.h"

using namespace zq::part;

namespace {

const zq::PageRegistration kPageRegistration(QStringLiteral("批次产品"),
                                             [] { return std::make_unique<CZQPDMSearchOrder>(); });

} // namespace

CZQPDMSearchOrder::CZQPDMSearchOrder(QWidget* parent) : CZQPartConditionPage(parent)
{
    SetMenuEndsWithSeparator(true);
}

CZQPDMSearchOrder::~CZQPDMSearchOrder() = default;

bool CZQPDMSearchOrder::CreatePage(QWidget* parent)
{
    return CreateFromTemplate(parent, kTemplateId);
}

bool CZQPDMSearchOrder::OnInitDialog()
{
    return InitConditionPage(ConditionRows(BatchConditionNames(ReadConditionNames(ConditionConfigPath()))),
                             {
                                 {QStringLiteral("零部件图号"), 100},
                                 {QStringLiteral("零部件图名"), 120},
                                 {QStringLiteral("所在产品"), 120},
                                 OldCodeColumn(),
                                 {QStringLiteral("来源类型"), 120},
                             });
}

QString CZQPDMSearchOrder::BuildSearchSql()
{
    UpdateData(true);
    return WarnedSql(BuildOrderSearchSql(m_nKind, ConditionValues(), FromDate(), ToDate()));
}

int CZQPDMSearchOrder::DoSearch()
{
    return PlainSearch(BuildSearchSql());
}

#include "ZQECOSearchECO.h"

#include "ComError.h"
#include "ECOOldDrawingNumber.h"
#include "PageRegistry.h"
#include "ZQDBConnect.h"
#include "ZQPDMFC.h"

#include <QAbstractButton>

namespace {

enum ControlId {
    IdAuthor = 1067, IdPickUser = 1309, IdFrom = 1204, IdTo = 1258, IdOrderNumber = 1376, IdSubject = 1004,
    IdModeApprox = 1111, IdModeOldCode = 1112, IdPartCode = 1022, IdState = 1023, IdResult = 1319,
};

const DialogTemplate kTemplate376{
    376, QString(), CZQSearchPage::kTemplateArea, QStringLiteral("MS Sans Serif"), 8,
    {
        {-1, ControlKind::Static, QStringLiteral("编制人:"), QRect(2, 4, 30, 8)},
        {IdAuthor, ControlKind::Edit, QString(), QRect(34, 2, 60, 12)},
        {IdPickUser, ControlKind::Button, QStringLiteral("..."), QRect(96, 2, 14, 12)},
        {-1, ControlKind::Static, QStringLiteral("编制日期:"), QRect(2, 19, 40, 8)},
        {-1, ControlKind::Static, QStringLiteral("从:"), QRect(10, 33, 14, 8)},
        {IdFrom, ControlKind::DatePicker, QString(), QRect(34, 30, 76, 14)},
        {-1, ControlKind::Static, QStringLiteral("到:"), QRect(10, 51, 14, 8)},
        {IdTo, ControlKind::DatePicker, QString(), QRect(34, 48, 76, 14)},
        {-1, ControlKind::Static, QStringLiteral("更改单编号(含):"), QRect(2, 68, 80, 8)},
        {IdOrderNumber, ControlKind::Edit, QString(), QRect(2, 78, 108, 12)},
        {-1, ControlKind::Static, QStringLiteral("主题含:"), QRect(2, 95, 60, 8)},
        {IdSubject, ControlKind::Edit, QString(), QRect(2, 105, 108, 12)},
        {-1, ControlKind::GroupBox, QString(), QRect(2, 120, 108, 34)},
        {IdModeApprox, ControlKind::Radio, QStringLiteral("零部件近似图号"), QRect(8, 128, 96, 10), CS_GROUP},
        {IdModeOldCode, ControlKind::Radio, QStringLiteral("旧图号"), QRect(8, 140, 96, 10)},
        {IdPartCode, ControlKind::Edit, QString(), QRect(2, 158, 108, 12)},
        {-1, ControlKind::Static, QStringLiteral("状态:"), QRect(2, 177, 30, 8)},
        {IdState, ControlKind::ComboDropList,
         QStringLiteral("临时\n待评审\n评审\n更改\n完成\n正式\n所有"), QRect(34, 175, 76, 12)},
        {IdResult, ControlKind::ReportList, QString(), QRect(112, 2, 235, 193)},
    },
};

const zq::TemplateRegistration kTemplateRegistration(&kTemplate376);
const zq::PageRegistration kPageRegistration(QStringLiteral("更改单"),
                                             [] { return std::make_unique<CZQECOSearchECO>(); });

} // namespace

CZQECOSearchECO::CZQECOSearchECO(QWidget* parent) : CZQECOListPage(parent), m_author(*this, IdAuthor) {}

bool CZQECOSearchECO::CreatePage(QWidget* parent)
{
    return CreateFromTemplate(parent, 376);
}

bool CZQECOSearchECO::OnInitDialog()
{
    ConnectOrderList();
    if (auto* button = zq::ControlAs<QAbstractButton>(*this, IdPickUser))
        connect(button, &QAbstractButton::clicked, this, [this] { m_author.Pick(m_pDBConnect); });
    zq::SetComboIndex(*this, IdState, zq::eco::kAllStates);
    zq::SetChecked(*this, IdModeApprox, true);

    if (!InitConnection())
        return false;
    EnsureServicesOpen();
    m_author.ShowFetchedUser();
    SetupOrderList();
    SetupDatePickers(30, true);
    return true;
}

QString CZQECOSearchECO::BuildSql()
{
    zq::eco::OrderConditions conditions;
    conditions.author = zq::ControlText(*this, IdAuthor);
    conditions.orderNumber = zq::ControlText(*this, IdOrderNumber);
    conditions.subject = zq::ControlText(*this, IdSubject);
    conditions.partCode = zq::ControlText(*this, IdPartCode).trimmed();
    conditions.stateIndex = zq::ComboIndex(*this, IdState);
    conditions.from = FromDate();
    conditions.to = ToDate();

    if (zq::IsChecked(*this, IdModeOldCode)) {
        if (!m_pDBConnect)
            return QString();
        conditions.partCode = zq::eco::TranslateOldDrawingNumber(*m_pDBConnect, conditions.partCode,
                                                                 zq::eco::ReadOldCodeConfig());
        if (conditions.partCode.isEmpty())
            return QString();
    }
    return TakeSql(zq::eco::BuildOrderSql(conditions));
}

int CZQECOSearchECO::DoSearch()
{
    QueryGuard guard(*this);
    ClearRows();
    QString sql;
    try {
        sql = BuildSql();
    } catch (const zq::_com_error& error) {
        zq::ReportComError(error.Description(), error.Source());
        return 0;
    }
    if (sql.isEmpty()) {
        ShowPrompt(QStringLiteral("输入的旧图号不存在！"));
        return 0;
    }
    return ReadOrderRows(sql);
}

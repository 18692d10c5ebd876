#include "EcoServices.h"
#include "CallLog.h"
#include "Desktop.h"
#include "ServiceDatabase.h"
#include "ZQDBConnect.h"
#include "SqlText.h"
#include "ZQPDMFC.h"

int CZQECOObject::ViewECOItem(const QString& group, const QString& number)
{
    zq::CallLog::Record(QStringLiteral("CZQECOObject"), QStringLiteral("ViewECOItem"), {group, number});
    zq::CZQDBConnect* db = zq::svc::Database();
    if (!db)
        return 0;
    try {
        const QString no = zq::SqlQuote(number);
        const auto orders = zq::svc::QueryRows(
            *db, QStringLiteral("SELECT ECONo, Remark, SaveUser, SaveDate, State, Reason FROM ECOModifyManage "
                                "WHERE ECONo = '%1'")
                     .arg(no));
        if (orders.isEmpty()) {
            zq::svc::Tell(QStringLiteral("没有找到更改单: %1").arg(number));
            return 0;
        }
        const QVariantList& order = orders.first();
        zq::ReportRequest report;
        report.title = QStringLiteral("%1 - %2").arg(group, number);
        report.headers = {QStringLiteral("项目"), QStringLiteral("内容")};
        const QString labels[] = {QStringLiteral("更改单号"), QStringLiteral("更改主题"), QStringLiteral("编制人员"),
                                  QStringLiteral("编制日期"), QStringLiteral("状态"), QStringLiteral("更改原因")};
        report.rows.append({QStringLiteral("单据类型"), group});
        for (int i = 0; i < order.size(); ++i)
            report.rows.append({labels[i], zq::ValueToText(order.at(i))});
        for (const QVariantList& part : zq::svc::QueryRows(
                 *db, QStringLiteral("SELECT PartCode, PartName, Result FROM ECOModifyPart WHERE ECONo = '%1'").arg(no))) {
            QString text = zq::ValueToText(part.at(0)) + QLatin1Char(' ') + zq::ValueToText(part.at(1));
            if (!zq::ValueToText(part.at(2)).isEmpty())
                text += QStringLiteral(" : ") + zq::ValueToText(part.at(2));
            report.rows.append({QStringLiteral("更改零部件"), text});
        }
        for (const QVariantList& dept : zq::svc::QueryRows(
                 *db, QStringLiteral("SELECT Enpartment FROM ECOHandout WHERE ECONo = '%1' AND ECOGroup = '%2'")
                          .arg(no, zq::SqlQuote(group))))
            report.rows.append({QStringLiteral("发放部门"), zq::ValueToText(dept.at(0)).trimmed()});
        zq::Desktop::current().showReport(report);
        return 1;
    } catch (const zq::_com_error& e) {
        zq::svc::ReportDatabaseError(e);
        return 0;
    }
}

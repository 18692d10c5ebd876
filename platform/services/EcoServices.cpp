#include "EcoServices.h"
#include "CallLog.h"

int CZQECOObject::ViewECOItem(const QString& group, const QString& number)
{
    zq::CallLog::Record(QStringLiteral("CZQECOObject"), QStringLiteral("ViewECOItem"), {group, number});
    return 1;
}

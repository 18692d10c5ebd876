#include "PartServices.h"
#include "CallLog.h"

bool CZQPart::SetPartParameter(const QString& code, const QString& arg2, const QString& arg3, const QString& revision)
{
    zq::CallLog::Record(QStringLiteral("CZQPart"), QStringLiteral("SetPartParameter"), {code, arg2, arg3, revision});
    m_code = code;
    m_revision = revision;
    return true;
}

int CZQPart::DwgAttribute(const QString& table, int mode)
{
    zq::CallLog::Record(QStringLiteral("CZQPart"), QStringLiteral("DwgAttribute"), {table, QString::number(mode)});
    return 1;
}

int CZQPart::BrowsePartReversion()
{
    zq::CallLog::Record(QStringLiteral("CZQPart"), QStringLiteral("BrowsePartReversion"), {});
    return 1;
}

int CZQPartBorrowManage::PartUsedSearch(const QString& code)
{
    zq::CallLog::Record(QStringLiteral("CZQPartBorrowManage"), QStringLiteral("PartUsedSearch"), {code});
    return 1;
}

QString CSaveZQPDMFile::DirectReadZQPDMFileFromDB(const QString& key, const QString& kind, const QString& code,
                                                  const QString& revision, const QString& fileTitle)
{
    zq::CallLog::Record(QStringLiteral("CSaveZQPDMFile"), QStringLiteral("DirectReadZQPDMFileFromDB"),
                        {key, kind, code, revision, fileTitle});
    return {};
}

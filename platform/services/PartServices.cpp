#include "PartServices.h"
#include "CallLog.h"
#include "Desktop.h"
#include "LocalTarget.h"
#include "Profile.h"
#include "ServiceDatabase.h"
#include "ZQDBConnect.h"
#include "SqlText.h"
#include "ZQPDMFC.h"
#include <QRegularExpression>

namespace {

const QString kPart = QStringLiteral("CZQPart");

QString configured(const QString& section, const QString& key, const QString& fallback)
{
    return zq::GetPrivateProfileString(section, key, fallback, 260, zq::InstallPath(QStringLiteral("rnds\\spt\\zqpdmcad.ini")));
}

QStringList titleLabels()
{
    const QString section = QStringLiteral("产品属性");
    QStringList labels = {QStringLiteral("图号"), QStringLiteral("图名"), QStringLiteral("材料"), QStringLiteral("比例"),
                          QStringLiteral("图幅"), QStringLiteral("类型"), QStringLiteral("标准"), QStringLiteral("布局"),
                          QStringLiteral("装订线"), QStringLiteral("设计者")};
    for (int n = 1; n <= 5; ++n)
        labels.append(configured(section, QStringLiteral("标题其他%1").arg(n), QStringLiteral("其他%1").arg(n)));
    labels << QStringLiteral("负责人") << QStringLiteral("状态") << QStringLiteral("日期") << QStringLiteral("所在产品")
           << QStringLiteral("版本");
    return labels;
}

QStringList attributeLabels()
{
    QStringList labels = {QStringLiteral("分类码"),      QStringLiteral("关键件标志"),  QStringLiteral("物料标志"),
                          QStringLiteral("装箱长(mm)"), QStringLiteral("装箱宽(mm)"), QStringLiteral("装箱高(mm)"),
                          QStringLiteral("供应商")};
    for (int n = 1; n <= 5; ++n)
        labels.append(configured(QStringLiteral("零部件附加信息"), QStringLiteral("附加其他%1").arg(n),
                                 QStringLiteral("其他%1").arg(n)));
    return labels;
}

const char* const kTitleColumns =
    "Tcode, Tname, Tmaterial, Tratio, Tframe, Ttitle, Tstandard, Tlayout, Tassemble, Tdesigner, "
    "Tother1, Tother2, Tother3, Tother4, Tother5, Manager, State, Ttime, ProductDwgCode, TRevision";

// The part tables are named "<table>_title" and "<table>_detail"; only a plain name is accepted.
bool isPlainName(const QString& name)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z][A-Za-z0-9_]*$"));
    return plain.match(name).hasMatch();
}

QStringList texts(const QVariantList& row)
{
    QStringList out;
    for (const QVariant& v : row)
        out.append(zq::ValueToText(v));
    return out;
}

} // namespace

bool CZQPart::SetPartParameter(const QString& code, const QString& arg2, const QString& arg3, const QString& revision)
{
    zq::CallLog::Record(kPart, QStringLiteral("SetPartParameter"), {code, arg2, arg3, revision});
    m_code = code.trimmed();
    m_revision = revision.trimmed();
    return !m_code.isEmpty();
}

int CZQPart::DwgAttribute(const QString& table, int mode)
{
    zq::CallLog::Record(kPart, QStringLiteral("DwgAttribute"), {table, QString::number(mode)});
    if (m_code.isEmpty() || !isPlainName(table))
        return 0;
    zq::CZQDBConnect* db = zq::svc::Database();
    if (!db)
        return 0;
    try {
        const QString code = zq::SqlQuote(m_code);
        const auto titles = zq::svc::QueryRows(
            *db, QStringLiteral("SELECT %1 FROM %2_title WHERE Tcode = '%3' ORDER BY Ttime")
                     .arg(QLatin1String(kTitleColumns), table, code));
        const auto attributes = zq::svc::QueryRows(
            *db, QStringLiteral("SELECT GroupCode, Key_Flag, Out_Flag, Box_Length, Box_Width, Box_Height, Provider, "
                                "Other1, Other2, Other3, Other4, Other5 FROM PartAttribute WHERE PartCode = '%1'")
                     .arg(code));
        if (titles.isEmpty() && attributes.isEmpty()) {
            zq::svc::Tell(QStringLiteral("没有找到零部件 %1 的属性").arg(m_code));
            return 0;
        }
        zq::ReportRequest report;
        report.title = QStringLiteral("零部件属性 - %1").arg(m_code);
        report.headers = {QStringLiteral("属性项"), QStringLiteral("属性值")};
        if (!titles.isEmpty()) {
            // The requested revision, else the latest drawing.
            QStringList title = texts(titles.last());
            for (const QVariantList& row : titles)
                if (zq::ValueToText(row.last()) == m_revision)
                    title = texts(row);
            const QStringList labels = titleLabels();
            for (int i = 0; i < labels.size() && i < title.size(); ++i)
                report.rows.append({labels.at(i), title.at(i)});
        }
        if (!attributes.isEmpty()) {
            const QStringList values = texts(attributes.first());
            const QStringList labels = attributeLabels();
            for (int i = 0; i < labels.size() && i < values.size(); ++i)
                report.rows.append({labels.at(i), values.at(i)});
        }
        zq::Desktop::current().showReport(report);
        return 1;
    } catch (const zq::_com_error& e) {
        zq::svc::ReportDatabaseError(e);
        return 0;
    }
}

int CZQPart::BrowsePartReversion()
{
    zq::CallLog::Record(kPart, QStringLiteral("BrowsePartReversion"), {});
    if (m_code.isEmpty())
        return 0;
    zq::CZQDBConnect* db = zq::svc::Database();
    if (!db)
        return 0;
    try {
        const QString code = zq::SqlQuote(m_code);
        zq::ReportRequest report;
        report.title = QStringLiteral("版本浏览 - %1").arg(m_code);
        report.headers = {QStringLiteral("版本"), QStringLiteral("图名"), QStringLiteral("状态"), QStringLiteral("日期"),
                          QStringLiteral("所在产品"), QStringLiteral("上级部件")};
        for (const QVariantList& row : zq::svc::QueryRows(
                 *db, QStringLiteral("SELECT TRevision, Tname, State, Ttime, ProductDwgCode FROM ZqlomiraAll_title "
                                     "WHERE Tcode = '%1' ORDER BY Ttime")
                          .arg(code)))
            report.rows.append(texts(row) << QString());
        for (const QVariantList& row : zq::svc::QueryRows(
                 *db, QStringLiteral("SELECT Dname, ProductDwgCode, UpCode FROM ZqlomiraAll_detail WHERE DCode = '%1' "
                                     "ORDER BY ProductDwgCode, UpCode")
                          .arg(code))) {
            const QStringList t = texts(row);
            report.rows.append({QString(), t.value(0), QStringLiteral("明细"), QString(), t.value(1), t.value(2)});
        }
        if (report.rows.isEmpty()) {
            zq::svc::Tell(QStringLiteral("没有找到零部件 %1 的版本").arg(m_code));
            return 0;
        }
        zq::Desktop::current().showReport(report);
        return 1;
    } catch (const zq::_com_error& e) {
        zq::svc::ReportDatabaseError(e);
        return 0;
    }
}

int CZQPartBorrowManage::PartUsedSearch(const QString& code)
{
    zq::CallLog::Record(QStringLiteral("CZQPartBorrowManage"), QStringLiteral("PartUsedSearch"), {code});
    const QString part = code.trimmed();
    if (part.isEmpty())
        return 0;
    zq::CZQDBConnect* db = zq::svc::Database();
    if (!db)
        return 0;
    try {
        zq::ReportRequest report;
        report.title = QStringLiteral("借用查询 - %1").arg(part);
        report.headers = {QStringLiteral("上级图号"), QStringLiteral("上级名称"), QStringLiteral("所在产品"),
                          QStringLiteral("产品名称"), QStringLiteral("数量")};
        for (const QVariantList& row : zq::svc::QueryRows(
                 *db, QStringLiteral("SELECT d.UpCode, d.Upname, d.ProductDwgCode, p.ProductName, d.Dnumber "
                                     "FROM ZqlomiraAll_detail d LEFT JOIN Product p ON p.ProductDwgCode = d.ProductDwgCode "
                                     "WHERE d.DCode = '%1' ORDER BY d.ProductDwgCode, d.UpCode")
                          .arg(zq::SqlQuote(part))))
            report.rows.append(texts(row));
        zq::Desktop::current().showReport(report);
        return 1;
    } catch (const zq::_com_error& e) {
        zq::svc::ReportDatabaseError(e);
        return 0;
    }
}

QString CSaveZQPDMFile::DirectReadZQPDMFileFromDB(const QString& key, const QString& kind, const QString& code,
                                                  const QString& revision, const QString& fileTitle)
{
    const QString component = QStringLiteral("CSaveZQPDMFile");
    const QString operation = QStringLiteral("DirectReadZQPDMFileFromDB");
    zq::CallLog::Record(component, operation, {key, kind, code, revision, fileTitle});
    const auto fail = [&](const QString& reason) {
        zq::CallLog::RecordFailure(component, operation, reason);
        return QString();
    };
    zq::CZQDBConnect* db = zq::svc::Database();
    if (!db)
        return fail(QStringLiteral("没有数据库连接"));
    try {
        const QString table = QStringLiteral("ZqPDMFile");
        const auto select = [](const QString& content, const QString& where) {
            return QStringLiteral("SELECT FileName, %1 FROM ZqPDMFile WHERE %2").arg(content, where);
        };
        // A reader with a byte limit asks the lengths first and then only for what it takes.
        const QString asked = m_limits.bounded() ? QStringLiteral("DATALENGTH(DocContent)") : QStringLiteral("DocContent");
        QString where = QStringLiteral("FileKey = '%1'").arg(zq::SqlQuote(key));
        auto byKey = zq::svc::QueryOwnTable(*db, table, select(asked, where));
        // No design-file table in this database: nothing to fetch, nothing to tell the user.
        if (!byKey)
            return fail(QStringLiteral("数据库中没有设计文件表 ZqPDMFile"));
        QList<QVariantList> rows = *byKey;
        if (rows.isEmpty()) {
            where = QStringLiteral("Code = '%1' AND Revision = '%2' AND FileTitle = '%3'")
                        .arg(zq::SqlQuote(code), zq::SqlQuote(revision), zq::SqlQuote(fileTitle));
            rows = zq::svc::QueryRows(*db, select(asked, where));
        }
        const QString missing = QStringLiteral("数据库中没有文件: %1").arg(fileTitle);
        if (rows.isEmpty() || rows.first().value(1).isNull()) {
            zq::svc::Tell(missing);
            return fail(missing);
        }
        if (m_limits.bounded()) {
            const qint64 size = rows.first().value(1).toLongLong();
            QString content = QStringLiteral("DocContent");
            if (size > m_limits.maxBytes) {
                if (!m_limits.startWillDo)
                    return fail(zq::svc::TooLargeMessage(size, m_limits.maxBytes));
                content = QStringLiteral("SUBSTRING(DocContent, 1, %1)").arg(m_limits.maxBytes);
            }
            rows = zq::svc::QueryRows(*db, select(content, where));
            if (rows.isEmpty() || rows.first().value(1).isNull())
                return fail(missing);
        }
        QString name = zq::svc::PlainFileName(zq::ValueToText(rows.first().value(0)));
        if (name.isEmpty())
            name = zq::svc::PlainFileName(fileTitle);
        if (name.isEmpty())
            return fail(QStringLiteral("文件名无效: %1").arg(fileTitle));
        // Only a folder inside the temporary folder is taken; anything else lands in the temporary folder.
        const QString path = zq::svc::SafeLocalPath((m_targetFolder.isEmpty() ? zq::TempFolder() : m_targetFolder) + name);
        QString error;
        if (!zq::svc::WriteFileAtomically(path, rows.first().value(1).toByteArray(), &error)) {
            zq::svc::Tell(error);
            return fail(error);
        }
        return path;
    } catch (const zq::_com_error& e) {
        zq::svc::ReportDatabaseError(e);
        return fail(e.Description());
    }
}

#include "FaultPages.h"
#include "DialogTemplate.h"
#include "ListCtrl.h"
#include "TestEngines.h"
#include "ZQECOSearchBrance.h"
#include "ZQECOSearchResult.h"

#include <QAbstractButton>
#include <QDate>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QUuid>

namespace faults {

namespace {

constexpr int kAuthor = 1067;          // the change-order pages' author field
constexpr int kAddOpinion = 1009;

void ClearAuthor(CZQSearchPage& page)
{
    zq::SetControlText(page, kAuthor, QString());
}

} // namespace

const std::vector<FaultPage>& FaultPages()
{
    static const std::vector<FaultPage> pages = {
        // Title search over the last 360 days.
        {"part", "设计零部件", true, [](CZQSearchPage&) {}},
        {"eco_order", "更改单", false, ClearAuthor},
        {"eco_department", "更改发放部门", true,
         [](CZQSearchPage& page) { dynamic_cast<CZQECOSearchBrance&>(page).AddDepartments({QStringLiteral("故障车间")}); }},
        {"eco_changed_part", "更改影响面", true, ClearAuthor},
        {"eco_opinion", "更改处理意见", true,
         [](CZQSearchPage& page) {
             zq::ControlAs<QAbstractButton>(page, kAddOpinion)->click();
             CGridListCtrl* opinions = dynamic_cast<CZQECOSearchResult&>(page).GetOpinionList();
             opinions->SetItemText(opinions->GetItemCount() - 1, 1, QStringLiteral("故障"));
         }},
        // Their own conditions as a new window shows them: archived documents of the last 30 days,
        // every resource file, batch titles of the last 360 days; tasks of every kind of the last
        // 30 days and every design-process part, both read without a progress window.
        {"document", "设计文档", true, [](CZQSearchPage&) {}},
        {"resource", "资源文件", true, [](CZQSearchPage&) {}},
        {"order", "批次产品", true, [](CZQSearchPage&) {}},
        {"task", "设计任务", false, [](CZQSearchPage&) {}},
        {"process_part", "设计过程零部件", false, [](CZQSearchPage&) {}, "查询数据库记录时出现异常!"},
    };
    return pages;
}

QString AddFaultRows(const QString& databaseUrl, const QString& today, int count)
{
    const QString name = QStringLiteral("fault-rows-") + QUuid::createUuid().toString(QUuid::Id128);
    QString error;
    {
        QSqlDatabase db;
        if (databaseUrl.startsWith(QLatin1String("sqlite:"))) {
            db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(databaseUrl.mid(7));
        } else {
            db = zq::test::AddPostgresDatabase(databaseUrl, name);
        }
        if (!db.open())
            return db.lastError().text();
        const QString stamp = QDate::fromString(today, Qt::ISODate).addDays(-1).toString(Qt::ISODate) +
                              QStringLiteral(" 10:00:00");
        const auto code = [](int i) { return QStringLiteral("FLT-%1").arg(i, 4, 10, QLatin1Char('0')); };
        const auto project = [](int i) { return QStringLiteral("FLTXM%1").arg(i, 4, 10, QLatin1Char('0')); };
        const struct {
            const char* sql;
            std::function<QVariantList(int)> values;
        } inserts[] = {
            {"INSERT INTO ZqlomiraAll_title (Tcode, Tname, ProductDwgCode, Ttime, TRevision) VALUES (?, ?, ?, ?, ?)",
             [&](int i) -> QVariantList { return {QStringLiteral("FLT-%1").arg(i, 4, 10, QLatin1Char('0')),
                                                  QStringLiteral("故障件%1").arg(i), QStringLiteral("ZQ8600"), stamp,
                                                  QStringLiteral("A")}; }},
            {"INSERT INTO ECOModifyManage (ECONo, ECOGroup, Remark, SaveUser, SaveDate, State) VALUES (?, ?, ?, ?, ?, ?)",
             [&](int i) -> QVariantList { return {QStringLiteral("FLT%1").arg(i, 4, 10, QLatin1Char('0')),
                                                  QStringLiteral("修改单"), QStringLiteral("故障单%1").arg(i),
                                                  QStringLiteral("张伟"), stamp, QStringLiteral("临时")}; }},
            {"INSERT INTO ECOModifyPart (ECONo, PartCode, PartName, Result) VALUES (?, ?, ?, ?)",
             [&](int i) -> QVariantList { return {QStringLiteral("FLT%1").arg(i, 4, 10, QLatin1Char('0')),
                                                  QStringLiteral("FLT-%1").arg(i, 4, 10, QLatin1Char('0')),
                                                  QStringLiteral("故障件%1").arg(i), QStringLiteral("故障处理")}; }},
            {"INSERT INTO ECOHandout (ECONo, ECOGroup, Enpartment) VALUES (?, ?, ?)",
             [&](int i) -> QVariantList { return {QStringLiteral("FLT%1").arg(i, 4, 10, QLatin1Char('0')),
                                                  QStringLiteral("修改单"), QStringLiteral("故障车间")}; }},
            {"INSERT INTO Documents (ProductDwgCode, Code, RevNumber, DocumentType, FileName, FileBulk, FileType, "
             "FileDate, FileRemark) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)",
             [&](int i) -> QVariantList { return {QStringLiteral("ZQ8600"), code(i), QStringLiteral("A"),
                                                  QStringLiteral("故障文档%1").arg(i), code(i) + QStringLiteral(".dwg"), 1,
                                                  QStringLiteral("dwg"), stamp, QStringLiteral("故障")}; }},
            {"INSERT INTO EngineerViewDoc (ItemCode, DocType, FileName, FileBulk, FileType, FileDate) "
             "VALUES (?, ?, ?, ?, ?, ?)",
             [&](int i) -> QVariantList { return {code(i), QStringLiteral("故障资料%1").arg(i),
                                                  code(i) + QStringLiteral(".doc"), 1, QStringLiteral("doc"), stamp}; }},
            {"INSERT INTO ZqOrderProduct_title (TOrdercode, OrderProductCode, Tcode, Tname, Ttime) VALUES (?, ?, ?, ?, ?)",
             [&](int i) -> QVariantList { return {QStringLiteral("PC-FLT"), QStringLiteral("ZQ8600"), code(i),
                                                  QStringLiteral("故障件%1").arg(i), stamp}; }},
            // A project with one work-group task holding one part each.
            {"INSERT INTO ProjectManage (ProjectNo, ProjectName, ProjectManager, WorkState, CreatedTime, ProjectPath) "
             "VALUES (?, ?, ?, ?, ?, ?)",
             [&](int i) -> QVariantList { return {project(i), QStringLiteral("故障项目%1").arg(i), QStringLiteral("zhangwei"),
                                                  QStringLiteral("正进行中"), stamp, QStringLiteral("项目管理")}; }},
            {"INSERT INTO TeamWorkManage (WorkID, WorkName, Manager, WorkState, CreateTime) VALUES (?, ?, ?, ?, ?)",
             [&](int i) -> QVariantList { return {project(i) + QStringLiteral("-01"), QStringLiteral("故障任务%1").arg(i),
                                                  QStringLiteral("zhangwei"), QStringLiteral("正进行中"), stamp}; }},
            {"INSERT INTO TeamWorkPart (WorkID, PartCode, PartName, UserName, SaveDate) VALUES (?, ?, ?, ?, ?)",
             [&](int i) -> QVariantList { return {project(i) + QStringLiteral("-01"), code(i),
                                                  QStringLiteral("故障件%1").arg(i), QStringLiteral("张伟"), stamp}; }},
        };
        db.transaction();
        QSqlQuery query(db);
        for (const auto& insert : inserts) {
            query.prepare(QString::fromUtf8(insert.sql));
            for (int i = 0; i < count && error.isEmpty(); ++i) {
                for (const QVariant& v : insert.values(i))
                    query.addBindValue(v);
                if (!query.exec())
                    error = query.lastError().text();
            }
        }
        db.commit();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return error;
}

} // namespace faults

#pragma once
// Shared pieces of the workbench and facade tests: one widgets application, a temporary
// installation with its page list, small search pages registered under the real captions,
// a host command object that records what it is sent, and scratch tables to query.
#include "DllCommandBase.h"
#include "GbkText.h"
#include "ListCtrl.h"
#include "PageRegistry.h"
#include "ScriptedDesktop.h"
#include "TempResourceOverride.h"
#include "TestApplication.h"
#include "TestEngines.h"
#include "ZQDBConnect.h"
#include "ZQPDMSearchFunction.h"
#include "ZQPDMSearchMain.h"
#include "ZQSearchPage.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUrl>
#include <QUuid>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace wbtest {

inline QApplication& app()
{
    return zq::test::TestApp();
}

// Base of fixtures whose members are widgets: the application exists before them.
struct WithApp {
    WithApp() { app(); }
};

inline QString u8(const char* text)
{
    return QString::fromUtf8(text);
}

// Runs the deletions that deleteLater() queued.
inline void flushDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A client installation in a temporary folder, named by ZQPDM_HOME while it lives.
class TempInstallation {
public:
    TempInstallation()
    {
        m_previous = qgetenv("ZQPDM_HOME");
        m_hadPrevious = qEnvironmentVariableIsSet("ZQPDM_HOME");
        qputenv("ZQPDM_HOME", m_dir.path().toUtf8());
    }
    ~TempInstallation()
    {
        if (m_hadPrevious)
            qputenv("ZQPDM_HOME", m_previous);
        else
            qunsetenv("ZQPDM_HOME");
    }
    QString path() const { return m_dir.path(); }
    // Writes the page list as raw bytes at the given relative path.
    void writePageListBytes(const QByteArray& bytes, const QString& relative = QStringLiteral("Support/Search.cfg"))
    {
        const QString file = m_dir.filePath(relative);
        QDir().mkpath(QFileInfo(file).path());
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(bytes);
    }
    // Writes the captions one a line, GBK, CR LF.
    void writePageList(const QStringList& captions)
    {
        QByteArray bytes;
        for (const QString& caption : captions)
            bytes += zq::EncodeGbk(caption) + "\r\n";
        writePageListBytes(bytes);
    }

private:
    QTemporaryDir m_dir;
    QByteArray m_previous;
    bool m_hadPrevious = false;
};

// The captions of the main window, with whether each page takes part in the link.
struct CaptionInfo {
    const char* caption;
    bool canLocate;
};
inline const std::vector<CaptionInfo>& Captions()
{
    static const std::vector<CaptionInfo> captions = {
        {"设计零部件", true}, {"资源文件", false}, {"设计文档", false}, {"数据视图项", true},
        {"批次产品", true}, {"更改单", true}, {"更改发放部门", true}, {"更改影响面", false},
        {"更改处理意见", true}, {"设计任务", true}, {"设计过程零部件", true},
    };
    return captions;
}

// A page with a one-column result list whose search adds rowsPerSearch rows "R<search>-<row>".
class TestPage : public CZQSearchPage {
public:
    TestPage(const QString& caption, bool canLocate) : m_caption(caption), m_canLocate(canLocate) {}

    bool CreatePage(QWidget* parent) override
    {
        overridesAtCreate = zq::ActiveOverrides();
        if (!createSucceeds)
            return false;
        setParent(parent);
        if (withResultList) {
            m_list = new CReportListCtrl(this);
            m_list->setObjectName(QStringLiteral("1319"));
            m_list->InsertColumn(0, QStringLiteral("编号"), CReportListCtrl::LVCFMT_LEFT, 100);
            ReportSelectionOnItemChanged(m_list);
        }
        return true;
    }
    CReportListCtrl* GetResultList() override { return m_list; }
    QString GetLocateText() override
    {
        const int row = ReportedRowIn(m_list);
        return row < 0 ? QString() : m_list->GetItemText(row, 0);
    }
    int DoSearch() override
    {
        ++searches;
        if (onSearch) {
            onSearch(*this);
            return 1;
        }
        if (m_list) {
            m_list->DeleteAllItems();
            for (int i = 0; i < rowsPerSearch; ++i)
                m_list->InsertItem(i, QStringLiteral("R%1-%2").arg(searches).arg(i));
        }
        return 1;
    }
    void SetTreeItem(CTreeCursor item) override { treeItems.append(item); }
    void OnActivatePage() override { ++activations; }
    bool CanLocate() override { return m_canLocate; }

    QString caption() const { return m_caption; }
    CReportListCtrl* list() const { return m_list; }
    void report(int row) { ReportSelection(row); }
    void runGuarded(const std::function<void()>& body)
    {
        QueryGuard guard(*this);
        body();
    }

    // Set by the factory from the globals below.
    bool withResultList = true;
    bool createSucceeds = true;
    int rowsPerSearch = 3;
    std::function<void(TestPage&)> onSearch;

    // Recorded.
    QStringList overridesAtCreate;
    QList<CTreeCursor> treeItems;
    int searches = 0;
    int activations = 0;

private:
    QString m_caption;
    bool m_canLocate;
    CReportListCtrl* m_list = nullptr;
};

// What the next pages created get; tests change these before the window is created.
struct PageSettings {
    QStringList withoutResultList;       // captions whose page has no result list
    QStringList failingCreate;           // captions whose CreatePage fails
    std::function<void(TestPage&)> onSearch;
    int rowsPerSearch = 3;
};
inline PageSettings& Settings()
{
    static PageSettings settings;
    return settings;
}

// Registers TestPage under every caption for one scope, and restores nothing of the real
// pages: the test binaries use only these.
inline void RegisterTestPages()
{
    Settings() = PageSettings();
    for (const CaptionInfo& info : Captions()) {
        const QString caption = u8(info.caption);
        const bool canLocate = info.canLocate;
        zq::RegisterPageFactory(caption, [caption, canLocate] {
            auto page = std::make_unique<TestPage>(caption, canLocate);
            page->withResultList = !Settings().withoutResultList.contains(caption);
            page->createSucceeds = !Settings().failingCreate.contains(caption);
            page->rowsPerSearch = Settings().rowsPerSearch;
            page->onSearch = Settings().onSearch;
            return page;
        });
    }
}

inline TestPage* AsTestPage(CZQSearchPage* page)
{
    return dynamic_cast<TestPage*>(page);
}

class RecordingCommand : public CDllCommandBase {
public:
    int QueryCommand(const QString&) override { return 0; }
    int ExecuteCommand(const QString& command, const QString& argument) override
    {
        commands.append({command, argument});
        return 1;
    }
    QList<QStringList> commands;
};

// A table "Sample(Code, Name)" with count rows C0001.., 名称<n>, on SQLite always and on the
// PostgreSQL test server when ZQ_TEST_PG names one.
class ScratchTable {
public:
    static std::unique_ptr<ScratchTable> create(const std::string& engine, int count)
    {
        std::unique_ptr<ScratchTable> table(new ScratchTable);
        const QString name = QStringLiteral("wb_") + QUuid::createUuid().toString(QUuid::Id128).left(12);
        table->m_connectionName = name;
        QSqlDatabase db;
        const QString engineName = QString::fromStdString(engine);
        if (!zq::test::UsesPostgres(engineName)) {
            const QString path = table->m_dir.filePath(QStringLiteral("sample.db"));
            table->m_url = zq::test::IsOdbcEngine(engineName) ? zq::test::OdbcSqliteUrl(path) : QStringLiteral("sqlite:") + path;
            db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(path);
            table->m_table = QStringLiteral("Sample");
        } else {
            const QString server = qEnvironmentVariable("ZQ_TEST_PG");
            if (server.isEmpty())
                return nullptr;
            table->m_url = zq::test::IsOdbcEngine(engineName) ? zq::test::OdbcPostgresUrl(server) : server;
            db = zq::test::AddPostgresDatabase(server, name);
            table->m_table = name;
        }
        if (!db.open()) {
            ADD_FAILURE() << db.lastError().text().toStdString();
            return nullptr;
        }
        QSqlQuery query(db);
        if (!query.exec(QStringLiteral("CREATE TABLE %1 (Code VARCHAR(20), Name VARCHAR(40))").arg(table->m_table)))
            ADD_FAILURE() << query.lastError().text().toStdString();
        db.transaction();
        query.prepare(QStringLiteral("INSERT INTO %1 (Code, Name) VALUES (?, ?)").arg(table->m_table));
        for (int i = 1; i <= count; ++i) {
            query.addBindValue(QStringLiteral("C%1").arg(i, 4, 10, QLatin1Char('0')));
            query.addBindValue(QStringLiteral("名称%1").arg(i));
            query.exec();
        }
        db.commit();
        table->m_connect = std::make_unique<zq::CZQDBConnect>(table->m_url);
        if (!table->m_connect->ConnectPDM())
            ADD_FAILURE() << table->m_connect->LastError().toStdString();
        return table;
    }
    ~ScratchTable()
    {
        m_connect.reset();
        {
            QSqlDatabase db = QSqlDatabase::database(m_connectionName);
            if (db.driverName() == QLatin1String("QPSQL"))
                QSqlQuery(db).exec(QStringLiteral("DROP TABLE %1").arg(m_table));
            db.close();
        }
        QSqlDatabase::removeDatabase(m_connectionName);
    }
    QString table() const { return m_table; }
    QString url() const { return m_url; }
    QString selectAll() const { return QStringLiteral("SELECT Code, Name FROM %1 ORDER BY Code").arg(m_table); }
    zq::CZQDBConnect& connect() { return *m_connect; }
    zq::Connection* connection() { return m_connect->GetPtrPDM(); }

private:
    ScratchTable() = default;
    QTemporaryDir m_dir;
    QString m_url, m_table, m_connectionName;
    std::unique_ptr<zq::CZQDBConnect> m_connect;
};

// The engines of zq::test::EngineNames() that run here.
inline std::vector<std::string> Engines()
{
    std::vector<std::string> engines;
    for (const char* engine : zq::test::EngineNames())
        if (zq::test::EngineUnavailable(QString::fromLatin1(engine)).isEmpty())
            engines.emplace_back(engine);
    return engines;
}

} // namespace wbtest

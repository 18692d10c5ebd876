// A customer's PDM database holds the module's own tables and nothing of ours: every page of
// the search window opens and searches on it without a message, and the user and department
// pickers still work. Every registered page is visited, so pages added later are covered too.
#include "DialogTemplate.h"
#include "PageRegistry.h"
#include "RecordingDesktop.h"
#include "Schema.h"
#include "SeededHome.h"
#include "ZQDBConnect.h"
#include "ZQECOSearchBrance.h"
#include "ZQPDMSearchFunction.h"
#include "ZQPDMSearchMain.h"
#include "ZQSearchPage.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <gtest/gtest.h>

using F = CZQPDMSearchFunction;

namespace {

std::string str(const QString& s) { return s.toStdString(); }

struct WithApp {
    WithApp() { zq::test::EnsureApp(); }
};

zq::test::SeededHome::Options ModuleTablesOnly()
{
    zq::test::SeededHome::Options options;
    options.moduleTablesOnly = true;
    return options;
}

class ModuleTablesWindow : public WithApp, public testing::TestWithParam<const char*> {
protected:
    void SetUp() override
    {
        if (!m_engine.available())
            GTEST_SKIP() << m_engine.skipReason();
        ASSERT_TRUE(m_engine.ok()) << str(m_engine.error());
        m_database = std::make_unique<zq::test::ScopedCurrentDatabase>(m_engine.databaseUrl());
        ASSERT_TRUE(m_database->ok()) << str(m_database->error());
        desktop.fixedNow = QDateTime(m_engine.home().today(), QTime(12, 0));
        ASSERT_TRUE(F::CreateSearchMain(&m_parent));
        window = F::m_pPDMSearchMain;
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override
    {
        F::DestorySearchMain();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        F::m_pParentWnd = nullptr;
    }
    CZQSearchPage* Select(const char* caption)
    {
        EXPECT_TRUE(window->SelectPageByCaption(QString::fromUtf8(caption))) << caption;
        return window->CurrentPage();
    }
    void Click(QWidget& page, int id)
    {
        auto* button = zq::ControlAs<QAbstractButton>(page, id);
        ASSERT_NE(button, nullptr) << id;
        button->click();
    }
    QString Messages() const { return desktop.messages().join(u'|'); }

    zq::test::ScopedEnv m_user{"ZQPDM_USER", QStringLiteral("zhangwei")};
    zq::test::EngineHome m_engine{QString::fromLatin1(GetParam()), ModuleTablesOnly()};
    std::unique_ptr<zq::test::ScopedCurrentDatabase> m_database;
    zq::test::RecordingDesktop desktop;
    zq::ScopedDesktop m_scope{desktop};
    QWidget m_parent;
    CZQPDMSearchMain* window = nullptr;
};

TEST_P(ModuleTablesWindow, TheDatabaseHoldsNoneOfOurTables)
{
    for (const zq::seed::Table& table : zq::seed::PdmTables())
        EXPECT_EQ(m_database->connection()->HasTable(table.name), !table.standIn) << str(table.name);
}

TEST_P(ModuleTablesWindow, EveryPageSearchesWithoutAMessage)
{
    int searched = 0;
    for (const zq::KnownPage& known : zq::KnownPages()) {
        const QString caption = QString::fromUtf8(known.caption);
        if (!zq::FindPageFactory(caption))
            continue;   // not built yet
        ASSERT_TRUE(window->SelectPageByCaption(caption)) << known.caption;
        desktop.events.clear();
        window->OnFind();
        EXPECT_TRUE(window->StatusText().startsWith(QStringLiteral("操作提示:共查到"))) << known.caption << ": "
                                                                                      << str(window->StatusText());
        // "文档内容" reads the content index, which nobody has made for this database yet: it says
        // so (tests/index run the indexer on such a database and search it).
        if (caption == QStringLiteral("文档内容"))
            EXPECT_TRUE(Messages().startsWith(QStringLiteral("还没有内容索引"))) << str(Messages());
        else
            EXPECT_EQ(Messages(), QString()) << known.caption;
        ++searched;
    }
    EXPECT_GE(searched, 5);
}

TEST_P(ModuleTablesWindow, UserPickerOffersThePeopleOfTheModuleTables)
{
    CZQSearchPage* page = Select("更改单");
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(zq::ControlText(*page, 1067), QStringLiteral("zhangwei"));   // the login name is the user
    desktop.pickAnswers = {{QStringLiteral("张伟")}};
    Click(*page, 1309);
    ASSERT_EQ(desktop.picks.size(), 1);
    EXPECT_TRUE(desktop.picks.first().candidates.contains(QStringList{QStringLiteral("张伟")}));
    EXPECT_EQ(zq::ControlText(*page, 1067), QStringLiteral("张伟"));
    window->OnFind();
    EXPECT_EQ(window->StatusText(), QStringLiteral("操作提示:共查到2项记录"));   // XG2026-001 and -003
    EXPECT_EQ(Messages(), QString());
}

TEST_P(ModuleTablesWindow, DepartmentPickerOffersTheHandoutDepartments)
{
    auto* page = qobject_cast<CZQECOSearchBrance*>(Select("更改发放部门"));
    ASSERT_NE(page, nullptr);
    desktop.pickAnswers = {{QStringLiteral("二车间")}};
    Click(*page, 1009);
    ASSERT_EQ(desktop.picks.size(), 1);
    EXPECT_TRUE(desktop.picks.first().candidates.contains(QStringList{QStringLiteral("二车间")}));
    EXPECT_EQ(page->Departments(), QStringList{QStringLiteral("二车间")});
    window->OnFind();
    EXPECT_EQ(window->StatusText(), QStringLiteral("操作提示:共查到2项记录"));   // XG2026-001 and -003
    EXPECT_EQ(Messages(), QString());
}

INSTANTIATE_TEST_SUITE_P(Engines, ModuleTablesWindow, testing::ValuesIn(zq::test::EngineNames()),
                         [](const testing::TestParamInfo<const char*>& info) { return zq::test::EngineTestName(info.param); });

} // namespace

// The change-order pages inside the real search window on the demo installation: the Find
// count, the Locate texts the host receives, and "浏览..." on a stored order file.
#include "DllCommandBase.h"
#include "DialogTemplate.h"
#include "ScriptedDesktop.h"
#include "SeededHome.h"
#include "ZQECOSearchBrance.h"
#include "ZQPDMSearchFunction.h"
#include "ZQPDMSearchMain.h"
#include "ZQSearchPage.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <gtest/gtest.h>

using F = CZQPDMSearchFunction;

namespace {

class RecordingHost : public CDllCommandBase {
public:
    int QueryCommand(const QString&) override { return 0; }
    int ExecuteCommand(const QString& command, const QString& argument) override
    {
        commands << (QStringList{command, argument});
        return 1;
    }
    QList<QStringList> commands;
};

// Widgets need the application before any member is constructed.
struct WithApp {
    WithApp() { zq::test::EnsureApp(); }
};

class EcoWindow : public WithApp, public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_home.ok()) << m_home.error().toStdString();
        desktop.fixedNow = QDateTime(m_home.today(), QTime(12, 0));
        ASSERT_TRUE(F::CreateSearchMain(&m_parent));
        F::SetDllCommand(&m_host);
        window = F::m_pPDMSearchMain;
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override
    {
        F::DestorySearchMain();
        F::SetDllCommand(nullptr);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        F::m_pParentWnd = nullptr;
    }
    CZQSearchPage* Select(const QString& caption)
    {
        EXPECT_TRUE(window->SelectPageByCaption(caption)) << caption.toStdString();
        return window->CurrentPage();
    }
    QAbstractButton* LocateBox() const { return zq::ControlAs<QAbstractButton>(*window, CZQPDMSearchMain::IDC_LOCATE); }

    zq::test::ScopedEnv m_user{"ZQPDM_USER", QStringLiteral("zhangwei")};
    zq::test::SeededHome m_home;
    zq::ScriptedDesktop desktop;
    zq::ScopedDesktop m_scope{desktop};
    QWidget m_parent;
    RecordingHost m_host;
    CZQPDMSearchMain* window = nullptr;
};

TEST_F(EcoWindow, OrderPageLocatesByOrderNumber)
{
    CZQSearchPage* page = Select("更改单");
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(LocateBox()->isEnabled());
    // The logged-on user's name is the author condition: 张伟's orders of the last 30 days.
    EXPECT_EQ(zq::ControlText(*page, 1067), QStringLiteral("张伟"));
    window->OnFind();
    EXPECT_EQ(window->StatusText(), QStringLiteral("操作提示:共查到2项记录"));
    CReportListCtrl* list = page->GetResultList();
    QStringList numbers{list->GetItemText(0, 1), list->GetItemText(1, 1)};
    numbers.sort();
    EXPECT_EQ(numbers, (QStringList{"XG2026-001", "XG2026-003"}));

    LocateBox()->click();
    list->SelectRow(1);
    list->SelectRow(1);
    list->SelectRow(0);
    ASSERT_EQ(m_host.commands.size(), 2);
    EXPECT_EQ(m_host.commands[0], (QStringList{"Locate", list->GetItemText(1, 1)}));
    EXPECT_EQ(m_host.commands[1], (QStringList{"Locate", list->GetItemText(0, 1)}));

    // After a new search the remembered index stays: the same row index sends nothing, and the
    // locate text is the order now at that row.
    zq::SetControlText(*page, 1067, QString());
    window->OnFind();
    ASSERT_EQ(list->GetItemCount(), 6);
    list->SelectRow(0);
    EXPECT_EQ(m_host.commands.size(), 2);
    EXPECT_EQ(page->GetLocateText(), list->GetItemText(0, 1));
    list->SelectRow(4);
    ASSERT_EQ(m_host.commands.size(), 3);
    EXPECT_EQ(m_host.commands[2], (QStringList{"Locate", list->GetItemText(4, 1)}));
}

TEST_F(EcoWindow, DepartmentPageLocatesBySubject)
{
    auto* page = qobject_cast<CZQECOSearchBrance*>(Select("更改发放部门"));
    ASSERT_NE(page, nullptr);
    page->AddDepartments({"二车间"});
    window->OnFind();
    EXPECT_EQ(window->StatusText(), QStringLiteral("操作提示:共查到2项记录"));
    LocateBox()->click();
    CReportListCtrl* list = page->GetResultList();
    const int row = list->GetItemText(0, 1) == "XG2026-003" ? 0 : 1;
    list->SelectRow(row);
    ASSERT_EQ(m_host.commands.size(), 1);
    EXPECT_EQ(m_host.commands[0], (QStringList{"Locate", "O'型圈材料更改为氟橡胶"}));
}

TEST_F(EcoWindow, ImpactPageTakesNoPartInTheLink)
{
    CZQSearchPage* page = Select("更改影响面");
    ASSERT_NE(page, nullptr);
    EXPECT_FALSE(LocateBox()->isEnabled());
    zq::SetControlText(*page, 1067, QString());
    zq::SetControlText(*page, 1022, "ZQ8600-01-02");
    window->OnFind();
    CReportListCtrl* list = page->GetResultList();
    QStringList codes;
    for (int row = 0; row < list->GetItemCount(); ++row)
        codes << list->GetItemText(row, 0);
    codes.sort();
    // ZQ8600-01-02 (XG2026-001) and its viewing-hole plate ZQ8600-01-02-01-02 match the text.
    EXPECT_EQ(codes, (QStringList{"ZQ8600-01-02", "ZQ8600-01-02-01-02"}));
    EXPECT_TRUE(m_host.commands.isEmpty());
}

TEST_F(EcoWindow, BrowseOpensTheStoredOrderFile)
{
    auto* page = qobject_cast<CZQECOListPage*>(Select("更改单"));
    ASSERT_NE(page, nullptr);
    window->OnFind();
    CReportListCtrl* list = page->GetResultList();
    const int row = list->GetItemText(0, 1) == "XG2026-001" ? 0 : 1;
    page->RunMenuCommand(CZQECOListPage::CmdBrowse, row);
    const QString path = m_home.workDir() + "/MXG2026-001_ECO.tbl";
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    EXPECT_GT(file.size(), 0);
    const auto opened = desktop.eventsOf("OPEN");
    ASSERT_EQ(opened.size(), 1);
    EXPECT_TRUE(opened[0].fields.value(0).endsWith("MXG2026-001_ECO.tbl"));
}

TEST_F(EcoWindow, EnterAndEscapeNeitherCloseNorHideThePages)
{
    window->show();
    for (const char* caption : {"更改单", "更改影响面", "更改发放部门", "更改处理意见"}) {
        CZQSearchPage* page = Select(caption);
        ASSERT_NE(page, nullptr) << caption;
        QWidget* target = page->findChild<QLineEdit*>();
        if (!target)
            target = page;
        for (int key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
            QCoreApplication::sendEvent(target, &press);
            EXPECT_TRUE(window->isVisible()) << caption << " " << key;
            EXPECT_TRUE(page->isVisible()) << caption << " " << key;
        }
    }
}

} // namespace

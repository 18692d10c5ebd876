// The user component: the logged-on user, the user picker and the department picker.
#include "CallLog.h"
#include "ServiceTest.h"
#include "RecordingDesktop.h"
#include "SeededHome.h"
#include "UserServices.h"
#include "ZQDBConnect.h"
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

using namespace zq;

namespace {

std::string str(const QString& s) { return s.toStdString(); }

class UserServicesTest : public test::ServiceTest {};

TEST_P(UserServicesTest, CurrentUserComesFromZqpdmUserElseTheLoginName)
{
    using Env = std::optional<QString>;
    struct Case {
        Env zqpdmUser, user, logName;
        const char* expectedLogName;   // "" for no user
        const char* expectedName;
    };
    const Case cases[] = {
        {QStringLiteral("lina"), QStringLiteral("zhangwei"), std::nullopt, "lina", "李娜"},
        {std::nullopt, QStringLiteral("wangqiang"), QStringLiteral("admin"), "wangqiang", "王强"},
        {std::nullopt, std::nullopt, QStringLiteral("admin"), "admin", "系统管理员"},
        {QStringLiteral("  chenjing "), std::nullopt, std::nullopt, "chenjing", "陈静"},
        {QStringLiteral("nobody"), QStringLiteral("admin"), std::nullopt, "", ""},
        {QStringLiteral("x' OR '1'='1"), std::nullopt, std::nullopt, "", ""},
        {std::nullopt, std::nullopt, std::nullopt, "", ""},
    };
    for (const Case& c : cases) {
        test::ScopedEnv a("ZQPDM_USER", c.zqpdmUser), b("USER", c.user), l("LOGNAME", c.logName);
        const std::unique_ptr<CUser> user = ZQGetCurrentUser();
        if (!*c.expectedLogName) {
            EXPECT_EQ(user, nullptr) << str(c.zqpdmUser.value_or(QStringLiteral("-")));
            continue;
        }
        ASSERT_NE(user, nullptr) << c.expectedLogName;
        EXPECT_EQ(str(user->GetLogName()), c.expectedLogName);
        EXPECT_EQ(str(user->GetName()), c.expectedName);
    }
    EXPECT_TRUE(desktop.messages().isEmpty());
}

TEST_P(UserServicesTest, UserPickerOffersEveryUserAndReturnsTheChosenOne)
{
    desktop.pickAnswers = {{QStringLiteral("chenjing")}};
    const auto chosen = CUserManage::SelectUser(db.connection(), QStringLiteral("admin"));
    ASSERT_NE(chosen, nullptr);
    EXPECT_EQ(chosen->GetLogName(), QStringLiteral("chenjing"));
    EXPECT_EQ(chosen->GetName(), QStringLiteral("陈静"));
    ASSERT_EQ(desktop.picks.size(), 1);
    const PickRequest& request = desktop.picks.first();
    EXPECT_FALSE(request.multiSelect);
    ASSERT_EQ(request.candidates.size(), 8);
    EXPECT_EQ(request.candidates.first(),
              (QStringList{QStringLiteral("admin"), QStringLiteral("系统管理员"), QStringLiteral("技术部")}));

    // Cancelled (no scripted answer): no user.
    EXPECT_EQ(CUserManage::SelectUser(nullptr, QStringLiteral("admin")), nullptr);
    const QList<ServiceCall> calls = CallLog::Calls();
    ASSERT_EQ(calls.size(), 2);
    EXPECT_EQ(calls[0].args, (QStringList{QStringLiteral("CZQDBConnect"), QStringLiteral("admin")}));
    EXPECT_EQ(calls[1].args, (QStringList{QStringLiteral("(null)"), QStringLiteral("admin")}));
}

TEST_P(UserServicesTest, DepartmentPickerFillsTheChosenNames)
{
    struct Case {
        QList<QStringList> answers;
        int result;
        QStringList names;
    };
    const Case cases[] = {
        {{{QStringLiteral("一车间"), QStringLiteral("二车间")}}, IDOK, {QStringLiteral("一车间"), QStringLiteral("二车间")}},
        {{{QStringLiteral("采购部")}}, IDOK, {QStringLiteral("采购部")}},
        {{}, IDCANCEL, {}},
        {{{QStringLiteral("no such department")}}, IDCANCEL, {}},
    };
    for (const Case& c : cases) {
        desktop.pickAnswers = c.answers;
        desktop.picks.clear();
        CSelectEnpartment picker;
        picker.m_arrEnpartment = {QStringLiteral("left over")};
        EXPECT_EQ(picker.DoModal(), c.result);
        EXPECT_EQ(picker.m_arrEnpartment, c.names);
        ASSERT_EQ(desktop.picks.size(), 1);
        EXPECT_TRUE(desktop.picks.first().multiSelect);
        ASSERT_EQ(desktop.picks.first().candidates.size(), 9);
        EXPECT_EQ(desktop.picks.first().candidates.first(), QStringList{QStringLiteral("技术部")});
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, UserServicesTest, ::testing::ValuesIn(test::EngineNames()));

// A customer's database has no user or department table of ours: nothing is reported, the login
// name stands for the user, and the pickers offer what the module's tables name and take a typed name.
class UserServicesWithoutOwnTables : public test::ModuleTablesTest {};

TEST_P(UserServicesWithoutOwnTables, CurrentUserIsTheLoginName)
{
    test::ScopedEnv user("ZQPDM_USER", QStringLiteral(" lina "));
    const std::unique_ptr<CUser> current = ZQGetCurrentUser();
    ASSERT_NE(current, nullptr);
    EXPECT_EQ(current->GetLogName(), QStringLiteral("lina"));
    EXPECT_EQ(current->GetName(), QStringLiteral("lina"));

    // Without any login name in the environment: the account the process runs under.
    test::ScopedEnv noUser("ZQPDM_USER", std::nullopt), noShellUser("USER", std::nullopt), noLog("LOGNAME", std::nullopt);
    const std::unique_ptr<CUser> account = ZQGetCurrentUser();
    ASSERT_NE(account, nullptr);
    EXPECT_EQ(account->GetLogName(), QString::fromLocal8Bit(getpwuid(geteuid())->pw_name));
    EXPECT_TRUE(desktop.messages().isEmpty()) << str(desktop.messages().join(u'|'));
}

TEST_P(UserServicesWithoutOwnTables, UserPickerOffersThePeopleTheModuleTablesName)
{
    struct Case {
        QString answer;
        QString logName;   // "" for no user
    };
    const Case cases[] = {
        {QStringLiteral("李娜"), QStringLiteral("李娜")},
        {QStringLiteral("ZHANGWEI"), QStringLiteral("zhangwei")},
        {QStringLiteral("newcomer"), QStringLiteral("newcomer")},   // typed
        {QString(), QString()},                                      // cancelled
    };
    for (const Case& c : cases) {
        desktop.picks.clear();
        desktop.pickAnswers.clear();
        if (!c.answer.isEmpty())
            desktop.pickAnswers = {{c.answer}};
        const auto chosen = CUserManage::SelectUser(db.connection(), QStringLiteral("admin"));
        if (c.logName.isEmpty()) {
            EXPECT_EQ(chosen, nullptr);
        } else {
            ASSERT_NE(chosen, nullptr) << str(c.answer);
            EXPECT_EQ(chosen->GetLogName(), c.logName);
            EXPECT_EQ(chosen->GetName(), c.logName);
        }
        ASSERT_EQ(desktop.picks.size(), 1);
        EXPECT_TRUE(desktop.picks.first().acceptTyped);
        QStringList offered;
        for (const QStringList& row : desktop.picks.first().candidates)
            offered << row.value(0);
        // Authors, managers and auditors of change orders, drawings and tasks, each once.
        EXPECT_EQ(offered, (QStringList{"admin", "chenjing", "lina", "wangqiang", "zhangwei", "刘洋", "张伟", "李娜",
                                        "王强", "系统管理员"}));
    }
    EXPECT_TRUE(desktop.messages().isEmpty()) << str(desktop.messages().join(u'|'));
}

TEST_P(UserServicesWithoutOwnTables, DepartmentPickerOffersTheHandoutDepartments)
{
    desktop.pickAnswers = {{QStringLiteral("二车间"), QStringLiteral("工艺科")}};
    CSelectEnpartment picker;
    EXPECT_EQ(picker.DoModal(), IDOK);
    EXPECT_EQ(picker.m_arrEnpartment, (QStringList{"二车间", "工艺科"}));
    ASSERT_EQ(desktop.picks.size(), 1);
    EXPECT_TRUE(desktop.picks.first().multiSelect);
    EXPECT_EQ(desktop.picks.first().candidates,
              (QList<QStringList>{{"一车间"}, {"三车间"}, {"二车间"}, {"技术部"}, {"质量部"}, {"采购部"}}));
    EXPECT_TRUE(desktop.messages().isEmpty()) << str(desktop.messages().join(u'|'));
}

INSTANTIATE_TEST_SUITE_P(Engines, UserServicesWithoutOwnTables, ::testing::ValuesIn(test::EngineNames()));

} // namespace

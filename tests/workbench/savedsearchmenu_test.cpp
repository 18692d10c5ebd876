// The search window's "常用查询" button as a user works it: save the conditions under a name, find
// them again by name (conditions filled in, "查找" pressed), see the recent ones, manage them.
#include "ControlDriver.h"
#include "ListCtrl.h"
#include "ManageSearchesDialog.h"
#include "PageConditions.h"
#include "SavedSearchMenu.h"
#include "SavedSearchStore.h"
#include "ScriptedDesktop.h"
#include "SeededHome.h"
#include "ZQPDMSearchFunction.h"
#include "ZQPDMSearchMain.h"
#include "ZQSearchPage.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

using F = CZQPDMSearchFunction;
enum { kAuthor = 1067, kSave = 1, kManage = 2, kFirstSaved = 100, kFirstRecent = 500 };

class SavedSearchMenuTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_home.ok()) << m_home.error().toStdString();
        m_config = std::make_unique<zq::test::ScopedEnv>("XDG_CONFIG_HOME", m_home.path(QStringLiteral("config")));
        m_desktop.fixedNow = QDateTime(m_home.today(), QTime(12, 0));
        F::ShowSearchMain(true);
        m_window = F::m_pPDMSearchMain;
        ASSERT_NE(m_window, nullptr);
        ASSERT_TRUE(m_window->SelectPageByCaption(QStringLiteral("更改单")));
    }
    void TearDown() override
    {
        F::DestorySearchMain();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QString Author() const { return zq::ControlText(*m_window->CurrentPage(), kAuthor); }
    void SetAuthor(const QString& name)
    {
        ASSERT_EQ(zq::ControlDriver::setValue(zq::Control(*m_window->CurrentPage(), kAuthor), name), QString());
    }
    // Clicks "常用查询" and chooses the entry with that id.
    void Choose(int id)
    {
        m_desktop.menuAnswers = {id};
        ASSERT_EQ(zq::ControlDriver::click(zq::Control(*m_window, CZQPDMSearchMain::IDC_SAVED)), QString());
    }
    QStringList MenuTexts() const
    {
        QStringList texts;
        for (const zq::MenuEntry& entry : m_desktop.lastMenu)
            texts << entry.text;
        return texts;
    }

    zq::test::SeededHome m_home;
    std::unique_ptr<zq::test::ScopedEnv> m_config;
    zq::ScriptedDesktop m_desktop;
    zq::ScopedDesktop m_scope{m_desktop};
    CZQPDMSearchMain* m_window = nullptr;
};

TEST_F(SavedSearchMenuTest, SaveChooseAndManage)
{
    SetAuthor(QStringLiteral("张伟"));
    m_desktop.dialogAnswers = {[](QDialog& dialog) {
        dialog.findChild<QLineEdit*>(QStringLiteral("name"))->setText(QStringLiteral("张伟的更改单"));
        return int(QDialog::Accepted);
    }};
    Choose(kSave);
    EXPECT_EQ(m_desktop.eventsOf(QStringLiteral("DIALOG")).value(0).fields, QStringList{QStringLiteral("保存查询条件")});
    ASSERT_EQ(m_window->SavedSearches().Store().searches(QStringLiteral("更改单")).size(), 1);

    // Another author searched; then the saved search brings 张伟 back and searches.
    SetAuthor(QStringLiteral("李娜"));
    m_window->OnFind();
    Choose(kFirstSaved);
    EXPECT_EQ(Author(), QStringLiteral("张伟"));
    EXPECT_TRUE(MenuTexts().contains(QStringLiteral("张伟的更改单"))) << MenuTexts().join(u'|').toStdString();
    const CReportListCtrl* rows = m_window->CurrentPage()->GetResultList();
    ASSERT_GT(rows->GetItemCount(), 0);
    for (int row = 0; row < rows->GetItemCount(); ++row)
        EXPECT_EQ(rows->GetItemText(row, 3), QStringLiteral("张伟")) << "the search ran with the saved author";
    EXPECT_TRUE(m_window->StatusText().contains(QStringLiteral("共查到")));

    // Both searches run are among the recent ones, the last on top.
    Choose(0);
    const QStringList texts = MenuTexts();
    const qsizetype heading = texts.indexOf(QStringLiteral("最近的查询"));
    ASSERT_GE(heading, 0);
    EXPECT_TRUE(texts.value(heading + 1).contains(QStringLiteral("编制人=张伟"))) << texts.join(u'|').toStdString();
    EXPECT_TRUE(texts.value(heading + 2).contains(QStringLiteral("编制人=李娜"))) << texts.join(u'|').toStdString();
    SetAuthor(QString());
    Choose(kFirstRecent + 1);
    EXPECT_EQ(Author(), QStringLiteral("李娜"));

    // Managing: the search is deleted from the list.
    m_desktop.dialogAnswers = {[](QDialog& dialog) {
        auto* list = dialog.findChild<QListWidget*>(QStringLiteral("searches"));
        EXPECT_EQ(list->count(), 1);
        list->setCurrentRow(0);
        dialog.findChild<QPushButton*>(QStringLiteral("delete"))->click();
        EXPECT_EQ(list->count(), 0);
        return int(QDialog::Accepted);
    }};
    Choose(kManage);
    EXPECT_TRUE(m_window->SavedSearches().Store().searches(QStringLiteral("更改单")).isEmpty());
    EXPECT_TRUE(m_desktop.messages().isEmpty()) << m_desktop.messages().join(u'\n').toStdString();
}

TEST_F(SavedSearchMenuTest, ACancelledSaveKeepsNothingAndAReplacedNameIsAsked)
{
    m_desktop.dialogAnswers = {[](QDialog&) { return int(QDialog::Rejected); }};
    Choose(kSave);
    EXPECT_TRUE(m_window->SavedSearches().Store().searches().isEmpty());

    const auto saveAs = [](const QString& name) {
        return [name](QDialog& dialog) {
            dialog.findChild<QLineEdit*>(QStringLiteral("name"))->setText(name);
            return int(QDialog::Accepted);
        };
    };
    SetAuthor(QStringLiteral("张伟"));
    m_desktop.dialogAnswers = {saveAs(QStringLiteral("甲"))};
    Choose(kSave);
    SetAuthor(QStringLiteral("李娜"));
    m_desktop.yesNoAnswer = zq::IDNO;
    m_desktop.dialogAnswers = {saveAs(QStringLiteral("甲"))};
    Choose(kSave);
    EXPECT_TRUE(m_desktop.messages().last().contains(QStringLiteral("要替换它吗")));
    const auto kept = m_window->SavedSearches().Store().find(QStringLiteral("甲"), QStringLiteral("更改单"));
    ASSERT_TRUE(kept.has_value());
    EXPECT_TRUE(zq::SummarizeConditions(kept->conditions, m_home.today()).contains(QStringLiteral("张伟")));
}

// The list item whose text is given, made current.
QListWidgetItem* SelectItem(QDialog& dialog, const QString& text)
{
    auto* list = dialog.findChild<QListWidget*>(QStringLiteral("searches"));
    for (int row = 0; row < list->count(); ++row)
        if (list->item(row)->text() == text) {
            list->setCurrentRow(row);
            return list->item(row);
        }
    ADD_FAILURE() << "no item " << text.toStdString();
    return nullptr;
}

QStringList ItemTexts(QDialog& dialog)
{
    auto* list = dialog.findChild<QListWidget*>(QStringLiteral("searches"));
    QStringList texts;
    for (int row = 0; row < list->count(); ++row)
        texts << list->item(row)->text();
    return texts;
}

TEST_F(SavedSearchMenuTest, ManagingAsksBeforeItReplacesOrDeletesAndSaysWhoSharedWhat)
{
    const zq::test::ScopedEnv user("ZQPDM_USER", QStringLiteral("lina"));
    zq::SavedSearchStore& store = m_window->SavedSearches().Store();
    zq::SavedSearchMenu& menu = m_window->SavedSearches();
    QString error;
    SetAuthor(QStringLiteral("张伟"));
    ASSERT_TRUE(store.save(menu.Capture(QStringLiteral("A"), false, false), &error));
    SetAuthor(QStringLiteral("李娜"));
    ASSERT_TRUE(store.save(menu.Capture(QStringLiteral("B"), false, false), &error));
    ASSERT_TRUE(store.save(menu.Capture(QStringLiteral("A"), false, true), &error));
    const QStringList before{"A", "B", "A (共享)"};

    for (const int answer : {int(zq::IDNO), int(zq::IDYES)}) {
        SCOPED_TRACE(answer == zq::IDYES ? "yes" : "no");
        m_desktop.events.clear();
        m_desktop.dialogAnswers = {[&](QDialog& dialog) {
            m_desktop.yesNoAnswer = answer;
            auto* details = dialog.findChild<QLabel*>(QStringLiteral("details"));
            // Renaming B onto A.
            SelectItem(dialog, QStringLiteral("B"))->setText(QStringLiteral("A"));
            QCoreApplication::processEvents();
            // Sharing A onto the shared A, which says who shared it.
            if (answer == zq::IDNO) {
                SelectItem(dialog, QStringLiteral("A (共享)"));
                EXPECT_TRUE(details->text().contains(QStringLiteral("由 lina 于 "))) << details->text().toStdString();
                EXPECT_EQ(ItemTexts(dialog), before);
            }
            SelectItem(dialog, QStringLiteral("A"));
            dialog.findChild<QPushButton*>(QStringLiteral("share"))->click();
            // Deleting the shared A.
            SelectItem(dialog, QStringLiteral("A (共享)"));
            dialog.findChild<QPushButton*>(QStringLiteral("delete"))->click();
            return int(QDialog::Accepted);
        }};
        Choose(kManage);
        const QStringList asked = m_desktop.messages();
        ASSERT_EQ(asked.size(), 3) << asked.join(u'\n').toStdString();
        EXPECT_TRUE(asked[0].contains(QStringLiteral("已有名为“A”的常用查询"))) << asked[0].toStdString();
        EXPECT_TRUE(asked[1].contains(QStringLiteral("已有名为“A”的共享查询 (由 lina 于 "))) << asked[1].toStdString();
        EXPECT_TRUE(asked[2].contains(QStringLiteral("要删除共享查询“A”吗"))) << asked[2].toStdString();
        QStringList names;
        for (const zq::SavedSearch& search : store.searches(QStringLiteral("更改单")))
            names << zq::ManageSearchesDialog::ItemText(search);
        // Said no: all as before. Said yes: B became A, that A became the shared A, which went.
        EXPECT_EQ(names, answer == zq::IDNO ? before : QStringList());
    }
}

} // namespace

// The preview pane in the search window: the "预览" button and F3 show and hide it beside the
// result list, which gives it room and gets it back; its state is the user's next time; a row
// without a file shows its fields, a row with one its picture drawn by the worker process, and a
// file that cannot be fetched says why.
#include "FlatTabCtrl.h"
#include "ListCtrl.h"
#include "PreviewController.h"
#include "PreviewDock.h"
#include "PreviewPane.h"
#include "ScriptedDesktop.h"
#include "SeededHome.h"
#include "ZQPDMSearchFunction.h"
#include "ZQPDMSearchMain.h"
#include "ZQSearchPage.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QToolButton>
#include <gtest/gtest.h>

using F = CZQPDMSearchFunction;
using namespace zq::preview;

namespace {

class PreviewPaneInWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_home.ok()) << m_home.error().toStdString();
        openWindow();
    }
    void TearDown() override { closeWindow(); }

    void openWindow()
    {
        F::ShowSearchMain(true);
        m_window = F::m_pPDMSearchMain;
        ASSERT_NE(m_window, nullptr);
        QCoreApplication::processEvents();
        ASSERT_NE(m_window->Preview(), nullptr);
    }
    void closeWindow()
    {
        F::DestorySearchMain();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        m_window = nullptr;
    }
    PreviewDock& dock() const { return *m_window->Preview(); }
    CReportListCtrl* list() const { return m_window->CurrentPage()->GetResultList(); }

    // Selects the row and waits until the pane shows what it was asked for.
    void preview(int row)
    {
        list()->SelectRow(row);
        const QDeadlineTimer deadline(20000);
        while (dock().controller().busy() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        ASSERT_FALSE(dock().controller().busy());
    }
    int rowOf(const QString& text) const
    {
        for (int row = 0; row < list()->GetItemCount(); ++row)
            if (list()->GetItemText(row, 0) == text)
                return row;
        return -1;
    }

    zq::test::SeededHome m_home;
    zq::ScriptedDesktop m_desktop;
    zq::ScopedDesktop m_scope{m_desktop};
    CZQPDMSearchMain* m_window = nullptr;
};

} // namespace

TEST_F(PreviewPaneInWindow, F3AndTheButtonShowThePaneBesideTheListAndTheUserKeepsIt)
{
    ASSERT_TRUE(m_window->SelectPageByCaption(QStringLiteral("资源文件")));
    const QRect listAlone = list()->geometry();
    EXPECT_FALSE(dock().pane().isVisible());
    EXPECT_EQ(dock().button()->text(), QStringLiteral("预览"));

    dock().button()->click();
    QCoreApplication::processEvents();
    ASSERT_TRUE(dock().isShown());
    EXPECT_TRUE(dock().pane().isVisible());
    EXPECT_LT(list()->width(), listAlone.width());
    // The pane lies right of the list, inside the window, where the list's place ended.
    const QRect pane(dock().pane().mapTo(m_window, QPoint(0, 0)), dock().pane().size());
    const QRect listNow(list()->mapTo(m_window, QPoint(0, 0)), list()->size());
    EXPECT_GT(pane.left(), listNow.right());
    EXPECT_TRUE(m_window->rect().contains(pane));
    EXPECT_EQ(pane.right(), QRect(list()->parentWidget()->mapTo(m_window, listAlone.topLeft()), listAlone.size()).right());

    // Another tab: the pane follows to its list.
    ASSERT_TRUE(m_window->SelectPageByCaption(QStringLiteral("设计零部件")));
    EXPECT_TRUE(dock().pane().isVisible());

    closeWindow();
    openWindow();
    EXPECT_TRUE(dock().isShown()) << "shown when the window was closed, shown when it opens";
    dock().toggle();   // as F3
    EXPECT_FALSE(dock().pane().isVisible());
    ASSERT_TRUE(m_window->SelectPageByCaption(QStringLiteral("资源文件")));
    EXPECT_EQ(list()->geometry(), listAlone) << "hidden, the pane gives the list its place back";
}

TEST_F(PreviewPaneInWindow, RowsShowTheirFieldsTheirPictureOrWhyNot)
{
    dock().setShown(true, false);
    // A part has no file: its fields.
    ASSERT_TRUE(m_window->SelectPageByCaption(QStringLiteral("设计零部件")));
    m_window->OnFind();
    ASSERT_GT(list()->GetItemCount(), 0);
    preview(0);
    EXPECT_EQ(dock().pane().propertyCount(), list()->GetColumnCount());

    // A resource file's picture, drawn by the worker process.
    ASSERT_TRUE(m_window->SelectPageByCaption(QStringLiteral("资源文件")));
    m_window->OnFind();
    const int png = rowOf(QStringLiteral("减速器外观图"));
    ASSERT_GE(png, 0);
    preview(png);
    EXPECT_FALSE(dock().controller().lastFailed()) << dock().controller().lastFailure().toStdString();
    EXPECT_FALSE(dock().pane().picture().isNull());
    EXPECT_EQ(dock().pane().titleText(), QStringLiteral("减速器外观图.png"));

    // A design document whose file is gone from the store: the pane says the fetch failed, and no
    // message box opens.
    ASSERT_TRUE(m_window->SelectPageByCaption(QStringLiteral("设计文档")));
    m_window->OnFind();
    const int drawing = rowOf(QStringLiteral("ZQ8600[A]"));
    ASSERT_GE(drawing, 0);
    for (QDirIterator it(m_home.storeDir(), {QStringLiteral("ZQ8600.dwg")}, QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
        ASSERT_TRUE(QFile::remove(it.next()));
    const qsizetype messagesBefore = m_desktop.eventsOf(QStringLiteral("MSG")).size();
    preview(drawing);
    EXPECT_TRUE(dock().controller().lastFailed());
    EXPECT_TRUE(dock().pane().messageText().contains(QStringLiteral("文件没有下载成功"))) << dock().pane().messageText().toStdString();
    EXPECT_EQ(m_desktop.eventsOf(QStringLiteral("MSG")).size(), messagesBefore);
}

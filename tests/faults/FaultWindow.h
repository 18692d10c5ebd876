#pragma once
// The search window of the fault tests, on an installation with the fault rows: a Desktop that
// records what the user is told and lets a test act whenever a read lets events through, and
// the steps a user takes (pick a tab, widen its conditions, press "查找", save the list).
#include "FaultPages.h"
#include "ProgressWnd.h"
#include "RunQuery.h"
#include "ScriptedDesktop.h"
#include "SeededHome.h"
#include "ZQPDMSearchFunction.h"
#include "ZQPDMSearchMain.h"
#include "ZQSearchPage.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <functional>
#include <gtest/gtest.h>

namespace faults {

class FaultDesktop : public zq::ScriptedDesktop {
public:
    void progressPumped(CProgressWnd& progress) override
    {
        ++pumps;
        if (progress.GetText() == zq::ProgressQueryingText())
            ++queries;
        if (onPump)
            onPump(pumps);
        ScriptedDesktop::progressPumped(progress);
    }
    // The database errors reported (the component names itself as their source).
    int errorReports() const
    {
        int count = 0;
        for (const QString& text : messages())
            count += text.contains(QStringLiteral("来源: "));
        return count;
    }
    void reset()
    {
        events.clear();
        pumps = queries = 0;
        onPump = nullptr;
    }

    int pumps = 0;
    int queries = 0;                        // reads started (their first pump)
    std::function<void(int pump)> onPump;   // called at every pump, numbered from 1
};

// The window of the facade on the installation the environment names, with the host's
// database connection made for it (the host owns the connection; the pages only use it).
class FaultWindow {
public:
    using F = CZQPDMSearchFunction;

    FaultWindow() : m_database(qEnvironmentVariable("ZQPDM_DB"))
    {
        EXPECT_TRUE(m_database.ok()) << m_database.error().toStdString();
        open();
    }
    ~FaultWindow()
    {
        F::DestorySearchMain();
        F::SetDllCommand(nullptr);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        F::m_pParentWnd = nullptr;
    }

    void open()
    {
        ASSERT_TRUE(F::CreateSearchMain(&m_parent));
        window = F::m_pPDMSearchMain;
        ASSERT_NE(window, nullptr);
    }
    // Selects the tab and widens its conditions; null when there is no such tab.
    CZQSearchPage* select(const FaultPage& entry)
    {
        if (!window || !window->SelectPageByCaption(QString::fromUtf8(entry.caption)))
            return nullptr;
        CZQSearchPage* page = window->CurrentPage();
        if (page)
            entry.broaden(*page);
        return page;
    }
    // "查找"; the rows listed afterwards (−1 without a result list).
    int find()
    {
        window->OnFind();
        CReportListCtrl* list = window && window->CurrentPage() ? window->CurrentPage()->GetResultList() : nullptr;
        return list ? list->GetItemCount() : -1;
    }

    zq::test::ScopedCurrentDatabase m_database;
    QWidget m_parent;
    QPointer<CZQPDMSearchMain> window;
};

// Runs the deletions queued with deleteLater().
inline void FlushDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace faults

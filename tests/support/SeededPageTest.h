#pragma once
// The fixture of the page tests on a seeded demo installation, run once per engine (the test's
// parameter): the application, the installation (skipped with the reason where the engine is not
// there), its database as the module's current connection, the scripted Desktop with its clock at
// 9:00 on the installation's day, and a host widget the pages are made in.
#include "ScriptedDesktop.h"
#include "SeededHome.h"
#include "TestApplication.h"

#include <QDateTime>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

namespace zq::test {

class SeededPageTest : public ::testing::TestWithParam<const char*> {
protected:
    // What the installation is seeded with; a fixture that needs another day overrides it.
    virtual SeededHome::Options HomeOptions() const { return {}; }

    void SetUp() override
    {
        EnsureApp();
        m_engine = std::make_unique<EngineHome>(QString::fromLatin1(GetParam()), HomeOptions());
        if (!m_engine->available())
            GTEST_SKIP() << m_engine->skipReason();
        ASSERT_TRUE(m_engine->ok()) << m_engine->error().toStdString();
        m_database = std::make_unique<ScopedCurrentDatabase>(m_engine->databaseUrl());
        ASSERT_TRUE(m_database->ok()) << m_database->error().toStdString();
        m_desktop = std::make_unique<ScopedDesktop>(desktop);
        desktop.fixedNow = QDateTime(m_engine->home().today(), QTime(9, 0));
        m_host = std::make_unique<QWidget>();
    }
    void TearDown() override
    {
        m_host.reset();
        m_desktop.reset();
        m_database.reset();
        m_engine.reset();
    }
    // True when SetUp went through: a derived fixture's own set-up follows only then.
    bool Ready() const { return !IsSkipped() && !HasFailure(); }

    // A page made in the host widget, as the search window makes it.
    template <class Page> Page& Create()
    {
        auto* page = new Page(m_host.get());
        EXPECT_TRUE(page->CreatePage(m_host.get()));
        return *page;
    }

    ScriptedDesktop desktop;
    std::unique_ptr<EngineHome> m_engine;
    std::unique_ptr<ScopedCurrentDatabase> m_database;
    std::unique_ptr<ScopedDesktop> m_desktop;
    std::unique_ptr<QWidget> m_host;
};

} // namespace zq::test

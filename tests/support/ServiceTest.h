#pragma once
// The fixture of the service tests: a seeded installation on one engine (run once per engine),
// its database as the current connection, a recording Desktop and an empty call log.
// ModuleTablesTest: the same on a database with the module's own tables only.
#include "CallLog.h"
#include "RecordingDesktop.h"
#include "SeededHome.h"

#include <gtest/gtest.h>
#include <string>

namespace zq::test {

class ServiceTest : public ::testing::TestWithParam<const char*> {
protected:
    ServiceTest() : ServiceTest(SeededHome::Options{}) {}
    explicit ServiceTest(const SeededHome::Options& options)
        : engine(QString::fromLatin1(GetParam()), options), db(engine.databaseUrl())
    {
    }
    void SetUp() override
    {
        if (!engine.available())
            GTEST_SKIP() << engine.skipReason();
        ASSERT_TRUE(engine.ok()) << engine.error().toStdString();
        ASSERT_TRUE(db.ok()) << db.error().toStdString();
        CallLog::Clear();
    }
    SeededHome& home() { return engine.home(); }

    EngineHome engine;
    ScopedCurrentDatabase db;
    RecordingDesktop desktop;
    ScopedDesktop scoped{desktop};
};

class ModuleTablesTest : public ServiceTest {
protected:
    ModuleTablesTest() : ServiceTest(ModuleTablesOnly()) {}
    static SeededHome::Options ModuleTablesOnly()
    {
        SeededHome::Options options;
        options.moduleTablesOnly = true;
        return options;
    }
};

} // namespace zq::test

#pragma once
// The fixture of the service tests: a seeded installation on one engine (run once per engine),
// its database as the current connection, a recording Desktop and an empty call log.
#include "CallLog.h"
#include "RecordingDesktop.h"
#include "SeededHome.h"

#include <gtest/gtest.h>
#include <string>

namespace zq::test {

class ServiceTest : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override
    {
        if (!engine.available())
            GTEST_SKIP() << engine.skipReason();
        ASSERT_TRUE(engine.ok()) << engine.error().toStdString();
        ASSERT_TRUE(db.ok()) << db.error().toStdString();
        CallLog::Clear();
    }
    SeededHome& home() { return engine.home(); }

    EngineHome engine{QString::fromLatin1(GetParam())};
    ScopedCurrentDatabase db{engine.databaseUrl()};
    RecordingDesktop desktop;
    ScopedDesktop scoped{desktop};
};

} // namespace zq::test

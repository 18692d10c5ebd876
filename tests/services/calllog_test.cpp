// The service call log: arguments as given, null arguments as "(null)", a live listener, clearing.
#include "CallLog.h"
#include <gtest/gtest.h>

using zq::CallLog;
using zq::ServiceCall;

TEST(CallLog, RecordsCallsInOrderAndTellsTheListener)
{
    CallLog::Clear();
    QList<ServiceCall> heard;
    CallLog::SetListener([&heard](const ServiceCall& call) { heard.append(call); });
    const struct {
        QStringList args;
        QStringList recorded;
    } cases[] = {
        {{}, {}},
        {{QStringLiteral("ZQ8600")}, {QStringLiteral("ZQ8600")}},
        {{QString(), QStringLiteral("")}, {QStringLiteral("(null)"), QStringLiteral("")}},
        {{QStringLiteral("O'型圈"), QString()}, {QStringLiteral("O'型圈"), QStringLiteral("(null)")}},
    };
    for (const auto& c : cases)
        CallLog::Record(QStringLiteral("CZQPart"), QStringLiteral("SetPartParameter"), c.args);
    const QList<ServiceCall> calls = CallLog::Calls();
    ASSERT_EQ(calls.size(), int(std::size(cases)));
    for (int i = 0; i < calls.size(); ++i) {
        EXPECT_EQ(calls[i].component, QStringLiteral("CZQPart"));
        EXPECT_EQ(calls[i].operation, QStringLiteral("SetPartParameter"));
        EXPECT_EQ(calls[i].args, cases[i].recorded) << i;
        EXPECT_EQ(heard.value(i).args, cases[i].recorded) << i;
    }
    CallLog::SetListener(nullptr);
    CallLog::Clear();
    CallLog::Record(QStringLiteral("CZQECOObject"), QStringLiteral("ViewECOItem"));
    EXPECT_EQ(CallLog::Calls().size(), 1);
    EXPECT_EQ(heard.size(), int(std::size(cases)));
}

#pragma once
// A ScriptedDesktop that also keeps the whole report and picker requests, for tests that check
// what a service showed or offered (the scripted one records only their titles).
#include "ScriptedDesktop.h"

namespace zq::test {

class RecordingDesktop : public ScriptedDesktop {
public:
    QList<ReportRequest> reports;
    QList<PickRequest> picks;

    std::optional<QStringList> pick(const PickRequest& request) override
    {
        picks.append(request);
        return ScriptedDesktop::pick(request);
    }
    void showReport(const ReportRequest& request) override
    {
        reports.append(request);
        ScriptedDesktop::showReport(request);
    }
};

} // namespace zq::test

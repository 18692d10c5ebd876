#pragma once
// A ScriptedDesktop that also keeps the whole report and picker requests and menus, for tests that
// check what a service showed or offered (the scripted one records only their titles or ids).
#include "ScriptedDesktop.h"

namespace zq::test {

class RecordingDesktop : public ScriptedDesktop {
public:
    QList<ReportRequest> reports;
    QList<PickRequest> picks;
    QList<QList<MenuEntry>> menus;   // with their separators

    std::optional<QStringList> pick(const PickRequest& request) override
    {
        picks.append(request);
        return ScriptedDesktop::pick(request);
    }
    int popupMenu(const QList<MenuEntry>& entries, const QPoint& screenPos) override
    {
        menus.append(entries);
        return ScriptedDesktop::popupMenu(entries, screenPos);
    }
    void showReport(const ReportRequest& request) override
    {
        reports.append(request);
        ScriptedDesktop::showReport(request);
    }
};

} // namespace zq::test

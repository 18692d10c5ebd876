// Demo users, departments and tasks: projects, change tasks, team-work tasks, reviews and the
// parts in design inside team-work tasks.
#include "DemoData.h"

namespace zq::seed {

namespace {

QString s(const char* text) { return QString::fromUtf8(text); }

struct User {
    const char* logName;
    const char* name;
    const char* department;
};

const User kUsers[] = {
    {"admin", "系统管理员", "技术部"},
    {"zhangwei", "张伟", "设计一室"},
    {"lina", "李娜", "设计一室"},
    {"wangqiang", "王强", "设计二室"},
    {"liuyang", "刘洋", "工艺科"},
    {"chenjing", "陈静", "质量部"},
    {"zhaomin", "赵敏", "一车间"},
    {"sunli", "孙丽", "二车间"},
};

const char* const kDepartments[] = {"技术部", "设计一室", "设计二室", "工艺科", "质量部",
                                    "一车间", "二车间", "三车间", "采购部"};

struct Project {
    const char* number;
    const char* name;
    const char* manager;    // login name
    const char* state;
    int createdDaysBack;
    int alertDaysBack;      // AlertTime; kNoDate: ''
    const char* path;
};

constexpr int kNoDate = 100000;

const Project kProjects[] = {
    {"XM2026-01", "ZQ8600减速器开发", "zhangwei", "正进行中", 10, 1, "项目管理"},
    {"XM2026-02", "ZQ8700齿轮泵改进设计", "lina", "未开始", 3, -30, "项目管理"},
    {"XM2026-03", "试制工装设计", "admin", "待确认", 1, kNoDate, "项目管理"},
    {"XM2025-09", "ZQ8800液压缸定型", "admin", "归档", 200, 100, "项目管理"},
    {"GG2026-01", "箱盖视孔修改任务", "zhangwei", "评审", 2, 1, "更改任务管理"},
    {"GG2026-02", "泵体螺纹更改任务", "wangqiang", "完成", 6, kNoDate, "更改任务管理"},
};

struct TeamWork {
    const char* id;
    const char* name;
    const char* manager;
    const char* state;
    int createdDaysBack;
    int checkDaysBack;      // CheckTime; kNoDate: ''
};

// Task numbers are "<ProjectNo>-nn" or "<ProjectNo>#nn"; QT2026-01 belongs to no project.
const TeamWork kTeamWork[] = {
    {"XM2026-01-01", "箱体部件设计", "lina", "正进行中", 9, 2},
    {"XM2026-01-02", "输入轴部件设计", "wangqiang", "完成", 9, 5},
    {"XM2026-01#03", "输出轴部件设计", "zhangwei", "未开始", 8, -10},
    {"XM2026-02-01", "齿轮泵泵体改进", "lina", "正进行中", 2, kNoDate},
    {"XM2025-09-01", "液压缸资料整理", "admin", "完成", 190, 150},
    {"QT2026-01", "临时工作", "zhangwei", "正进行中", 4, kNoDate},
};

struct Audit {
    const char* key;        // ProjectNo or FileID
    const char* name;
    const char* auditor;
    const char* state;
    int daysBack;
};

const Audit kProjectAudits[] = {
    {"XM2026-01", "减速器方案评审", "chenjing", "已完成", 7},
    {"XM2026-02", "齿轮泵方案评审", "chenjing", "未完成", 1},
    {"GG2026-01", "箱盖修改评审", "admin", "未完成", 2},
};

const Audit kWorkAudits[] = {
    {"TW0001", "小齿轮模型审核", "chenjing", "未完成", 4},
    {"TW0002", "主动齿轮图纸审核", "admin", "已完成", 6},
};

struct DesignPart {
    const char* work;
    const char* code;
    const char* name;
    const char* user;
    int daysBack;
};

const DesignPart kDesignParts[] = {
    {"XM2026-01-01", "ZQ8600-01-01", "箱座", "李娜", 8},
    {"XM2026-01-01", "ZQ8600-01-02", "箱盖", "李娜", 7},
    {"XM2026-01-02", "ZQ8600-02-01", "输入轴", "王强", 6},
    {"XM2026-01-02", "ZQ8600-02-02", "小齿轮", "王强", 6},
    {"XM2026-01#03", "ZQ8600-03-02", "大齿轮", "张伟", 5},
    {"XM2026-02-01", "ZQ8700-01", "泵体", "李娜", 1},
    {"XM2025-09-01", "ZQ8800-01-01", "缸筒", "系统管理员", 180},
    {"QT2026-01", "QT-01", "工装夹具", "张伟", 3},
};

QString dateOrEmpty(const DemoClock& clock, int daysBack)
{
    return daysBack == kNoDate ? QString(QLatin1String("")) : clock.stamp(daysBack, 18, 0);
}

} // namespace

void WriteUsers(DemoContext& ctx)
{
    auto& users = ctx.out.table(QStringLiteral("ZqUser"),
                                {QStringLiteral("LogName"), QStringLiteral("UserName"), QStringLiteral("Department")});
    for (const User& u : kUsers)
        users.add({s(u.logName), s(u.name), s(u.department)});
    auto& departments = ctx.out.table(QStringLiteral("ZqDepartment"), {QStringLiteral("DeptNo"), QStringLiteral("Name")});
    int n = 0;
    for (const char* d : kDepartments)
        departments.add({++n, s(d)});
}

void WriteTasks(DemoContext& ctx)
{
    const DemoClock& clock = ctx.clock;
    auto& projects = ctx.out.table(
        QStringLiteral("ProjectManage"),
        {QStringLiteral("ProjectNo"), QStringLiteral("ProjectName"), QStringLiteral("ProjectManager"),
         QStringLiteral("WorkState"), QStringLiteral("CreatedTime"), QStringLiteral("AlertTime"),
         QStringLiteral("ProjectPath")});
    for (const Project& p : kProjects)
        projects.add({s(p.number), s(p.name), s(p.manager), s(p.state), clock.stamp(p.createdDaysBack, 9, 10),
                      dateOrEmpty(clock, p.alertDaysBack), s(p.path)});

    auto& work = ctx.out.table(QStringLiteral("TeamWorkManage"),
                               {QStringLiteral("WorkID"), QStringLiteral("WorkName"), QStringLiteral("Manager"),
                                QStringLiteral("WorkState"), QStringLiteral("CreateTime"), QStringLiteral("CheckTime")});
    for (const TeamWork& w : kTeamWork)
        work.add({s(w.id), s(w.name), s(w.manager), s(w.state), clock.stamp(w.createdDaysBack, 10, 0),
                  dateOrEmpty(clock, w.checkDaysBack)});

    auto& projectAudits = ctx.out.table(QStringLiteral("TaskAuditManage"),
                                        {QStringLiteral("ProjectNo"), QStringLiteral("AuditName"),
                                         QStringLiteral("Auditor"), QStringLiteral("AuditState"),
                                         QStringLiteral("BeginTime")});
    for (const Audit& a : kProjectAudits)
        projectAudits.add({s(a.key), s(a.name), s(a.auditor), s(a.state), clock.stamp(a.daysBack, 14, 0)});

    auto& workAudits = ctx.out.table(QStringLiteral("TeamWorkAudit"),
                                     {QStringLiteral("FileID"), QStringLiteral("AuditTask"), QStringLiteral("Auditor"),
                                      QStringLiteral("State"), QStringLiteral("BeginDate")});
    for (const Audit& a : kWorkAudits)
        workAudits.add({s(a.key), s(a.name), s(a.auditor), s(a.state), clock.stamp(a.daysBack, 15, 0)});

    auto& parts = ctx.out.table(QStringLiteral("TeamWorkPart"),
                                {QStringLiteral("WorkID"), QStringLiteral("PartCode"), QStringLiteral("PartName"),
                                 QStringLiteral("UserName"), QStringLiteral("SaveDate")});
    for (const DesignPart& p : kDesignParts)
        parts.add({s(p.work), s(p.code), s(p.name), s(p.user), clock.stamp(p.daysBack, 16, 20)});
}

} // namespace zq::seed

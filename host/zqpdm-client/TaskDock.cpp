#include "TaskDock.h"

#include "DialogTemplate.h"
#include "Desktop.h"
#include "ListCtrl.h"
#include "OpenTasks.h"
#include "UserField.h"
#include "ZQDBConnect.h"
#include "ZQSearchPage.h"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace zq::host {

namespace {

// Open tasks may be old: the view looks a year back.
constexpr int kDaysBack = 365;

const QString kMyTasks = QStringLiteral("我的任务");
const QString kAllTasks = QStringLiteral("全部任务");

} // namespace

TaskListPage::TaskListPage(const QString& caption) : CZQPDMSearchTask(caption)
{
    Data().from = Data().to.addDays(-kDaysBack);
}

bool TaskListPage::OnInitDialog()
{
    CZQPDMSearchTask::OnInitDialog();
    if (auto* pick = zq::ControlAs<QAbstractButton>(*this, zq::task::IdPickUser))
        connect(pick, &QAbstractButton::clicked, this, [this] {
            zq::UserField person(*this, zq::task::IdPerson, zq::UserField::Shows::LogName);
            person.Pick(m_database);
        });
    return true;
}

bool TaskListPage::DoDataExchange(bool save)
{
    CZQPDMSearchTask::DoDataExchange(save);
    if (save && Data().to < Data().from) {
        CZQSearchPage::WarnReversedDates();
        return false;
    }
    return true;
}

void TaskListPage::OnUpdatePage(QObject*, qintptr, QObject*)
{
    CReportListCtrl* list = GetResultList();
    if (!list || !m_database || !UpdateData(true))
        return;
    zq::task::TaskConditions conditions;
    conditions.name = Data().name;
    conditions.number = Data().number;
    conditions.person = Data().person;
    conditions.kind = Data().kind;
    conditions.stateIndex = Data().state;
    conditions.stateText = zq::ControlText(*this, zq::task::IdState);
    conditions.from = Data().from;
    conditions.to = Data().to;
    const TaskRows tasks = ListOpenTasks(*m_database, conditions);
    list->DeleteAllItems();
    for (const QStringList& row : tasks.rows)
        zq::task::AppendTaskRow(*list, row);
    if (!tasks.ok)
        zq::Desktop::current().messageBox(QStringLiteral("读取任务时出错:\n%1").arg(tasks.error), windowTitle(),
                                          zq::MB_OK | zq::MB_ICONEXCLAMATION);
}

TaskView::TaskView(QWidget* parent) : CPropertyView(parent) {}

void TaskView::Refresh()
{
    OnUpdate(this);
}

void TaskView::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && event->modifiers() == Qt::NoModifier) {
        Refresh();
        event->accept();
        return;
    }
    CPropertyView::keyPressEvent(event);
}

TaskDock::TaskDock(QWidget* parent) : QDockWidget(QStringLiteral("任务"), parent)
{
    setObjectName(QStringLiteral("taskDock"));
    auto* content = new QWidget(this);
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(2, 2, 2, 2);
    auto* buttons = new QHBoxLayout;
    auto* refresh = new QPushButton(QStringLiteral("刷新"), content);
    refresh->setObjectName(QStringLiteral("refreshTasks"));
    buttons->addWidget(refresh);
    m_note = new QLabel(content);
    m_note->setObjectName(QStringLiteral("taskNote"));
    m_note->hide();
    buttons->addWidget(m_note);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    m_view = new TaskView(content);
    m_view->setObjectName(QStringLiteral("taskView"));
    layout->addWidget(m_view, 1);
    setWidget(content);
    connect(refresh, &QPushButton::clicked, m_view, &TaskView::Refresh);

    for (const QString& caption : {kMyTasks, kAllTasks})
        m_view->InsertPage(m_view->GetPageCount(), std::make_unique<TaskListPage>(caption), caption);
    m_view->SetActivePage(0);
}

TaskListPage* TaskDock::page(int index) const
{
    return qobject_cast<TaskListPage*>(m_view->GetPage(index));
}

QString TaskDock::note() const
{
    return m_note->isHidden() ? QString() : m_note->text();
}

void TaskDock::start(zq::CZQDBConnect* database, const QString& logName, bool loginKnown)
{
    if (!loginKnown) {
        m_note->setText(logName.isEmpty()
                            ? QStringLiteral("不知道登录的用户, 我的任务里没有任务")
                            : QStringLiteral("登录名 %1 不是产品数据库的用户, 我的任务里没有任务").arg(logName));
        m_note->show();
    }
    for (int i = 0; i < m_view->GetPageCount(); ++i) {
        TaskListPage* listPage = page(i);
        if (!listPage)
            continue;
        listPage->SetDatabase(database);
        if (i == 0) {
            listPage->Data().person = logName;
            // The page shows the login in its person field; it lists once the user asks for it.
            if (!loginKnown) {
                listPage->ShowConditions();
                continue;
            }
        }
        listPage->RefreshPage();
    }
}

} // namespace zq::host

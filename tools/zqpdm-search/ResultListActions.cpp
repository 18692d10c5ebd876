#include "ResultListActions.h"

#include "ControlDriver.h"
#include "ListCtrl.h"
#include "OutputLines.h"
#include "PreviewOutput.h"
#include "ResultExport.h"
#include "ScriptedDesktop.h"
#include "ZQPDMSearchMain.h"
#include "ZQSearchPage.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>

namespace zq::tool {

namespace {

void letEventsThrough() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

} // namespace

QString ResultListActions::resultRow(int row, CReportListCtrl*& list) const
{
    CZQSearchPage* page = m_main.CurrentPage();
    list = page ? page->GetResultList() : nullptr;
    if (!list)
        return QStringLiteral("the page has no result list");
    if (row >= list->GetItemCount())
        return QStringLiteral("the result list has %1 rows, no row %2").arg(list->GetItemCount()).arg(row);
    return QString();
}

QString ResultListActions::select(int row, bool doubleClick)
{
    CReportListCtrl* list = nullptr;
    if (QString error = resultRow(row, list); !error.isEmpty())
        return error;
    list->SelectRow(row);
    if (doubleClick) {
        letEventsThrough();
        emit list->doubleClicked(row);
    }
    return QString();
}

QString ResultListActions::rightClick(int row, int command)
{
    CReportListCtrl* list = nullptr;
    if (QString error = resultRow(row, list); !error.isEmpty())
        return error;
    list->SelectRow(row);
    letEventsThrough();

    list->FlushPendingRows();
    const QRect cell = list->visualRect(list->model()->index(row, 0));
    const QPoint at = list->viewport()->mapToGlobal(cell.isValid() ? cell.center() : QPoint(0, 0));
    m_desktop.cursor = at;
    const qsizetype menusBefore = m_desktop.eventsOf(QStringLiteral("MENU")).size();
    m_desktop.menuAnswers = {command};
    emit list->rightClicked(row, at);
    m_desktop.menuAnswers.clear();

    const QList<zq::ScriptedDesktop::Event> menus = m_desktop.eventsOf(QStringLiteral("MENU"));
    if (menus.size() == menusBefore)
        return QStringLiteral("no context menu appeared");
    if (!menus.at(menusBefore).fields.contains(QString::number(command))) {
        QStringList offered;
        for (const zq::MenuEntry& entry : std::as_const(m_desktop.lastMenu))
            if (entry.id != 0)
                offered << QStringLiteral("%1 %2").arg(entry.id).arg(entry.text);
        return QStringLiteral("the context menu has no command %1; it offers %2 (--describe lists them)")
            .arg(command)
            .arg(offered.join(QStringLiteral(", ")));
    }
    return QString();
}

QString ResultListActions::exportTo(const QString& file, int filter, ExportOutcome& outcome)
{
    const qsizetype savesBefore = m_desktop.eventsOf(QStringLiteral("SAVE")).size();
    const qsizetype eventsBefore = m_desktop.events.size();
    const QFileInfo chosen(file);
    // Where the page writes for that name: a name without an extension gets ".txt".
    const QFileInfo target(zq::ExportPathFor(chosen.absoluteFilePath()));
    const QDateTime modifiedBefore = target.exists() ? target.lastModified() : QDateTime();
    m_desktop.saveAnswer = zq::SaveFileAnswer{chosen.absoluteFilePath(), filter};
    const QString error = ControlDriver::click(zq::Control(m_main, CZQPDMSearchMain::IDC_SAVEAS));
    m_desktop.saveAnswer.reset();
    if (!error.isEmpty())
        return error;
    if (m_desktop.eventsOf(QStringLiteral("SAVE")).size() == savesBefore)
        return QStringLiteral("no save dialog appeared (the page has no result list)");
    // The page says why it wrote nothing in a message; the question whether to open the file is
    // the only message of an export that worked. What it says after opening the file is about
    // the opening: the file was written all the same.
    QStringList told, openTold, details;
    bool opening = false;
    for (qsizetype i = eventsBefore; i < m_desktop.events.size(); ++i) {
        const zq::ScriptedDesktop::Event& event = m_desktop.events.at(i);
        if (event.kind == u"OPEN")
            opening = true;
        else if (event.kind == u"MSG" && event.fields.value(1) != u"存储完毕，是否打开该文件?") {
            (opening ? openTold : told) << event.fields.value(1);
            if (!opening && !event.detail.isEmpty())
                details << event.detail;
        }
    }
    const QFileInfo written(target.absoluteFilePath());
    if (!told.isEmpty()) {
        outcome.failure = told.join(QStringLiteral("; "));
        outcome.detail = details.join(QStringLiteral("; "));
    }
    else if (!written.exists() || (modifiedBefore.isValid() && written.lastModified() == modifiedBefore))
        outcome.failure = QStringLiteral("no file was written to %1").arg(written.absoluteFilePath());
    else if (!openTold.isEmpty())
        WriteErrorLine(m_events.note(QStringLiteral("--export: %1 was written; it was not opened: %2")
                                         .arg(written.absoluteFilePath(), openTold.join(QStringLiteral("; ")))));
    return QString();
}

QString ResultListActions::preview(int row, const QString& file, QSize size, QString& failure)
{
    CReportListCtrl* list = nullptr;
    if (QString error = resultRow(row, list); !error.isEmpty())
        return error;
    failure = WritePreview(*m_main.CurrentPage(), row, file, size);
    return QString();
}

// The result list's menu as a right-click on a row shows it: the selected row, else the first
// (selected as a user's right-click would), nothing chosen.
ResultMenu ResultListActions::menu()
{
    ResultMenu result;
    CZQSearchPage* page = m_main.CurrentPage();
    CReportListCtrl* list = page ? page->GetResultList() : nullptr;
    if (!list)
        return result;
    result.listId = list->objectName().toInt();
    if (list->GetItemCount() == 0)
        return result;
    const QList<int> selected = list->GetSelectedRows();
    const int row = selected.isEmpty() ? 0 : selected.first();
    if (selected.isEmpty())
        list->SelectRow(row);
    letEventsThrough();
    m_desktop.lastMenu.clear();
    m_desktop.menuAnswers.clear();
    emit list->rightClicked(row, m_desktop.cursor);
    result.shown = !m_desktop.lastMenu.isEmpty();
    result.entries = m_desktop.lastMenu;
    return result;
}

} // namespace zq::tool

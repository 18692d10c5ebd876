#include "ScriptedDesktop.h"

#include <QDialog>
#include "ProgressWnd.h"
#include "ZQPDMFC.h"

namespace zq {

int ScriptedDesktop::messageBox(const QString& text, const QString& caption, unsigned style, const QString& detail)
{
    record(QStringLiteral("MSG"), {caption, text}, detail);
    return (style & 0xFu) == MB_YESNO ? yesNoAnswer : IDOK;
}

std::optional<SaveFileAnswer> ScriptedDesktop::saveFile(const SaveFileRequest& request)
{
    record(QStringLiteral("SAVE"), {});
    if (!saveAnswer)
        return std::nullopt;
    SaveFileAnswer answer = *saveAnswer;
    answer.path = AddDefaultExtension(answer.path, request.defaultExt);
    return answer;
}

int ScriptedDesktop::popupMenu(const QList<MenuEntry>& entries, const QPoint&)
{
    lastMenu = entries;
    QStringList ids;
    for (const MenuEntry& entry : entries) {
        if (entry.id != 0 && entry.enabled)
            ids.append(QString::number(entry.id));
    }
    record(QStringLiteral("MENU"), ids);
    const int answer = menuAnswers.isEmpty() ? 0 : menuAnswers.takeFirst();
    // A user can only choose an entry that is offered.
    return ids.contains(QString::number(answer)) ? answer : 0;
}

int ScriptedDesktop::execDialog(QDialog& dialog)
{
    record(QStringLiteral("DIALOG"), {dialog.windowTitle()});
    if (dialogAnswers.isEmpty())
        return QDialog::Rejected;
    return dialogAnswers.takeFirst()(dialog);
}

std::optional<QStringList> ScriptedDesktop::pick(const PickRequest& request)
{
    record(QStringLiteral("PICK"), {request.title});
    if (pickAnswers.isEmpty())
        return std::nullopt;
    const QStringList wanted = pickAnswers.takeFirst();
    const bool typedOk = acceptUnlisted || request.acceptTyped;
    QStringList chosen;
    for (const QString& name : wanted) {
        QString key;
        for (const QStringList& candidate : request.candidates) {
            if (EqualsNoCase(candidate.value(0), name)) {
                key = candidate.value(0);
                break;
            }
        }
        if (key.isEmpty() && typedOk)
            key = name.trimmed();
        if (!key.isEmpty() && !chosen.contains(key))
            chosen.append(key);
        if (!request.multiSelect && !chosen.isEmpty())
            break;
    }
    if (chosen.isEmpty())
        return std::nullopt;
    return chosen;
}

void ScriptedDesktop::showReport(const ReportRequest& request)
{
    record(QStringLiteral("REPORT"), {request.title, QString::number(request.rows.size())});
}

void ScriptedDesktop::setClipboardText(const QString& text)
{
    clipboard = text;
    record(QStringLiteral("CLIP"), {text});
}

bool ScriptedDesktop::shellOpen(const QString& path)
{
    record(QStringLiteral("OPEN"), {path});
    return !canOpen || canOpen(path);
}

QDateTime ScriptedDesktop::now() const
{
    return fixedNow.isValid() ? fixedNow : QDateTime::currentDateTime();
}

void ScriptedDesktop::progressPumped(CProgressWnd& progress)
{
    ++progressPumps;
    if (cancelAfterRows >= 0 && !progress.Cancelled() && progress.GetStepCount() > cancelAfterRows)
        progress.Cancel();
}

void ScriptedDesktop::hostCommand(const QString& command, const QString& argument)
{
    record(QStringLiteral("CMD"), {command, argument});
}

QList<ScriptedDesktop::Event> ScriptedDesktop::eventsOf(const QString& kind) const
{
    QList<Event> found;
    for (const Event& event : events) {
        if (event.kind == kind)
            found.append(event);
    }
    return found;
}

QStringList ScriptedDesktop::messages() const
{
    QStringList texts;
    for (const Event& event : eventsOf(QStringLiteral("MSG")))
        texts.append(event.fields.value(1));
    return texts;
}

void ScriptedDesktop::record(const QString& kind, const QStringList& fields, const QString& detail)
{
    events.append({kind, fields, detail});
    if (onEvent)
        onEvent(events.back());
}

ScopedDesktop::ScopedDesktop(Desktop& desktop) : m_previous(&Desktop::current())
{
    Desktop::install(&desktop);
}

ScopedDesktop::~ScopedDesktop()
{
    Desktop::install(m_previous);
}

} // namespace zq

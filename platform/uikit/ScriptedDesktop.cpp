#include "ScriptedDesktop.h"
#include "ProgressWnd.h"

namespace zq {

int ScriptedDesktop::messageBox(const QString&, const QString&, unsigned) { return IDOK; }
std::optional<SaveFileAnswer> ScriptedDesktop::saveFile(const SaveFileRequest&) { return saveAnswer; }
int ScriptedDesktop::popupMenu(const QList<MenuEntry>&, const QPoint&) { return 0; }
std::optional<QStringList> ScriptedDesktop::pick(const PickRequest&) { return std::nullopt; }
void ScriptedDesktop::showReport(const ReportRequest&) {}
void ScriptedDesktop::setClipboardText(const QString& text) { clipboard = text; }
bool ScriptedDesktop::shellOpen(const QString&) { return true; }
QDateTime ScriptedDesktop::now() const { return fixedNow.isValid() ? fixedNow : QDateTime::currentDateTime(); }
void ScriptedDesktop::progressPumped(CProgressWnd&) {}
void ScriptedDesktop::hostCommand(const QString&, const QString&) {}
QList<ScriptedDesktop::Event> ScriptedDesktop::eventsOf(const QString&) const { return {}; }
QStringList ScriptedDesktop::messages() const { return {}; }
void ScriptedDesktop::record(const QString& kind, const QStringList& fields) { events.append({kind, fields}); }

ScopedDesktop::ScopedDesktop(Desktop& desktop) : m_previous(&Desktop::current())
{
    Desktop::install(&desktop);
}

ScopedDesktop::~ScopedDesktop() { Desktop::install(m_previous); }

} // namespace zq

#include "ControlResolver.h"

#include "ListCtrl.h"

namespace zq::tool {

namespace {

QStringList kindsFor(ActionKind kind)
{
    switch (kind) {
    case ActionKind::Set:
        return {QStringLiteral("edit"), QStringLiteral("combo"), QStringLiteral("check"), QStringLiteral("radio"),
                QStringLiteral("date")};
    case ActionKind::Click:
        return {QStringLiteral("button"), QStringLiteral("check"), QStringLiteral("radio")};
    case ActionKind::Cell:
        return {QStringLiteral("grid")};
    default:
        return {};
    }
}

const QString kSeeDescribe = QStringLiteral(" (--describe lists the page's controls)");

} // namespace

QString ControlResolver::resolve(Action& action) const
{
    if (action.kind != ActionKind::Set && action.kind != ActionKind::Cell && action.kind != ActionKind::Click)
        return QString();
    if (QString error = resolveControl(action); !error.isEmpty())
        return error;
    return action.kind == ActionKind::Cell ? resolveRow(action) : QString();
}

QString ControlResolver::resolveControl(Action& action) const
{
    if (action.id >= 0)
        return QString();
    const QStringList kinds = kindsFor(action.kind);
    QList<qsizetype> unknownCandidates;
    QString candidateList;
    for (const ControlCatalog::Place place : {ControlCatalog::Place::Page, ControlCatalog::Place::Window}) {
        const QList<NamedControl> controls = m_catalog.named(place);
        const NameLookup lookup = ControlNames::findControl(controls, action.name, kinds);
        if (lookup.result == NameLookup::Result::Found) {
            action.id = controls[lookup.found].id;
            return QString();
        }
        if (lookup.result == NameLookup::Result::Ambiguous)
            return QStringLiteral("\"%1\" names several controls: %2; give the id instead")
                .arg(action.name, ControlNames::listControls(controls, lookup.candidates));
        if (!lookup.candidates.isEmpty()) {
            if (!candidateList.isEmpty())
                candidateList += QStringLiteral(", ");
            candidateList += ControlNames::listControls(controls, lookup.candidates);
        }
    }
    return QStringLiteral("no control is labelled \"%1\"; the labels are: %2")
               .arg(action.name, candidateList.isEmpty() ? QStringLiteral("(none)") : candidateList)
        + kSeeDescribe;
}

QString ControlResolver::resolveRow(Action& action) const
{
    if (action.row >= 0)
        return QString();
    const QWidget* control = widgetOf(action.id);
    if (!control)
        return QString();   // no such control: reported when the action runs, as for an id
    const auto* list = qobject_cast<const CReportListCtrl*>(control);
    if (!list)
        return QStringLiteral("control %1 is not a list, so it has no row \"%2\"").arg(action.id).arg(action.rowName)
            + kSeeDescribe;
    QStringList rowNames;
    for (int row = 0; row < list->GetItemCount(); ++row)
        rowNames.append(list->GetItemText(row, 0));
    const NameLookup lookup = ControlNames::findRow(rowNames, action.rowName);
    switch (lookup.result) {
    case NameLookup::Result::Found:
        action.row = int(lookup.found);
        return QString();
    case NameLookup::Result::Ambiguous:
        return QStringLiteral("several rows of control %1 are named \"%2\": %3; give the row's index instead")
            .arg(QString::number(action.id), action.rowName, ControlNames::listRows(rowNames, lookup.candidates));
    case NameLookup::Result::Unknown:
        break;
    }
    return QStringLiteral("control %1 has no row \"%2\"; its rows are: %3")
               .arg(QString::number(action.id), action.rowName, ControlNames::listRows(rowNames, lookup.candidates))
        + kSeeDescribe;
}

const QWidget* ControlResolver::widgetOf(int id) const
{
    // The page's control before the window's, as the session finds controls by id.
    for (const ControlCatalog::Entry& entry : m_catalog.entries())
        if (entry.named.id == id)
            return entry.widget;
    return nullptr;
}

} // namespace zq::tool

#include "ControlNames.h"

#include <functional>

namespace zq::tool {

namespace {

// The entries whose label equals the name, exactly first, else once normalised.
QList<qsizetype> matches(qsizetype count, const std::function<QString(qsizetype)>& labelAt, const QString& name)
{
    QList<qsizetype> exact;
    QList<qsizetype> loose;
    const QString wanted = ControlNames::normalized(name);
    for (qsizetype i = 0; i < count; ++i) {
        const QString label = labelAt(i);
        if (label.isEmpty())
            continue;
        if (label == name)
            exact.append(i);
        else if (!wanted.isEmpty() && ControlNames::normalized(label) == wanted)
            loose.append(i);
    }
    return exact.isEmpty() ? loose : exact;
}

NameLookup lookupOf(const QList<qsizetype>& found)
{
    NameLookup lookup;
    if (found.size() == 1) {
        lookup.result = NameLookup::Result::Found;
        lookup.found = found.first();
    } else if (found.size() > 1) {
        lookup.result = NameLookup::Result::Ambiguous;
        lookup.candidates = found;
    }
    return lookup;
}

} // namespace

QString ControlNames::normalized(const QString& label)
{
    QString text = label.trimmed();
    if (text.endsWith(u':') || text.endsWith(u'：'))
        text.chop(1);
    return text.trimmed();
}

NameLookup ControlNames::findControl(const QList<NamedControl>& controls, const QString& name, const QStringList& wantedKinds)
{
    auto isWanted = [&](qsizetype i) { return wantedKinds.isEmpty() || wantedKinds.contains(controls[i].kind); };
    QList<qsizetype> found = matches(controls.size(), [&](qsizetype i) { return controls[i].label; }, name);
    if (found.size() > 1) {
        QList<qsizetype> ofWantedKind;
        for (qsizetype i : std::as_const(found))
            if (isWanted(i))
                ofWantedKind.append(i);
        if (!ofWantedKind.isEmpty())
            found = ofWantedKind;
    }
    NameLookup lookup = lookupOf(found);
    if (lookup.result == NameLookup::Result::Unknown) {
        for (qsizetype i = 0; i < controls.size(); ++i)
            if (!controls[i].label.isEmpty() && isWanted(i))
                lookup.candidates.append(i);
    }
    return lookup;
}

NameLookup ControlNames::findRow(const QStringList& rowNames, const QString& name)
{
    NameLookup lookup = lookupOf(matches(rowNames.size(), [&](qsizetype i) { return rowNames[i]; }, name));
    if (lookup.result == NameLookup::Result::Unknown)
        for (qsizetype i = 0; i < rowNames.size(); ++i)
            lookup.candidates.append(i);
    return lookup;
}

QString ControlNames::listControls(const QList<NamedControl>& controls, const QList<qsizetype>& which)
{
    QStringList items;
    for (qsizetype i : which)
        items.append(QStringLiteral("%1 %2").arg(controls[i].id).arg(controls[i].label));
    return items.isEmpty() ? QStringLiteral("(none)") : items.join(QStringLiteral(", "));
}

QString ControlNames::listRows(const QStringList& rowNames, const QList<qsizetype>& which)
{
    QStringList items;
    for (qsizetype i : which)
        items.append(QStringLiteral("%1 %2").arg(i).arg(rowNames[i]));
    return items.isEmpty() ? QStringLiteral("(none)") : items.join(QStringLiteral(", "));
}

} // namespace zq::tool

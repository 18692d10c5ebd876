#include "ControlCatalog.h"
#include "ControlKinds.h"

#include "DialogTemplate.h"

namespace zq::tool {

ControlCatalog::ControlCatalog(const QWidget* page, const QWidget& window)
{
    if (page)
        add(*page, Place::Page);
    add(window, Place::Window);
}

void ControlCatalog::add(const QWidget& dialog, Place place)
{
    for (QWidget* control : DialogControls(dialog)) {
        Entry entry;
        entry.widget = control;
        entry.named = NamedControl{control->objectName().toInt(), ControlKindName(*control), ControlCaption(*control)};
        entry.place = place;
        m_entries.append(entry);
    }
}

QList<NamedControl> ControlCatalog::named(Place place) const
{
    QList<NamedControl> controls;
    for (const Entry& entry : m_entries)
        if (entry.place == place)
            controls.append(entry.named);
    return controls;
}

} // namespace zq::tool

#pragma once
// The controls a user can reach on the search window as it stands: the current page's controls,
// then the window's own (查找, 另存为..., 关联视图项, ...), each with its id, its kind and the label
// the user sees beside it. Everything comes from the dialog templates' widgets, so a page needs
// no table of its own to be described or driven by name.
#include "ControlNames.h"

#include <QList>
#include <QString>

class QWidget;

namespace zq::tool {

class ControlCatalog {
public:
    enum class Place { Page, Window };

    struct Entry {
        QWidget* widget = nullptr;
        NamedControl named;
        Place place = Place::Page;
    };

    ControlCatalog(const QWidget* page, const QWidget& window);

    const QList<Entry>& entries() const { return m_entries; }
    QList<NamedControl> named(Place place) const;

private:
    void add(const QWidget& dialog, Place place);

    QList<Entry> m_entries;
};

} // namespace zq::tool

#include "TempResourceOverride.h"
#include <algorithm>
#include <vector>

namespace zq {

namespace {

// Registered modules in registration order, and the overrides alive now (innermost last).
struct Registry {
    std::vector<ModuleResources> modules;
    QStringList overrides;
};

Registry& registry()
{
    static Registry instance;
    return instance;
}

const ModuleResources* findModule(const QString& name)
{
    const auto& modules = registry().modules;
    const auto it = std::find_if(modules.begin(), modules.end(), [&](const ModuleResources& m) { return m.module == name; });
    return it == modules.end() ? nullptr : &*it;
}

bool isEmpty(const DialogTemplate* found) { return found == nullptr; }
bool isEmpty(const QPixmap& found) { return found.isNull(); }
bool isEmpty(const QIcon& found) { return found.isNull(); }

// Asks the overriding modules (innermost first), then every registered module, until one answers.
template <class Result, class Lookup>
Result lookUp(Lookup lookup)
{
    const Registry& reg = registry();
    for (auto it = reg.overrides.crbegin(); it != reg.overrides.crend(); ++it) {
        if (const ModuleResources* module = findModule(*it)) {
            if (Result found = lookup(*module); !isEmpty(found))
                return found;
        }
    }
    for (const ModuleResources& module : reg.modules) {
        if (Result found = lookup(module); !isEmpty(found))
            return found;
    }
    return Result();
}

} // namespace

void RegisterModuleResources(const ModuleResources& resources)
{
    auto& modules = registry().modules;
    const auto it = std::find_if(modules.begin(), modules.end(),
                                 [&](const ModuleResources& m) { return m.module == resources.module; });
    if (it != modules.end())
        *it = resources;
    else
        modules.push_back(resources);
}

void UnregisterModuleResources(const QString& module)
{
    auto& modules = registry().modules;
    modules.erase(std::remove_if(modules.begin(), modules.end(), [&](const ModuleResources& m) { return m.module == module; }),
                  modules.end());
}

const DialogTemplate* FindDialogTemplate(int id)
{
    return lookUp<const DialogTemplate*>([id](const ModuleResources& m) -> const DialogTemplate* {
        return m.dialog ? m.dialog(id) : nullptr;
    });
}

QPixmap LoadBitmapResource(int id)
{
    return lookUp<QPixmap>([id](const ModuleResources& m) { return m.bitmap ? m.bitmap(id) : QPixmap(); });
}

QIcon LoadIconResource(int id)
{
    return lookUp<QIcon>([id](const ModuleResources& m) { return m.icon ? m.icon(id) : QIcon(); });
}

QStringList ActiveOverrides()
{
    return registry().overrides;
}

} // namespace zq

CTempResourceOverride::CTempResourceOverride(const QString& module) : m_module(module)
{
    zq::registry().overrides.append(module);
}

CTempResourceOverride::~CTempResourceOverride()
{
    QStringList& overrides = zq::registry().overrides;
    const qsizetype at = overrides.lastIndexOf(m_module);
    if (at >= 0)
        overrides.removeAt(at);
}

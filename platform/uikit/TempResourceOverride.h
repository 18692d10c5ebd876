#pragma once
// While one lives, resources (dialog templates, bitmaps, icons, strings) are looked up in the
// given module first. Modules register their resources under a module name; the host's stay
// available below them.
#include <QIcon>
#include <QPixmap>
#include <QString>
#include <QStringList>
#include <functional>

struct DialogTemplate;

namespace zq {

struct ModuleResources {
    QString module;
    std::function<const DialogTemplate*(int id)> dialog;
    std::function<QPixmap(int id)> bitmap;
    std::function<QIcon(int id)> icon;
};

void RegisterModuleResources(const ModuleResources& resources);
void UnregisterModuleResources(const QString& module);

// Looks a resource up: modules under an active override first (innermost first), then all registered modules.
const DialogTemplate* FindDialogTemplate(int id);
QPixmap LoadBitmapResource(int id);
QIcon LoadIconResource(int id);
QStringList ActiveOverrides();

} // namespace zq

class CTempResourceOverride {
public:
    explicit CTempResourceOverride(const QString& module);
    ~CTempResourceOverride();
    CTempResourceOverride(const CTempResourceOverride&) = delete;
    CTempResourceOverride& operator=(const CTempResourceOverride&) = delete;
private:
    QString m_module;
};

#include "TempResourceOverride.h"

namespace zq {

void RegisterModuleResources(const ModuleResources&) {}
void UnregisterModuleResources(const QString&) {}
const DialogTemplate* FindDialogTemplate(int) { return nullptr; }
QPixmap LoadBitmapResource(int) { return {}; }
QIcon LoadIconResource(int) { return {}; }
QStringList ActiveOverrides() { return {}; }

} // namespace zq

CTempResourceOverride::CTempResourceOverride(const QString&) {}
CTempResourceOverride::~CTempResourceOverride() = default;

#pragma once
// Qt's own texts (the standard buttons OK, Cancel, Yes and No, the file dialog) in Chinese, as
// everything else the module shows is: the translations that come with the Qt installation
// ("qtbase_zh_CN.qm", Debian's qt6-translations-l10n).
#include <QString>

namespace zq {

// Installs the Chinese translation of Qt's own texts in the application, unless the application
// already translates them (a host that chose its own). True when Qt's texts are Chinese after the
// call; false without an application or without the translation files (Qt's English stays).
bool LoadQtChineseTranslations();

// Where the translation files are looked for: the Qt installation's translations folder.
QString QtTranslationsFolder();

} // namespace zq

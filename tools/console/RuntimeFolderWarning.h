#pragma once
// Without XDG_RUNTIME_DIR (a cron job, ssh, a container) Qt warns on every run that it makes a
// runtime folder of its own. That folder works, and the warning would only clutter the programs'
// output and alarm whoever reads a cron mail: the programs leave that one message out.

namespace zq::console {

// Installs a Qt message handler that drops Qt's XDG_RUNTIME_DIR warning and passes every other
// message on to the handler installed before it. Called before the application object is made.
void DropRuntimeFolderWarning();

} // namespace zq::console

#pragma once
// The user's own temporary folder, where stored files are copied out to be opened: a folder only
// the user may enter, never the shared temporary folder itself. $XDG_RUNTIME_DIR/zqpdm when the
// session has a runtime folder, else zqpdm-<uid> below the temporary folder. A folder that is
// there already is used only when it is a real folder (not a link) of the user's own that nobody
// else may enter; otherwise it is refused and a new folder of a unique name is made instead.
#include <QString>

namespace zq {

struct PrivateFolderChoice {
    QString path;      // ends with '/'
    QString refused;   // the folder that was refused and why; empty when the first choice served
};

// Why folder cannot serve as the user's private folder ("" when it can): it must exist, be a
// folder and not a link, belong to the current user and give no access to group or others.
QString PrivateFolderProblem(const QString& folder);

// Makes (or checks) the private folder for a runtime folder (may be empty) and a temporary folder.
// When no folder of the user's own can be made at all, the path lies below /dev/null, where every
// write fails with a message instead of landing in a folder someone else prepared.
PrivateFolderChoice ChoosePrivateTempFolder(const QString& runtimeDir, const QString& tempRoot);

} // namespace zq

#pragma once
// zqpdm-index as a whole: the command line parsed, the installation and databases named, the run
// made and reported. The worker mode (--extract-worker) is handled before this, in main().
#include <QStringList>
#include <QTextStream>

namespace zq::index {

// program: this program's path, started again as the extraction worker.
int RunIndexCommand(const QString& program, const QStringList& arguments, QTextStream& out, QTextStream& err,
                    bool errIsTerminal);

} // namespace zq::index

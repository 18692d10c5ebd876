#pragma once
// pdm-seed's command line: pdm-seed --home DIR [--scale N] [--today yyyy-MM-dd] [--db URL [--trigram-indexes]] [--replace] [--module-tables-only] | --help
// Exit codes: 0 done, 1 failed (the reason on standard error), 2 usage error.
#include "Seeder.h"
#include <QStringList>
#include <QTextStream>
#include <optional>

namespace zq::seed {

enum ExitCode { ExitOk = 0, ExitFailed = 1, ExitUsage = 2 };

struct ParsedCommandLine {
    SeedOptions options;
    bool help = false;
};

QString UsageText();

// nullopt and *error set on a usage error. arguments exclude the program name.
std::optional<ParsedCommandLine> ParseSeedCommandLine(const QStringList& arguments, QString* error);

// Runs the whole command: parses, seeds, prints a summary on out or the reason on err. How far
// the seeding is goes to err: a line rewritten in place when err is a terminal.
int RunSeedCommand(const QStringList& arguments, QTextStream& out, QTextStream& err, bool errIsTerminal = false);

} // namespace zq::seed

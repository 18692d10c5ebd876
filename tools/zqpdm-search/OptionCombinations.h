#pragma once
// Which options go together once the whole line is read, and where the implicit "查找" goes.
#include "SearchCommandLine.h"

namespace zq::tool::args {

// Fails with a usage message on options that do not go together; else completes the actions
// with the Find a run without --find presses.
void checkCombinations(SearchOptions& options);

} // namespace zq::tool::args

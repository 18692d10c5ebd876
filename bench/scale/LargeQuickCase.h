#pragma once
// The quick search and its suggestions on the large PostgreSQL database.
#include "BenchData.h"
#include "Cases.h"

namespace zq::bench {

void RunLargeQuickSearch(const BenchOptions& options, const Installation& installation, int scale, BenchTable& table);

} // namespace zq::bench

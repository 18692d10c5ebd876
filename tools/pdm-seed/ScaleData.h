#pragma once
// Generated bulk for benchmarks: every step of --scale beyond 1 adds one generated product
// "ZQG0001", "ZQG0002", ... with a four-level structure of 1,044 part-list lines, its drawings,
// attributes, two documents, a change order, a resource file and a project with two team-work tasks.
#include "DemoData.h"

namespace zq::seed {

constexpr int kLinesPerScaleStep = 1044;

void WriteScaleData(DemoContext& ctx, int scale);

} // namespace zq::seed

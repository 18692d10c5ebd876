#pragma once
// Generated bulk for benchmarks: every step of --scale beyond 1 adds one generated product
// "ZQG0001", "ZQG0002", ... with a four-level structure of 1,044 part-list lines, its drawings,
// attributes, two documents, a change order, a resource file and a project with two team-work tasks.
//
// The parts below the third-level assemblies come, as in a real product database, from a parts
// library that every product draws on: each product adds a few library parts, and its assemblies
// use parts added by any product before it. So the part list grows about ten times as fast as the
// drawings, and its drawings are dated over the last ten years.
#include "DemoData.h"

#include <functional>

namespace zq::seed {

constexpr int kLinesPerScaleStep = 1044;

struct ScaleShape {
    // Parts of each third-level assembly made for it alone, with drawings of their own; the
    // other 14 − n come from the parts library.
    int ownPartsPerAssembly = 0;
    int libraryPartsPerStep = 20;   // library parts, with their drawings, each product adds
    int dateSpreadDays = 3650;      // drawings dated up to this many days back

    // Every part its own and every drawing within the last year: the most drawings for a step,
    // all of them in the title search's default date range (the benchmarks' shape).
    static ScaleShape EveryPartOwn() { return {14, 0, 360}; }
    int titlesPerStep() const;
};

// After each step: the steps done and the steps in all.
using ScaleProgress = std::function<void(int done, int steps)>;

void WriteScaleData(DemoContext& ctx, int scale, const ScaleShape& shape = {}, const ScaleProgress& progress = {});

} // namespace zq::seed

#pragma once
// What makes a preview of a local file: the worker process in the client and the command line
// (PreviewWorkerMaker), the renderer itself in a test.
#include "PreviewAnswer.h"

#include <atomic>

namespace zq::preview {

class PreviewMaker {
public:
    virtual ~PreviewMaker() = default;
    // Returns soon after the stop it was made with is set (the answer then does not matter).
    virtual PreviewAnswer make(const PreviewRequest& request) = 0;
};

} // namespace zq::preview

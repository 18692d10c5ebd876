#pragma once
// The result list as zqpdm-search prints it on standard output: the columns the user sees, in the
// format asked for.
#include "ResultFormats.h"

#include <QString>

class CReportListCtrl;

namespace zq::tool {

// The output written; the reason when standard output took not all of it, else empty.
QString WriteResultList(CReportListCtrl& list, OutputFormat format);

} // namespace zq::tool

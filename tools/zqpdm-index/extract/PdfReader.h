#pragma once
// PDF documents, with Poppler's C++ library: the text of each page in the order it is drawn,
// page by page until the time or the text runs out. Poppler reads the bytes in memory; a single
// page is one call into Poppler, which the time limit cannot interrupt.
#include <QByteArrayView>

namespace zq::extract {

class ExtractionRun;

class PdfReader {
public:
    void read(QByteArrayView bytes, ExtractionRun& run);
};

} // namespace zq::extract

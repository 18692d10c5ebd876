#pragma once
// PDF documents, with Qt PDF (PDFium inside): the text of each page in the order PDFium finds it,
// page by page until the time or the text runs out, line ends mended for search (PdfLineEnds.h).
// PDFium reads on a thread of its own that the time limit can leave behind (PdfTextThread.h).
// A file that opens but whose pages hold no text at all is noted as without a text layer.
#include <QByteArray>

namespace zq::extract {

class ExtractionRun;

class PdfReader {
public:
    void read(const QByteArray& bytes, ExtractionRun& run);
};

} // namespace zq::extract

// PDF files: any bytes through Poppler, within the limits. An input that keeps Poppler busy past
// libFuzzer's timeout is a finding: a single Poppler call cannot be stopped from outside.
#include "ExtractionChecks.h"

using namespace zq::extract;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    zqfuzz::EnsureCoreApp();
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    // The bytes stay whole (a PDF is read from its end); one input in four gets small limits
    // taken from its size.
    ExtractLimits limits;
    if (size % 4 == 0) {
        limits.maxTextChars = qsizetype(size % 97);
        limits.maxReadBytes = size % 8 == 0 ? qint64(size) : qint64(size) - 1;
    }
    zqfuzz::CheckExtraction(ExtractTextFromBytes(FileType::Pdf, bytes, limits), limits, "pdf");
    return 0;
}

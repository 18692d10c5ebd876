// DXF drawings: any bytes, within the limits; every character of the text comes from at least
// one byte of the file, so that no escape or format code makes text out of nothing.
#include "ExtractionChecks.h"

using namespace zq::extract;
using zqfuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    zqfuzz::EnsureCoreApp();
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const Extraction whole = ExtractTextFromBytes(FileType::Dxf, bytes);
    zqfuzz::CheckExtraction(whole, {}, "whole");
    Check(whole.text.size() <= bytes.size(), "no more text than bytes");

    FuzzedDataProvider input(data, size);
    const ExtractLimits limits = zqfuzz::PickLimits(input, bytes.size());
    const Extraction cut = ExtractTextFromBytes(FileType::Dxf, bytes, limits);
    zqfuzz::CheckExtraction(cut, limits, "limited");
    Check(cut.text.size() <= limits.maxReadBytes, "no more text than bytes read");
    return 0;
}

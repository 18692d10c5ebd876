// Plain text and CSV files: any bytes read, every character of the file arrives in order (the
// system's own decoding, zq::DecodeFileText, or UTF-16 by its byte-order mark, is the reference),
// and a read limit keeps the start of the text.
#include "ExtractionChecks.h"
#include "GbkText.h"

#include <QStringDecoder>

using namespace zq::extract;
using zqfuzz::Check;

namespace {

QString ReferenceDecode(const QByteArray& bytes)
{
    if (bytes.startsWith("\xFF\xFE"))
        return QStringDecoder(QStringConverter::Utf16LE).decode(bytes.mid(2));
    if (bytes.startsWith("\xFE\xFF"))
        return QStringDecoder(QStringConverter::Utf16BE).decode(bytes.mid(2));
    return zq::DecodeFileText(bytes);
}

// A cut cannot change how the rest is read: a UTF-16 byte-order mark says it, or UTF-8 stays UTF-8.
// (Where invalid UTF-8 follows a UTF-8 mark, the bytes of a broken sequence at the cut may read
// otherwise than in the whole file.)
bool EncodingSurvivesACut(const QByteArray& bytes)
{
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return true;
    return (bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes).isValidUtf8();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    zqfuzz::EnsureCoreApp();
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const Extraction whole = ExtractTextFromBytes(FileType::PlainText, bytes);
    zqfuzz::CheckExtraction(whole, {}, "whole");
    Check(whole.ok && !whole.truncated, "any bytes read as text", whole.note);
    const QString visible = zqfuzz::Visible(whole.text);
    Check(visible == zqfuzz::Visible(ReferenceDecode(bytes)), "every character of the file arrives in order",
          QString::fromLatin1(bytes.toHex()));
    Check(whole.text.size() <= bytes.size(), "no more text than bytes");

    FuzzedDataProvider input(data, size);
    const ExtractLimits limits = zqfuzz::PickLimits(input, bytes.size());
    const Extraction cut = ExtractTextFromBytes(FileType::PlainText, bytes, limits);
    zqfuzz::CheckExtraction(cut, limits, "limited");
    Check(cut.text.size() <= limits.maxReadBytes, "no more text than bytes read");
    if (limits.timeLimitMs != 0 && EncodingSurvivesACut(bytes))
        Check(visible.startsWith(zqfuzz::Visible(cut.text)), "a cut text is the start of the whole text",
              QString::fromLatin1(bytes.toHex()));
    return 0;
}

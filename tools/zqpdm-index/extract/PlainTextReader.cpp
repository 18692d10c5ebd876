#include "PlainTextReader.h"
#include "ExtractionRun.h"
#include "GbkText.h"

#include <QStringDecoder>

namespace zq::extract {

namespace {

constexpr qsizetype kPiece = 256 * 1024;

enum class Encoding { Utf8, Utf16LE, Utf16BE, Gbk };

struct Detected {
    Encoding encoding;
    qsizetype bomLength;
};

bool hasNonAscii(QByteArrayView bytes)
{
    for (char b : bytes)
        if (uchar(b) >= 0x80)
            return true;
    return false;
}

// The rule of the system's own text files (zq::DecodeFileText), and UTF-16 by its byte-order mark.
Detected detectByMark(QByteArrayView bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return {Encoding::Utf8, 3};
    if (bytes.startsWith("\xFF\xFE"))
        return {Encoding::Utf16LE, 2};
    if (bytes.startsWith("\xFE\xFF"))
        return {Encoding::Utf16BE, 2};
    return {Encoding::Gbk, 0};
}

bool isUtf16(Encoding encoding)
{
    return encoding == Encoding::Utf16LE || encoding == Encoding::Utf16BE;
}

// Where a piece of UTF-8 or GB18030 bytes may end without splitting a character: after a byte
// below 0x30, which is never part of a longer sequence in either encoding, searched for in the
// last few bytes before `end`. Bytes without such a byte near the end are cut at `end`.
qsizetype pieceEnd(QByteArrayView bytes, qsizetype start, qsizetype end)
{
    if (end >= bytes.size())
        return bytes.size();
    for (qsizetype i = end - 1; i > start && i >= end - 64; --i)
        if (uchar(bytes[i]) < 0x30)
            return i + 1;
    return end;
}

} // namespace

void PlainTextReader::read(QByteArrayView bytes, ExtractionRun& run)
{
    Detected detected = detectByMark(bytes);
    if (bytes.size() > run.limits().maxReadBytes) {
        const auto limit = qsizetype(run.limits().maxReadBytes);
        bytes = bytes.first(isUtf16(detected.encoding) ? limit & ~qsizetype(1) : pieceEnd(bytes, 0, limit));
        run.readCut();
    }
    bytes = bytes.sliced(std::min(detected.bomLength, bytes.size()));
    if (detected.bomLength == 0 && hasNonAscii(bytes) && bytes.isValidUtf8())
        detected.encoding = Encoding::Utf8;
    std::optional<QStringDecoder> utf16;
    if (detected.encoding == Encoding::Utf16LE)
        utf16.emplace(QStringConverter::Utf16LE);
    else if (detected.encoding == Encoding::Utf16BE)
        utf16.emplace(QStringConverter::Utf16BE);

    qsizetype start = 0;
    while (start < bytes.size() && !run.mustStop()) {
        QString piece;
        qsizetype end = 0;
        if (utf16) {
            end = std::min(bytes.size(), start + kPiece);
            piece = utf16->decode(bytes.sliced(start, end - start));   // keeps a split pair for the next piece
        } else {
            end = pieceEnd(bytes, start, start + kPiece);
            const QByteArrayView part = bytes.sliced(start, end - start);
            piece = detected.encoding == Encoding::Utf8 ? QString::fromUtf8(part)
                                                        : zq::DecodeGbk(part.toByteArray());
        }
        run.text().append(piece);
        start = end;
    }
}

} // namespace zq::extract

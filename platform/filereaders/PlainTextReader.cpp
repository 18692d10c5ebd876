#include "PlainTextReader.h"
#include "ExtractionRun.h"
#include "GbkText.h"

#include <QStringDecoder>

#include <optional>

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

// Where a piece of bytes may end without splitting a character, at or before `end`; `start` when
// no whole character fits.
qsizetype pieceEnd(Encoding encoding, QByteArrayView bytes, qsizetype start, qsizetype end)
{
    if (end >= bytes.size())
        return bytes.size();
    switch (encoding) {
    case Encoding::Utf16LE:
    case Encoding::Utf16BE: {
        // Whole units, and a pair's first half goes with its second.
        qsizetype cut = start + ((end - start) & ~qsizetype(1));
        if (cut - start >= 2) {
            const auto first = uchar(bytes[cut - 2]), second = uchar(bytes[cut - 1]);
            const char16_t unit = encoding == Encoding::Utf16LE ? char16_t(second << 8 | first) : char16_t(first << 8 | second);
            if (QChar::isHighSurrogate(unit))
                cut -= 2;
        }
        return cut;
    }
    case Encoding::Utf8: {
        qsizetype cut = end;
        while (cut > start && end - cut < 4 && (uchar(bytes[cut]) & 0xC0) == 0x80)
            --cut;   // back to the first byte of the character
        return cut;
    }
    case Encoding::Gbk:
        break;
    }
    // GB18030 sequences, counted as zq::DecodeGbk counts them: a lead byte 0x81-0xFE starts four
    // bytes when a digit follows it, else two.
    qsizetype at = start;
    while (at < end) {
        const uchar b = uchar(bytes[at]);
        const qsizetype length = b >= 0x81 && b <= 0xFE ? (uchar(bytes[at + 1]) - 0x30u < 10u ? 4 : 2) : 1;
        if (at + length > end)
            break;
        at += length;
    }
    return at;
}

qsizetype utf8Length(uchar lead)
{
    return lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3 : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
}

// The system's rule for text without a mark: UTF-8 when valid and not all ASCII. When the read
// limit cut the bytes, a last character left incomplete counts if its bytes so far begin one.
bool isUtf8Text(QByteArrayView bytes, bool cut)
{
    qsizetype complete = bytes.size();
    bool cutCharacter = false;
    if (cut) {
        qsizetype start = bytes.size();
        while (start > 0 && bytes.size() - start < 3 && (uchar(bytes[start - 1]) & 0xC0) == 0x80)
            --start;
        if (start > 0) {
            const qsizetype length = utf8Length(uchar(bytes[start - 1]));
            if (length > bytes.size() - (start - 1)) {
                complete = start - 1;
                cutCharacter = true;
            }
        }
    }
    const QByteArrayView head = bytes.first(complete);
    return (cutCharacter || hasNonAscii(head)) && head.isValidUtf8();
}

} // namespace

void PlainTextReader::read(QByteArrayView bytes, ExtractionRun& run)
{
    const Detected detected = detectByMark(bytes);
    Encoding encoding = detected.encoding;
    const qsizetype limit = std::min(bytes.size(), qsizetype(run.limits().maxReadBytes));
    if (detected.bomLength == 0 && isUtf8Text(bytes.first(limit), limit < bytes.size()))
        encoding = Encoding::Utf8;
    if (limit < bytes.size()) {
        // A character cut by the limit is left out: a part of one is no character.
        bytes = bytes.first(pieceEnd(encoding, bytes, std::min(detected.bomLength, limit), limit));
        run.readCut();
    }
    bytes = bytes.sliced(std::min(detected.bomLength, bytes.size()));
    std::optional<QStringDecoder> utf16;
    if (encoding == Encoding::Utf16LE)
        utf16.emplace(QStringConverter::Utf16LE);
    else if (encoding == Encoding::Utf16BE)
        utf16.emplace(QStringConverter::Utf16BE);

    qsizetype start = 0;
    while (start < bytes.size() && !run.mustStop()) {
        qsizetype end = pieceEnd(encoding, bytes, start, start + kPiece);
        if (end == start)
            end = std::min(bytes.size(), start + kPiece);   // no character boundary: bytes that are no text
        const QByteArrayView piece = bytes.sliced(start, end - start);
        if (utf16)
            run.text().append(QString(utf16->decode(piece)));
        else if (encoding == Encoding::Utf8)
            run.text().append(QString::fromUtf8(piece));
        else
            run.text().append(zq::DecodeGbk(piece.toByteArray()));
        start = end;
    }
}

} // namespace zq::extract

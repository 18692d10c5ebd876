// GBK at the file edges: any bytes decode and any text encodes, without a crash, and nothing
// is lost on the way: what is written as GBK reads back as the same text, byte counts agree
// with the bytes written, and cutting to a byte count never splits a character.
#include "FuzzSupport.h"
#include "GbkText.h"

#include <QByteArray>
#include <QString>

using zqfuzz::Check;

namespace {

bool HasLoneSurrogate(const QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i;
            continue;
        }
        if (text[i].isSurrogate())
            return true;
    }
    return false;
}

void CheckBytes(const QByteArray& bytes)
{
    const QString decoded = zq::DecodeGbk(bytes);
    Check(!HasLoneSurrogate(decoded), "decoded GBK holds no broken UTF-16");
    // What the system reads it writes back as the same text.
    Check(zq::DecodeGbk(zq::EncodeGbk(decoded)) == decoded, "decode(encode(decode(bytes))) == decode(bytes)",
          QString::fromLatin1(bytes.toHex()));
    // A file of valid GBK is written back byte for byte. The euro sign has two forms, code page
    // 936's byte 0x80 and GB18030's pair A2 E3; both read as €, which is written back as 0x80.
    if (!decoded.contains(QChar(QChar::ReplacementCharacter)) && !decoded.contains(QChar(0x20AC)))
        Check(zq::EncodeGbk(decoded) == bytes, "encode(decode(bytes)) == bytes for valid GBK",
              QString::fromLatin1(bytes.toHex()));
    const QString fileText = zq::DecodeFileText(bytes);
    Check(!HasLoneSurrogate(fileText), "a decoded file holds no broken UTF-16");
}

void CheckText(const QString& text, int width)
{
    const QByteArray encoded = zq::EncodeGbk(text);
    if (!HasLoneSurrogate(text))
        Check(zq::DecodeGbk(encoded) == text, "decode(encode(text)) == text", text);
    Check(zq::GbkLength(text) == encoded.size(), "GbkLength counts the bytes written", text);

    const QString cut = zq::TruncateGbk(text, width);
    const QString sizes = QStringLiteral("width %1, text %2 characters %3 bytes, cut %4 characters %5 bytes: ")
                              .arg(width).arg(text.size()).arg(encoded.size()).arg(cut.size()).arg(zq::GbkLength(cut));
    Check(text.startsWith(cut), "a cut text is a prefix of the text", text);
    Check(zq::GbkLength(cut) <= std::max(width, 0), "a cut text fits the byte count", sizes + QString::fromLatin1(encoded.toHex()));
    Check(cut.isEmpty() || cut.size() == text.size() || !cut.back().isHighSurrogate() || !text[cut.size()].isLowSurrogate(),
          "a cut never splits a surrogate pair", text);
    if (cut.size() < text.size() && width > 0) {
        // The next character would not have fitted.
        const qsizetype next = cut.size() + (text[cut.size()].isHighSurrogate() && cut.size() + 1 < text.size()
                                             && text[cut.size() + 1].isLowSurrogate() ? 2 : 1);
        Check(zq::GbkLength(text.left(next)) > width, "a cut keeps every character that fits", text);
    }

    const QByteArray padded = zq::PadGbk(text, width);
    Check(padded.startsWith(encoded), "padding keeps the text", text);
    Check(padded.size() == std::max<qsizetype>(encoded.size(), width), "padding fills to the width", text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    CheckBytes(bytes);
    FuzzedDataProvider input(data, size);
    const int width = input.ConsumeIntegralInRange(-2, 64);
    CheckText(zqfuzz::HostileText(input), width);
    return 0;
}

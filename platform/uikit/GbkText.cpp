#include "GbkText.h"
#include "ZQPDMFC.h"
#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace zq {

namespace {

// Code page 936 keeps the euro sign in the single byte 0x80, where GB18030 has none.
constexpr char kEuroByte = '\x80';
constexpr char16_t kEuro = 0x20AC;

bool isGbkLead(uchar b) { return b >= 0x81 && b <= 0xFE; }
bool isGb18030Second(uchar b) { return b >= 0x30 && b <= 0x39; }

QByteArray encodeGb18030(QStringView text)
{
    QStringEncoder encoder("GB18030");
    QByteArray bytes = encoder.encode(text);
    // The encoder holds back a high surrogate at the end, waiting for the rest of its pair.
    // Alone it stands for no character; it is written as inside a text, as 0x1A.
    if (!text.isEmpty() && text.back().isHighSurrogate())
        bytes += '\x1a';
    return bytes;
}

bool hasNonAscii(const QByteArray& bytes)
{
    for (char b : bytes) {
        if (uchar(b) >= 0x80)
            return true;
    }
    return false;
}

bool isValidUtf8(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    return !decoder.hasError();
}

// The GBK bytes of one character: one UTF-16 unit, or a surrogate pair. Encoded as it stands
// in the text, so a byte-order mark or a lone surrogate counts as EncodeGbk writes it.
int charLength(QStringView character)
{
    const char16_t first = character.front().unicode();
    if (character.size() == 1 && (first < 0x80 || first == kEuro))
        return 1;
    return int(encodeGb18030(character).size());
}

} // namespace

QString DecodeGbk(const QByteArray& bytes)
{
    // Split at every lone 0x80 (a euro sign); the pieces between are whole GB18030 sequences,
    // except perhaps a sequence cut off by the end of the bytes.
    QStringDecoder decoder("GB18030", QStringDecoder::Flag::Stateless);
    QString text;
    text.reserve(bytes.size());
    qsizetype start = 0, i = 0;
    const qsizetype n = bytes.size();
    while (i < n) {
        const auto b = uchar(bytes[i]);
        qsizetype length = 1;
        if (b == 0x80) {
            text += decoder.decode(QByteArrayView(bytes).sliced(start, i - start));
            text += QChar(kEuro);
            start = i + 1;
        } else if (isGbkLead(b)) {
            length = (i + 1 < n && isGb18030Second(uchar(bytes[i + 1]))) ? 4 : 2;
        }
        if (i + length > n) {
            text += decoder.decode(QByteArrayView(bytes).sliced(start, i - start));
            text += QChar(QChar::ReplacementCharacter);
            return text;
        }
        i += length;
    }
    text += decoder.decode(QByteArrayView(bytes).sliced(start, n - start));
    return text;
}

QByteArray EncodeGbk(const QString& text)
{
    if (!text.contains(QChar(kEuro)))
        return encodeGb18030(text);
    QByteArray bytes;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != QChar(kEuro))
            continue;
        bytes += encodeGb18030(QStringView(text).sliced(start, i - start));
        bytes += kEuroByte;
        start = i + 1;
    }
    bytes += encodeGb18030(QStringView(text).sliced(start));
    return bytes;
}

QString DecodeFileText(const QByteArray& bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.constData() + 3, bytes.size() - 3);
    if (hasNonAscii(bytes) && isValidUtf8(bytes))
        return QString::fromUtf8(bytes);
    return DecodeGbk(bytes);
}

int GbkLength(const QString& text)
{
    bool ascii = true;
    for (QChar c : text) {
        if (c.unicode() >= 0x80) {
            ascii = false;
            break;
        }
    }
    return ascii ? int(text.size()) : int(EncodeGbk(text).size());
}

QByteArray PadGbk(const QString& text, int width)
{
    QByteArray bytes = EncodeGbk(text);
    if (bytes.size() < width)
        bytes.append(width - bytes.size(), ' ');
    return bytes;
}

QString TruncateGbk(const QString& text, int maxBytes)
{
    if (maxBytes <= 0)
        return QString();
    if (GbkLength(text) <= maxBytes)
        return text;
    int used = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        const bool pair = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        const int length = charLength(QStringView(text).sliced(i, pair ? 2 : 1));
        if (used + length > maxBytes)
            break;
        used += length;
        i += pair ? 2 : 1;
    }
    return text.left(i);
}

QString ReadTextFile(const QString& path, bool* ok)
{
    QFile file(ResolvePathCaseInsensitive(path));
    const bool opened = file.open(QIODevice::ReadOnly);
    const QByteArray bytes = opened ? file.readAll() : QByteArray();
    const bool read = opened && file.error() == QFileDevice::NoError;
    if (ok)
        *ok = read;
    return read ? DecodeFileText(bytes) : QString();
}

bool WriteGbkFile(const QString& path, const QString& text)
{
    QFile file(ResolvePathCaseInsensitive(path));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QByteArray bytes = EncodeGbk(text);
    const bool written = file.write(bytes) == bytes.size() && file.flush();
    file.close();
    return written && file.error() == QFileDevice::NoError;
}

} // namespace zq

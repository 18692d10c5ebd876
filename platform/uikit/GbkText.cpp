#include "GbkText.h"
#include "ZQPDMFC.h"
#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <cstring>
#include <vector>

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

// The two GBK bytes of every BMP character that GBK writes with two bytes, made once from the
// GB18030 codec, so encoding costs a table look-up per character; 0 for the rest (ASCII, the
// euro sign, surrogates and the characters GB18030 writes with four bytes), which go the slow way.
class DoubleByteTable {
public:
    static const DoubleByteTable& instance()
    {
        static const DoubleByteTable table;
        return table;
    }
    quint16 bytesOf(char16_t c) const { return m_pairs[c]; }

private:
    DoubleByteTable() : m_pairs(0x10000, 0)
    {
        std::vector<char16_t> characters;
        characters.reserve(0x10000);
        for (char32_t c = 0x80; c < 0x10000; ++c)
            if ((c < 0xD800 || c > 0xDFFF) && c != kEuro)
                characters.push_back(char16_t(c));
        const QByteArray bytes =
            encodeGb18030(QStringView(characters.data(), qsizetype(characters.size())));
        std::vector<quint16> pairs(0x10000, 0);
        qsizetype at = 0;
        for (char16_t c : characters) {
            if (at + 1 >= bytes.size() || !isGbkLead(uchar(bytes[at])))
                return;   // not the layout expected: every character goes the slow way
            const auto second = uchar(bytes[at + 1]);
            if (isGb18030Second(second)) {
                at += 4;
                continue;
            }
            pairs[c] = quint16(uchar(bytes[at]) << 8 | second);
            at += 2;
        }
        if (at == bytes.size())
            m_pairs = std::move(pairs);
    }

    std::vector<quint16> m_pairs;
};

// The length of the character at i that has no table entry: a surrogate pair or one unit.
qsizetype slowLength(QStringView text, qsizetype i)
{
    return text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2 : 1;
}

// Writes four ASCII units as four bytes; false (nothing written) when one is not ASCII.
bool writeFourAscii(const char16_t* units, char*& write)
{
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
    quint64 four;
    std::memcpy(&four, units, sizeof four);
    if (four & 0xFF80FF80FF80FF80ULL)
        return false;
    const auto bytes = quint32((four & 0xFF) | ((four >> 8) & 0xFF00) | ((four >> 16) & 0xFF0000)
                               | ((four >> 24) & 0xFF000000));
    std::memcpy(write, &bytes, sizeof bytes);
    write += sizeof bytes;
    return true;
#else
    Q_UNUSED(units);
    Q_UNUSED(write);
    return false;
#endif
}

} // namespace

char* WriteGbk(QStringView text, char* write)
{
    const DoubleByteTable& table = DoubleByteTable::instance();
    const char16_t* units = text.utf16();
    for (qsizetype i = 0; i < text.size(); ++i) {
        // Runs of ASCII, the most of most texts, four units at a time.
        while (i + 4 <= text.size() && writeFourAscii(units + i, write))
            i += 4;
        if (i >= text.size())
            break;
        const char16_t c = units[i];
        if (c < 0x80) {
            *write++ = char(c);
        } else if (c == kEuro) {
            *write++ = kEuroByte;
        } else if (const quint16 pair = table.bytesOf(c)) {
            *write++ = char(pair >> 8);
            *write++ = char(pair & 0xFF);
        } else {
            const qsizetype length = slowLength(text, i);
            const QByteArray bytes = encodeGb18030(text.sliced(i, length));
            write = std::copy(bytes.begin(), bytes.end(), write);
            i += length - 1;
        }
    }
    return write;
}

void AppendGbk(QStringView text, QByteArray& out)
{
    const qsizetype start = out.size();
    // At most four bytes a UTF-16 unit; the surplus is cut off at the end.
    out.resize(start + 4 * text.size());
    char* end = WriteGbk(text, out.data() + start);
    out.resize(end - out.constData());
}

void AppendPaddedGbk(QStringView text, int width, QByteArray& out)
{
    const qsizetype start = out.size();
    AppendGbk(text, out);
    const qsizetype written = out.size() - start;
    if (written < width)
        out.append(width - written, ' ');
}

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
    QByteArray bytes;
    AppendGbk(text, bytes);
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
    QByteArray bytes;
    AppendPaddedGbk(text, width, bytes);
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

#include "GbkText.h"

#include <type_traits>
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

// Opening a codec looks its name up among hundreds of ICU converters, which costs far more than
// a short text's conversion: each thread keeps one encoder and one decoder, reset before each use.
QStringEncoder& gb18030Encoder()
{
    thread_local QStringEncoder encoder("GB18030");
    encoder.resetState();
    return encoder;
}

QStringDecoder& gb18030Decoder()
{
    thread_local QStringDecoder decoder("GB18030", QStringDecoder::Flag::Stateless);
    decoder.resetState();
    return decoder;
}

QByteArray encodeGb18030(QStringView text)
{
    QByteArray bytes = gb18030Encoder().encode(text);
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

// The two GBK bytes of every BMP character that GBK writes with two bytes, the four GB18030 bytes
// of the other BMP characters, and the character of every pair, made once from the GB18030 codec,
// so converting costs a table look-up per character. Characters beyond the BMP follow GB18030's
// one linear rule, checked against the codec. 0 for the rest (ASCII, the euro sign, lone
// surrogates, pairs the codec reads otherwise), which go through the codec.
class DoubleByteTable {
public:
    static const DoubleByteTable& instance()
    {
        static const DoubleByteTable table;
        return table;
    }
    quint16 bytesOf(char16_t c) const { return m_pairs[c]; }
    // The four bytes (first byte highest) of a BMP character that GB18030 writes with four, or 0.
    quint32 quadOf(char16_t c) const { return m_quads.empty() ? 0 : m_quads[c]; }
    // The four bytes of a character beyond the BMP, or 0 when the rule did not hold.
    quint32 quadOfSupplementary(char32_t c) const { return m_linearSupplementary ? supplementaryQuad(c) : 0; }
    // The character of a lead byte (0x81-0xFE) and the byte after it, or 0.
    char16_t charOf(uchar lead, uchar trail) const
    {
        return trail >= kFirstTrail && !m_chars.empty() ? m_chars[charIndex(lead, trail)] : 0;
    }

private:
    static constexpr uchar kFirstTrail = 0x40;
    static constexpr int kTrails = 0x100 - kFirstTrail;
    static size_t charIndex(uchar lead, uchar trail) { return size_t(lead - 0x81) * kTrails + (trail - kFirstTrail); }

    static quint32 supplementaryQuad(char32_t c)
    {
        quint32 index = c - 0x10000;
        const quint32 fourth = 0x30 + index % 10;
        index /= 10;
        const quint32 third = 0x81 + index % 126;
        index /= 126;
        const quint32 second = 0x30 + index % 10;
        const quint32 first = 0x90 + index / 10;
        return first << 24 | second << 16 | third << 8 | fourth;
    }

    static quint32 quadAt(const QByteArray& bytes, qsizetype at)
    {
        return quint32(uchar(bytes[at])) << 24 | quint32(uchar(bytes[at + 1])) << 16 |
               quint32(uchar(bytes[at + 2])) << 8 | quint32(uchar(bytes[at + 3]));
    }

    DoubleByteTable() : m_pairs(0x10000, 0)
    {
        makeByteTables();
        const char32_t samples[] = {0x10000, 0x1D11E, 0x20000, 0x10FFFF};
        m_linearSupplementary = std::all_of(std::begin(samples), std::end(samples), [](char32_t c) {
            const QByteArray bytes = encodeGb18030(QString::fromUcs4(&c, 1));
            return bytes.size() == 4 && quadAt(bytes, 0) == supplementaryQuad(c);
        });
    }

    void makeByteTables()
    {
        std::vector<char16_t> characters;
        characters.reserve(0x10000);
        for (char32_t c = 0x80; c < 0x10000; ++c)
            if ((c < 0xD800 || c > 0xDFFF) && c != kEuro)
                characters.push_back(char16_t(c));
        const QByteArray bytes =
            encodeGb18030(QStringView(characters.data(), qsizetype(characters.size())));
        std::vector<quint16> pairs(0x10000, 0);
        std::vector<quint32> quads(0x10000, 0);
        qsizetype at = 0;
        for (char16_t c : characters) {
            if (at + 1 >= bytes.size() || !isGbkLead(uchar(bytes[at])))
                return;   // not the layout expected: every character goes the slow way
            const auto second = uchar(bytes[at + 1]);
            if (isGb18030Second(second)) {
                if (at + 3 >= bytes.size())
                    return;
                quads[c] = quadAt(bytes, at);
                at += 4;
                continue;
            }
            pairs[c] = quint16(uchar(bytes[at]) << 8 | second);
            at += 2;
        }
        if (at != bytes.size())
            return;
        m_pairs = std::move(pairs);
        m_quads = std::move(quads);
        makeCharTable(characters);
    }

    // The reverse of the pairs, kept only where the codec reads each pair back as its character.
    void makeCharTable(const std::vector<char16_t>& characters)
    {
        std::vector<char16_t> chars(size_t(0xFE - 0x81 + 1) * kTrails, 0);
        QByteArray pairBytes;
        std::vector<char16_t> written;
        for (char16_t c : characters) {
            if (const quint16 pair = m_pairs[c]) {
                pairBytes += char(pair >> 8);
                pairBytes += char(pair & 0xFF);
                written.push_back(c);
            }
        }
        const QString read = gb18030Decoder().decode(pairBytes);
        if (read.size() != qsizetype(written.size()))
            return;   // not one character a pair: every pair goes the slow way
        for (size_t i = 0; i < written.size(); ++i) {
            const auto lead = uchar(pairBytes[qsizetype(2 * i)]);
            const auto trail = uchar(pairBytes[qsizetype(2 * i + 1)]);
            if (read[qsizetype(i)].unicode() == written[i] && trail >= kFirstTrail)
                chars[charIndex(lead, trail)] = written[i];
        }
        m_chars = std::move(chars);
    }

    std::vector<quint16> m_pairs;
    std::vector<quint32> m_quads;
    std::vector<char16_t> m_chars;
    bool m_linearSupplementary = false;
};

void writeQuad(quint32 quad, char*& write)
{
    *write++ = char(quad >> 24);
    *write++ = char(quad >> 16);
    *write++ = char(quad >> 8);
    *write++ = char(quad);
}

// The four bytes of the character at i when the tables know it (a BMP character or a whole
// surrogate pair), else 0; `units` is set to the UTF-16 units it takes.
quint32 knownQuad(const DoubleByteTable& table, QStringView text, qsizetype i, qsizetype& units)
{
    const QChar c = text[i];
    units = 1;
    if (!c.isSurrogate())
        return table.quadOf(c.unicode());
    if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
        units = 2;
        return table.quadOfSupplementary(QChar::surrogateToUcs4(c, text[i + 1]));
    }
    return 0;
}

// The GBK bytes of one character: one UTF-16 unit, or a surrogate pair. Encoded as it stands
// in the text, so a byte-order mark or a lone surrogate counts as EncodeGbk writes it.
int charLength(QStringView character)
{
    const char16_t first = character.front().unicode();
    if (character.size() == 1 && (first < 0x80 || first == kEuro))
        return 1;
    const DoubleByteTable& table = DoubleByteTable::instance();
    if (character.size() == 1 && table.bytesOf(first))
        return 2;
    qsizetype units = 0;
    if (knownQuad(table, character, 0, units) && units == character.size())
        return 4;
    return int(encodeGb18030(character).size());
}

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
        } else if (qsizetype units = 0; const quint32 quad = knownQuad(table, text, i, units)) {
            writeQuad(quad, write);
            i += units - 1;
        } else {
            const qsizetype length = slowLength(text, i);
            const QByteArray bytes = encodeGb18030(text.sliced(i, length));
            write = std::copy(bytes.begin(), bytes.end(), write);
            i += length - 1;
        }
    }
    return write;
}

char* WriteGbkFromAny(QAnyStringView text, char* write)
{
    return text.visit([write](auto view) {
        using View = std::decay_t<decltype(view)>;
        if constexpr (std::is_same_v<View, QStringView>) {
            return WriteGbk(view, write);
        } else if constexpr (std::is_same_v<View, QLatin1StringView>) {
            // ASCII is the same in GBK; each other character goes through the table.
            char* out = write;
            for (const char c : view) {
                if (static_cast<uchar>(c) < 0x80) {
                    *out++ = c;
                } else {
                    const char16_t unit = static_cast<uchar>(c);
                    out = WriteGbk(QStringView(&unit, 1), out);
                }
            }
            return out;
        } else {
            return WriteGbk(QStringView(view.toString()), write);
        }
    });
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
    // except perhaps a sequence cut off by the end of the bytes. ASCII and the pairs of the table
    // are written directly as long as every sequence before them in the piece was; from the first
    // other sequence on, the rest of the piece goes through the codec, which reads it as it would
    // have read the whole piece, since the sequences written before it were complete.
    const DoubleByteTable& table = DoubleByteTable::instance();
    // At most one UTF-16 unit a byte is written directly; the codec's pieces are appended.
    const qsizetype n = bytes.size();
    QString text(n, Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    qsizetype written = 0;
    const auto put = [&](char16_t c) { out[written++] = c; };
    const auto decodeFromStart = [&](qsizetype start, qsizetype end) {
        if (end <= start)
            return;
        const QString piece = gb18030Decoder().decode(QByteArrayView(bytes).sliced(start, end - start));
        if (written + piece.size() > text.size()) {
            text.resize(written + piece.size() + (n - end));
            out = reinterpret_cast<char16_t*>(text.data());
        }
        std::copy(piece.utf16(), piece.utf16() + piece.size(), out + written);
        written += piece.size();
    };
    qsizetype start = 0, i = 0;
    bool direct = true;
    while (i < n) {
        const auto b = uchar(bytes[i]);
        if (b == 0x80) {
            decodeFromStart(start, i);
            put(kEuro);
            start = ++i;
            direct = true;
            continue;
        }
        qsizetype length = 1;
        if (isGbkLead(b))
            length = (i + 1 < n && isGb18030Second(uchar(bytes[i + 1]))) ? 4 : 2;
        if (i + length > n) {
            decodeFromStart(start, i);
            if (written == text.size()) {
                text.resize(written + 1);
                out = reinterpret_cast<char16_t*>(text.data());
            }
            put(QChar::ReplacementCharacter);
            text.truncate(written);
            return text;
        }
        if (direct) {
            if (b < 0x80) {
                put(b);
                start = i + 1;
            } else if (const char16_t c = length == 2 ? table.charOf(b, uchar(bytes[i + 1])) : 0) {
                put(c);
                start = i + 2;
            } else {
                direct = false;
            }
        }
        i += length;
    }
    decodeFromStart(start, n);
    text.truncate(written);
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
    if (hasNonAscii(bytes) && bytes.isValidUtf8())
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

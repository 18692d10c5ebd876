// GBK at the file edges: decoding with UTF-8 detection, encoding, byte counts and files.
#include "GbkText.h"
#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zq;

namespace {
const QString kReplacement = QString(QChar(0xFFFD));
// U+20000 is not in GBK; GB18030 has a four-byte sequence for it.
const QString kRare = QString::fromUcs4(U"\U00020000");
} // namespace

TEST(GbkEncoding, RoundTripsAndByteCounts)
{
    struct Case { QString text; QByteArray bytes; int length; };
    const Case cases[] = {
        {"", "", 0},
        {"abc 123", "abc 123", 7},
        {"中", "\xd6\xd0", 2},
        {"中文a", "\xd6\xd0\xce\xc4" "a", 5},
        {"设计零部件", "\xc9\xe8\xbc\xc6\xc1\xe3\xb2\xbf\xbc\xfe", 10},
        {"€", "\x80", 1},
        {"·", "\xa1\xa4", 2},
        {kRare, "\x95\x32\x82\x36", 4},
        {"a" + kRare + "b", "a\x95\x32\x82\x36" "b", 6},
        {QString(QChar(0x00e9)), "\xa8\xa6", 2},
        {"ZQG0001-01 垫片x", "ZQG0001-01 \xb5\xe6\xc6\xac" "x", 16},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EncodeGbk(c.text), c.bytes) << c.text.toStdString();
        EXPECT_EQ(DecodeGbk(c.bytes), c.text) << c.text.toStdString();
        EXPECT_EQ(GbkLength(c.text), c.length) << c.text.toStdString();
    }
}

TEST(GbkDecoding, InvalidBytesBecomeReplacementCharacters)
{
    struct Case { QByteArray bytes; QString text; };
    const Case cases[] = {
        {"\xff", kReplacement},
        {"a\xff" "b", "a" + kReplacement + "b"},
        {"\xd6", kReplacement},                        // lead byte at the end
        {"\xd6\xd0\xd6", "中" + kReplacement},
        {"x\x80y", "x€y"},
    };
    for (const Case& c : cases) {
        const QString text = DecodeGbk(c.bytes);
        EXPECT_EQ(text, c.text) << c.bytes.toHex().toStdString();
        EXPECT_FALSE(text.isEmpty());
    }
    // 0x80 as the trail byte of a double-byte character is not a euro sign.
    EXPECT_FALSE(DecodeGbk("\xd6\x80").contains(QChar(0x20AC)));
    EXPECT_EQ(DecodeGbk("\xd6\x80").size(), 1);
    // GB18030's form of the euro sign reads as the same character, written back in code page 936's.
    EXPECT_EQ(DecodeGbk("\xa2\xe3"), QStringLiteral("€"));
    EXPECT_EQ(EncodeGbk(DecodeGbk("\xa2\xe3")), QByteArray("\x80"));
}

TEST(FileText, GbkUnlessUtf8)
{
    struct Case { const char* name; QByteArray bytes; QString text; };
    const Case cases[] = {
        {"ascii", "[Section]\r\nkey=value", "[Section]\r\nkey=value"},
        {"gbk", "\xb2\xfa\xc6\xb7\xca\xf4\xd0\xd4", "产品属性"},
        {"utf8", "\xe4\xba\xa7\xe5\x93\x81\xe5\xb1\x9e\xe6\x80\xa7", "产品属性"},
        {"utf8 with bom", "\xef\xbb\xbf\xe4\xba\xa7\xe5\x93\x81", "产品"},
        {"bom only", "\xef\xbb\xbf", ""},
        {"bom with ascii", "\xef\xbb\xbfkey=1", "key=1"},
        {"broken utf8 is read as gbk", "\xe4\xba", DecodeGbk("\xe4\xba")},
        {"empty", "", ""},
        {"invalid", "\xff\xfe\xfd", DecodeGbk("\xff\xfe\xfd")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DecodeFileText(c.bytes), c.text) << c.name;
}

TEST(GbkPadding, CountsBytesNotCharacters)
{
    struct Case { QString text; int width; QByteArray padded; };
    const Case cases[] = {
        {"ab", 5, "ab   "},
        {"零件", 6, "\xc1\xe3\xbc\xfe  "},
        {"零件", 3, "\xc1\xe3\xbc\xfe"},
        {"", 2, "  "},
        {"long text", 4, "long text"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PadGbk(c.text, c.width), c.padded) << c.text.toStdString();
}

TEST(GbkTruncation, NeverSplitsACharacter)
{
    struct Case { QString text; int maxBytes; QString cut; };
    const Case cases[] = {
        {"abcdef", 3, "abc"},
        {"abc", 10, "abc"},
        {"中文字", 4, "中文"},
        {"中文字", 5, "中文"},
        {"a中文", 2, "a"},
        {"a中文", 3, "a中"},
        {"a" + kRare, 4, "a"},
        {"a" + kRare, 5, "a" + kRare},
        {"€€", 1, "€"},
        {QString(QChar(0xFEFF)) + "ab", 2, ""},   // a byte-order mark character takes 4 bytes like any other
        {"abc", 0, ""},
        {"abc", -1, ""},
    };
    for (const Case& c : cases) {
        const QString cut = TruncateGbk(c.text, c.maxBytes);
        EXPECT_EQ(cut, c.cut) << c.text.toStdString() << " " << c.maxBytes;
        EXPECT_LE(GbkLength(cut), std::max(0, c.maxBytes));
    }
}

TEST(GbkFiles, WriteAndReadBack)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("export.txt");
    const QString text = "零件代号,名称\r\nGB-1,螺栓" + kRare + "\r\n";
    ASSERT_TRUE(WriteGbkFile(path, text));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), EncodeGbk(text));
    bool ok = false;
    EXPECT_EQ(ReadTextFile(path, &ok), text);
    EXPECT_TRUE(ok);
    // Case-insensitive lookup and Windows separators reach the same file.
    EXPECT_EQ(ReadTextFile(dir.path() + "\\EXPORT.TXT", &ok), text);
    EXPECT_TRUE(ok);
}

TEST(GbkFiles, FailuresAreReported)
{
    QTemporaryDir dir;
    bool ok = true;
    EXPECT_EQ(ReadTextFile(dir.filePath("missing.txt"), &ok), QString());
    EXPECT_FALSE(ok);
    EXPECT_FALSE(WriteGbkFile(dir.filePath("no/such/folder/x.txt"), "x"));
    EXPECT_FALSE(WriteGbkFile(dir.path(), "a folder is not a file"));
    if (QFile::exists("/dev/full")) {
        EXPECT_FALSE(WriteGbkFile("/dev/full", QString(70000, u'x'))) << "a full disk must not pass as success";
    }
}

// The table-driven encoder against the codec itself, for every character of the basic plane
// (the euro sign is GBK's single byte 0x80, unpaired surrogates are no characters).
TEST(GbkEncoding, EveryBasicPlaneCharacterAsTheCodecWritesIt)
{
    QStringEncoder codec("GB18030");
    int differing = 0;
    for (char32_t c = 1; c < 0x10000; ++c) {
        if ((c >= 0xD800 && c <= 0xDFFF) || c == 0x20AC)
            continue;
        const QString text{QChar(char16_t(c))};
        if (EncodeGbk(text) != QByteArray(codec.encode(text)) && ++differing <= 5)
            ADD_FAILURE() << "U+" << std::hex << unsigned(c);
    }
    EXPECT_EQ(differing, 0);
}

TEST(GbkEncoding, CharactersBeyondTheBasicPlaneAsTheCodecWritesThem)
{
    QStringEncoder codec("GB18030");
    int differing = 0;
    for (char32_t c = 0x10000; c <= 0x10FFFF; c += 97) {
        const QString text = QStringLiteral("a") + QString::fromUcs4(&c, 1) + QStringLiteral("中");
        if (EncodeGbk(text) != QByteArray(codec.encode(text)) && ++differing <= 5)
            ADD_FAILURE() << "U+" << std::hex << unsigned(c);
        EXPECT_EQ(GbkLength(text), 7);
    }
    EXPECT_EQ(differing, 0);
}

namespace {

// The codec over each piece between euro bytes (0x80 where a character starts), a sequence cut
// off by the end read as U+FFFD: the reading the table-driven decoder must agree with.
QString CodecDecode(const QByteArray& bytes)
{
    QStringDecoder codec("GB18030", QStringDecoder::Flag::Stateless);
    QString text;
    qsizetype start = 0, i = 0;
    const auto piece = [&](qsizetype end) { text += codec.decode(QByteArrayView(bytes).sliced(start, end - start)); };
    while (i < bytes.size()) {
        const auto b = uchar(bytes[i]);
        if (b == 0x80) {
            piece(i);
            text += QChar(0x20AC);
            start = ++i;
            continue;
        }
        qsizetype length = 1;
        if (b >= 0x81 && b <= 0xFE)
            length = i + 1 < bytes.size() && uchar(bytes[i + 1]) >= 0x30 && uchar(bytes[i + 1]) <= 0x39 ? 4 : 2;
        if (i + length > bytes.size()) {
            piece(i);
            return text + QChar(QChar::ReplacementCharacter);
        }
        i += length;
    }
    piece(i);
    return text;
}

} // namespace

TEST(GbkDecoding, EveryPairAsTheCodecReadsIt)
{
    int differing = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0; trail <= 0xFF; ++trail) {
            QByteArray bytes("a");
            bytes += char(lead);
            bytes += char(trail);
            bytes += "b\xd6\xd0";
            if (DecodeGbk(bytes) != CodecDecode(bytes) && ++differing <= 5)
                ADD_FAILURE() << std::hex << lead << ' ' << trail;
        }
    }
    EXPECT_EQ(differing, 0);
}

TEST(GbkDecoding, AnyBytesAsTheCodecReadsThem)
{
    // Short runs from the bytes that start, continue or break sequences, mixed as files mix them.
    const char alphabet[] = {'a', '\x30', '\x39', '\x40', '\x7f', '\x80', '\x81', '\x90', '\xa1', '\xd6',
                             '\xd0', '\xfe', '\xff', '\x00', '\x0a', '\x95', '\x32', '\x82', '\x36'};
    quint32 seed = 12345;
    const auto next = [&seed] { seed = seed * 1103515245u + 12345u; return seed >> 16; };
    int differing = 0;
    for (int n = 0; n < 50000; ++n) {
        QByteArray bytes;
        const int length = int(next() % 12);
        for (int k = 0; k < length; ++k)
            bytes += alphabet[next() % sizeof alphabet];
        if (DecodeGbk(bytes) != CodecDecode(bytes) && ++differing <= 5)
            ADD_FAILURE() << bytes.toHex().toStdString();
    }
    EXPECT_EQ(differing, 0);
}

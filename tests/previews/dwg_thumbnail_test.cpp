// The picture a DWG carries in its header: found by the address at 0x0D and the sentinel there,
// a BMP made whole for the image readers, PNG preferred; anything that does not add up is no
// picture, with the reason, never a read past the file.
#include "DwgThumbnail.h"

#include <QBuffer>
#include <QImage>
#include <gtest/gtest.h>

using namespace zq::preview;

namespace {

void PutU32(QByteArray& bytes, qsizetype at, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = char((value >> (8 * i)) & 0xFF);
}

QByteArray ImageBytes(const char* format)
{
    QImage image(8, 6, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// A DWG's start with a preview section holding the entries (code, data).
QByteArray Dwg(const QList<QPair<int, QByteArray>>& entries)
{
    QByteArray file("AC1018");
    file.append(QByteArray(0x40 - file.size(), '\0'));
    const qsizetype section = file.size();
    file.append("\x1F\x25\x6D\x07\xD4\x36\x28\x28\x9D\x57\xCA\x3F\x9D\x44\x10\x2B", 16);
    file.append(QByteArray(4, '\0'));
    file.append(char(entries.size()));
    const qsizetype table = file.size();
    file.append(QByteArray(9 * entries.size(), '\0'));
    for (qsizetype i = 0; i < entries.size(); ++i) {
        file[table + 9 * i] = char(entries[i].first);
        PutU32(file, table + 9 * i + 1, quint32(file.size()));
        PutU32(file, table + 9 * i + 5, quint32(entries[i].second.size()));
        file.append(entries[i].second);
    }
    file.append(QByteArray(16, '\0'));
    PutU32(file, 0x0D, quint32(section));
    return file;
}

QImage Decoded(const DwgThumbnail& thumbnail)
{
    return QImage::fromData(thumbnail.data);
}

} // namespace

TEST(DwgThumbnail, ThePictureInTheHeaderIsFound)
{
    const QByteArray bmp = ImageBytes("BMP").mid(14);   // a DIB, as the DWG keeps it
    const DwgThumbnail fromBmp = ReadDwgThumbnail(Dwg({{1, QByteArray(80, 'h')}, {2, bmp}}));
    EXPECT_EQ(fromBmp.format, DwgThumbnail::Format::Bmp);
    EXPECT_EQ(Decoded(fromBmp).size(), QSize(8, 6));
    EXPECT_EQ(fromBmp.version, QStringLiteral("AC1018"));

    const DwgThumbnail fromPng = ReadDwgThumbnail(Dwg({{2, bmp}, {6, ImageBytes("PNG")}}));
    EXPECT_EQ(fromPng.format, DwgThumbnail::Format::Png);
    EXPECT_EQ(Decoded(fromPng).pixel(0, 0), QColor(Qt::red).rgb());
}

TEST(DwgThumbnail, NoPictureIsToldWithItsReason)
{
    QByteArray pointsPastTheEnd = Dwg({{6, ImageBytes("PNG")}});
    PutU32(pointsPastTheEnd, 0x40 + 16 + 4 + 1 + 1, 0x7FFFFFF0);
    QByteArray badSentinel = Dwg({{6, ImageBytes("PNG")}});
    badSentinel[0x40] = 0;
    const struct {
        const char* name;
        QByteArray file;
    } cases[] = {
        {"no DWG", "%PDF-1.4"},
        {"too short", "AC10"},
        {"address past the end", [] { QByteArray f("AC1015" + QByteArray(20, '\0')); PutU32(f, 0x0D, 0xFFFFFF00u); return f; }()},
        {"no sentinel there", badSentinel},
        {"an entry past the end", pointsPastTheEnd},
        {"only WMF", Dwg({{3, QByteArray(64, 'w')}})},
        {"a BMP header that lies", Dwg({{2, QByteArray("\xff\xff\xff\x7f", 4) + QByteArray(60, '\0')}})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const DwgThumbnail thumbnail = ReadDwgThumbnail(c.file);
        EXPECT_EQ(thumbnail.format, DwgThumbnail::Format::None);
        EXPECT_FALSE(thumbnail.why.isEmpty());
    }
}

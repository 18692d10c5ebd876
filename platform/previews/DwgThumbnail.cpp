#include "DwgThumbnail.h"

#include <array>
#include <cstring>

namespace zq::preview {

namespace {

// Opens the preview section, whose address is at 0x0D of the file's first bytes.
constexpr std::array<unsigned char, 16> kSentinel{0x1F, 0x25, 0x6D, 0x07, 0xD4, 0x36, 0x28, 0x28,
                                                  0x9D, 0x57, 0xCA, 0x3F, 0x9D, 0x44, 0x10, 0x2B};
constexpr qsizetype kSeekerAt = 0x0D;
constexpr int kMaxEntries = 16;
constexpr qsizetype kBitmapInfoSize = 40;

bool ReadU32(QByteArrayView bytes, qsizetype at, quint32& value)
{
    if (at < 0 || at + 4 > bytes.size())
        return false;
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.data() + at);
    value = quint32(b[0]) | (quint32(b[1]) << 8) | (quint32(b[2]) << 16) | (quint32(b[3]) << 24);
    return true;
}

void PutU32(QByteArray& out, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        out.append(char((value >> (8 * i)) & 0xFF));
}

// The DWG keeps a device-independent bitmap without the file header a reader wants before it.
QByteArray BmpFile(QByteArrayView dib)
{
    quint32 headerSize = 0, colours = 0;
    if (!ReadU32(dib, 0, headerSize) || headerSize < kBitmapInfoSize || headerSize > quint32(dib.size()))
        return {};
    ReadU32(dib, 32, colours);
    const int bitCount = dib.size() > 15 ? int(uchar(dib[14])) | (int(uchar(dib[15])) << 8) : 0;
    if (colours == 0 && bitCount > 0 && bitCount <= 8)
        colours = 1u << bitCount;
    const quint64 pixels = 14 + quint64(headerSize) + quint64(colours) * 4;
    if (pixels > quint64(dib.size()) + 14)
        return {};
    QByteArray file("BM");
    PutU32(file, quint32(14 + dib.size()));
    PutU32(file, 0);
    PutU32(file, quint32(pixels));
    file.append(dib.data(), dib.size());
    return file;
}

} // namespace

DwgThumbnail ReadDwgThumbnail(QByteArrayView file)
{
    DwgThumbnail thumbnail;
    if (file.size() < 6 || !file.startsWith("AC10")) {
        thumbnail.why = QStringLiteral("不是 DWG 文件");
        return thumbnail;
    }
    thumbnail.version = QString::fromLatin1(file.first(6));
    quint32 at = 0;
    if (!ReadU32(file, kSeekerAt, at) || at == 0 || qsizetype(at) + 16 + 5 > file.size()
        || std::memcmp(file.data() + at, kSentinel.data(), kSentinel.size()) != 0) {
        thumbnail.why = QStringLiteral("文件中没有预览图");
        return thumbnail;
    }
    const qsizetype entriesAt = qsizetype(at) + 16 + 4;
    const int entries = std::min<int>(uchar(file[entriesAt]), kMaxEntries);
    // Of the pictures there, PNG is the best, then BMP; WMF cannot be shown here.
    for (int i = 0; i < entries; ++i) {
        const qsizetype entry = entriesAt + 1 + qsizetype(i) * 9;
        if (entry + 9 > file.size())
            break;
        const int code = uchar(file[entry]);
        quint32 start = 0, size = 0;
        ReadU32(file, entry + 1, start);
        ReadU32(file, entry + 5, size);
        if (size == 0 || quint64(start) + size > quint64(file.size()))
            continue;
        const QByteArrayView data = file.sliced(start, size);
        if (code == 6) {
            thumbnail.format = DwgThumbnail::Format::Png;
            thumbnail.data = data.toByteArray();
            return thumbnail;
        }
        if (code == 2 && thumbnail.format == DwgThumbnail::Format::None) {
            thumbnail.data = BmpFile(data);
            if (!thumbnail.data.isEmpty())
                thumbnail.format = DwgThumbnail::Format::Bmp;
        } else if (code == 3 && thumbnail.format == DwgThumbnail::Format::None) {
            thumbnail.format = DwgThumbnail::Format::Wmf;
        }
    }
    if (thumbnail.format == DwgThumbnail::Format::Wmf) {
        thumbnail.why = QStringLiteral("预览图是 WMF 格式, 不能显示");
        thumbnail.format = DwgThumbnail::Format::None;
    } else if (thumbnail.format == DwgThumbnail::Format::None) {
        thumbnail.why = QStringLiteral("文件中没有预览图");
    }
    return thumbnail;
}

} // namespace zq::preview

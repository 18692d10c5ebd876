#include "ExtractTestFiles.h"
#include "ZipWriter.h"

#include <QtEndian>
#include <zlib.h>

namespace zq::test {

QByteArray DxfPairs(const QList<std::pair<int, QByteArray>>& pairs)
{
    QByteArray bytes;
    for (const auto& [code, value] : pairs)
        bytes += QByteArray::number(code).rightJustified(3, ' ') + "\r\n" + value + "\r\n";
    return bytes;
}

QByteArray DxfDrawing(const QByteArray& acadVersion, const QByteArray& codePage,
                      const QList<std::pair<QByteArray, QList<std::pair<int, QByteArray>>>>& entities)
{
    QList<std::pair<int, QByteArray>> pairs;
    if (!acadVersion.isEmpty() || !codePage.isEmpty()) {
        pairs << std::pair{0, QByteArray("SECTION")} << std::pair{2, QByteArray("HEADER")};
        if (!acadVersion.isEmpty())
            pairs << std::pair{9, QByteArray("$ACADVER")} << std::pair{1, acadVersion};
        if (!codePage.isEmpty())
            pairs << std::pair{9, QByteArray("$DWGCODEPAGE")} << std::pair{3, codePage};
        pairs << std::pair{0, QByteArray("ENDSEC")};
    }
    pairs << std::pair{0, QByteArray("SECTION")} << std::pair{2, QByteArray("ENTITIES")};
    for (const auto& [type, entityPairs] : entities) {
        pairs << std::pair{0, type} << std::pair{8, QByteArray("0")};
        pairs += entityPairs;
    }
    pairs << std::pair{0, QByteArray("ENDSEC")} << std::pair{0, QByteArray("EOF")};
    return DxfPairs(pairs);
}

QByteArray MtextDrawing(const QString& value)
{
    return DxfDrawing("AC1021", {}, {{"MTEXT", {{1, value.toUtf8()}}}});
}

QByteArray Zip(const QList<std::pair<QString, QByteArray>>& entries)
{
    seed::ZipWriter zip;
    for (const auto& [name, bytes] : entries)
        zip.add(name, bytes);
    return zip.finish();
}

namespace {

void Put16(QByteArray& out, quint16 value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

void Put32(QByteArray& out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

} // namespace

QByteArray ZipClaimingSize(const QString& name, const QByteArray& content, quint32 claimedSize)
{
    // qCompress: 4 bytes of length, then a zlib stream (2 bytes of header, deflate, 4 bytes of Adler-32).
    const QByteArray zlib = qCompress(content, 9);
    const QByteArray deflated = zlib.mid(6, zlib.size() - 10);
    const QByteArray fileName = name.toUtf8();
    const auto crc = quint32(crc32(0, reinterpret_cast<const Bytef*>(content.constData()), uInt(content.size())));

    QByteArray zip;
    Put32(zip, 0x04034b50);
    Put16(zip, 20);
    Put16(zip, 0);
    Put16(zip, 8);   // deflated
    Put16(zip, 0);
    Put16(zip, 0x5c21);
    Put32(zip, crc);
    Put32(zip, quint32(deflated.size()));
    Put32(zip, claimedSize);
    Put16(zip, quint16(fileName.size()));
    Put16(zip, 0);
    zip += fileName;
    zip += deflated;

    const auto directory = quint32(zip.size());
    Put32(zip, 0x02014b50);
    Put16(zip, 20);
    Put16(zip, 20);
    Put16(zip, 0);
    Put16(zip, 8);
    Put16(zip, 0);
    Put16(zip, 0x5c21);
    Put32(zip, crc);
    Put32(zip, quint32(deflated.size()));
    Put32(zip, claimedSize);
    Put16(zip, quint16(fileName.size()));
    Put16(zip, 0);
    Put16(zip, 0);
    Put16(zip, 0);
    Put16(zip, 0);
    Put32(zip, 0);
    Put32(zip, 0);   // the local header's offset
    zip += fileName;

    const auto directorySize = quint32(zip.size()) - directory;
    Put32(zip, 0x06054b50);
    Put16(zip, 0);
    Put16(zip, 0);
    Put16(zip, 1);
    Put16(zip, 1);
    Put32(zip, directorySize);
    Put32(zip, directory);
    Put16(zip, 0);
    return zip;
}

QByteArray WordDocumentXml(const QString& paragraphsXml)
{
    return (QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
                           "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
                           "<w:body>")
            + paragraphsXml + QStringLiteral("</w:body></w:document>"))
        .toUtf8();
}

QByteArray PdfOfObjects(const QList<QByteArray>& objects, const QByteArray& trailer)
{
    QByteArray pdf = "%PDF-1.4\n";
    QList<qsizetype> offsets;
    for (qsizetype i = 0; i < objects.size(); ++i) {
        offsets.append(pdf.size());
        pdf += QByteArray::number(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const qsizetype xref = pdf.size();
    pdf += "xref\n0 " + QByteArray::number(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (qsizetype offset : offsets)
        pdf += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
    pdf += "trailer\n<< /Size " + QByteArray::number(objects.size() + 1) + " /Root 1 0 R " + trailer + " >>\nstartxref\n" +
           QByteArray::number(xref) + "\n%%EOF\n";
    return pdf;
}

QByteArray PdfOfPages(const QList<QByteArray>& contents, const QByteArray& kids, const QByteArray& count)
{
    // 1 catalog, 2 page tree, 3 font, then each page and its content stream.
    QList<QByteArray> pageRefs;
    for (qsizetype i = 0; i < contents.size(); ++i)
        pageRefs.append(QByteArray::number(4 + 2 * i) + " 0 R");
    QList<QByteArray> objects{
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [" + (kids.isEmpty() ? pageRefs.join(' ') : kids) + "] /Count " +
            (count.isEmpty() ? QByteArray::number(contents.size()) : count) + " >>",
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
    };
    for (qsizetype i = 0; i < contents.size(); ++i) {
        objects.append("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Resources << /Font << /F1 3 0 R >> >> "
                       "/Contents " + QByteArray::number(5 + 2 * i) + " 0 R >>");
        objects.append("<< /Length " + QByteArray::number(contents[i].size()) + " >>\nstream\n" + contents[i] +
                       "\nendstream");
    }
    return PdfOfObjects(objects);
}

} // namespace zq::test

#pragma once
// Files the extraction tests read, made in the test: DXF drawings from group code pairs, zips of
// XML parts (honest ones through libzip, and one whose headers lie about its sizes), hostile XML.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

namespace zq::test {

// An ASCII DXF file of these pairs (code, value as bytes), CR LF line ends.
QByteArray DxfPairs(const QList<std::pair<int, QByteArray>>& pairs);
// A DXF file whose header names the version and code page (either may be empty: left out), and
// whose ENTITIES section holds the given entities, each a list of pairs after its "0 TYPE" line.
QByteArray DxfDrawing(const QByteArray& acadVersion, const QByteArray& codePage,
                      const QList<std::pair<QByteArray, QList<std::pair<int, QByteArray>>>>& entities);
// One MTEXT entity holding `value` as written, in a drawing without a header.
QByteArray MtextDrawing(const QString& value);

// A zip of these entries (name, bytes).
QByteArray Zip(const QList<std::pair<QString, QByteArray>>& entries);
// A zip of one deflated entry whose local and central headers claim `claimedSize` bytes inflated.
QByteArray ZipClaimingSize(const QString& name, const QByteArray& content, quint32 claimedSize);

// A Word document.xml of these paragraphs (already XML: runs, tabs, breaks).
QByteArray WordDocumentXml(const QString& paragraphsXml);

// A PDF file of these objects, numbered from 1 (the first is the catalog), with its
// cross-reference table; `trailer` is added to the trailer's dictionary.
QByteArray PdfOfObjects(const QList<QByteArray>& objects, const QByteArray& trailer = {});
// A PDF of one page a content stream (PDF text operators, Helvetica as /F1), with the page tree's
// /Kids and /Count as given when they are not empty (else the pages and their number).
QByteArray PdfOfPages(const QList<QByteArray>& contents, const QByteArray& kids = {}, const QByteArray& count = {});

} // namespace zq::test

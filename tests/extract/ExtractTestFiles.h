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

} // namespace zq::test

#pragma once
// An Office Open XML or OpenDocument file: a zip of XML parts, found by name without regard to
// letter case, read within the run's limits. Every byte inflated counts against the read limit,
// however small the entries claim to be; a damaged part is reported and what it gave is kept.
#include "TextExtraction.h"
#include "ZipArchive.h"

#include <QHash>
#include <QList>
#include <QStringList>
#include <QXmlStreamAttributes>

namespace zq::extract {

class ExtractionRun;
class XmlPartReader;

class OfficePackage {
public:
    OfficePackage(FileType type, ExtractionRun& run);

    // False, the run failed with the reason, when the bytes are no zip (or the run must stop).
    bool open(QByteArrayView bytes);

    // The part's name as the package writes it ("Word/Document.xml" for "word/document.xml"), or
    // "" when there is none.
    QString find(const QString& name) const;
    // The parts named prefix + a number + suffix, in the order of their numbers (slide2 before slide10).
    QStringList numbered(const QString& prefix, const QString& suffix) const;

    // A small part whole (relationships, the workbook, styles): false when it is missing or damaged.
    bool read(const QString& name, QByteArray* bytes);
    // A part through a reader, a piece at a time, until it ends or the run must stop.
    void stream(const QString& name, XmlPartReader& reader);

    struct Relationship {
        QString id;       // "rId3"
        QString type;     // the last segment of the type: "slide", "notesSlide", "worksheet", "comments"
        QString target;   // the part it names, from the package's root ("ppt/slides/slide1.xml")
    };
    // The relationships of a part ("ppt/slides/slide1.xml" → ppt/slides/_rels/slide1.xml.rels);
    // none when there are none. Links out of the package are left out.
    QList<Relationship> relationships(const QString& part);
    // The relationship an element names a part by (its r:id), "" when it names none.
    static QString relationshipId(const QXmlStreamAttributes& attributes);

private:
    ExtractionRun& m_run;
    FileType m_type;
    ZipArchive m_zip;
    QHash<QString, qint64> m_entries;   // lower-case name → index
    QStringList m_names;                // as written, by index
};

} // namespace zq::extract

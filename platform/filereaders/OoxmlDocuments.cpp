#include "OoxmlDocuments.h"
#include "ExtractionRun.h"
#include "OfficePackage.h"
#include "XmlTextReader.h"

namespace zq::extract {

namespace {

// w:t, a:t; phonetic guides (rPh) are not the text; of the two forms of a drawing in
// mc:AlternateContent the first (mc:Choice) is read, the older one (mc:Fallback) would say it twice.
XmlTextRules OoxmlRules()
{
    return {
        {QStringLiteral("t")},
        {QStringLiteral("p"), QStringLiteral("tr")},
        {QStringLiteral("tab"), QStringLiteral("tc")},
        {QStringLiteral("br"), QStringLiteral("cr")},
        {QStringLiteral("rPh"), QStringLiteral("Fallback")},
        {},
        {},
    };
}

const XmlTextRules& WordRules()
{
    static const XmlTextRules rules = [] {
        XmlTextRules word = OoxmlRules();
        word.heldBackElements = {QStringLiteral("txbxContent")};   // text boxes
        return word;
    }();
    return rules;
}

const XmlTextRules& SlideRules()
{
    static const XmlTextRules rules = OoxmlRules();
    return rules;
}

const XmlTextRules& NotesRules()
{
    // A notes page shows the slide's number and the date as fields: not what the speaker wrote.
    static const XmlTextRules rules = [] {
        XmlTextRules notes = OoxmlRules();
        notes.skippedElements.append(QStringLiteral("fld"));
        return notes;
    }();
    return rules;
}

const XmlTextRules& SlideCommentRules()
{
    // The comments of a slide: p:text of the older ones, a:t of the threaded ones and their replies.
    static const XmlTextRules rules{
        {QStringLiteral("t"), QStringLiteral("text")},
        {QStringLiteral("p"), QStringLiteral("cm"), QStringLiteral("reply")},
        {}, {}, {}, {}, {},
    };
    return rules;
}

void Stream(OfficePackage& package, ExtractionRun& run, const QString& part, const XmlTextRules& rules)
{
    XmlTextReader reader(rules, run.text());
    package.stream(part, reader);
}

// The targets of a part's relationships of one type, in their order.
QStringList Targets(const QList<OfficePackage::Relationship>& relationships, const QString& type)
{
    QStringList targets;
    for (const OfficePackage::Relationship& r : relationships)
        if (r.type == type && !targets.contains(r.target))
            targets.append(r.target);
    return targets;
}

// The slides in the order ppt/presentation.xml lists them (p:sldIdLst), by their relationships.
QStringList SlidesInOrder(OfficePackage& package)
{
    const QString presentation = package.find(QStringLiteral("ppt/presentation.xml"));
    QByteArray bytes;
    if (presentation.isEmpty() || !package.read(presentation, &bytes))
        return {};
    QHash<QString, QString> targets;
    for (const OfficePackage::Relationship& r : package.relationships(presentation))
        if (r.type == u"slide")
            targets.insert(r.id, r.target);
    QStringList slides;
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != u"sldId")
            continue;
        if (const QString slide = targets.value(OfficePackage::relationshipId(xml.attributes())); !slide.isEmpty())
            slides.append(slide);
    }
    return slides;
}

} // namespace

bool ReadWordDocument(OfficePackage& package, ExtractionRun& run)
{
    const QString body = package.find(QStringLiteral("word/document.xml"));
    if (body.isEmpty())
        return false;
    Stream(package, run, body, WordRules());
    const QList<OfficePackage::Relationship> related = package.relationships(body);
    // By the document's relationships; by the names Word gives them when those cannot be read.
    const struct {
        const char* type;
        const char* prefix;   // of numbered parts
        const char* name;     // of a single part
    } kinds[] = {
        {"header", "word/header", nullptr},     {"footer", "word/footer", nullptr},
        {"footnotes", nullptr, "word/footnotes.xml"}, {"endnotes", nullptr, "word/endnotes.xml"},
        {"comments", nullptr, "word/comments.xml"},
    };
    for (const auto& kind : kinds) {
        QStringList parts = Targets(related, QString::fromLatin1(kind.type));
        if (related.isEmpty())
            parts = kind.prefix ? package.numbered(QString::fromLatin1(kind.prefix), QStringLiteral(".xml"))
                                : QStringList{QString::fromLatin1(kind.name)};
        for (const QString& part : parts)
            Stream(package, run, package.find(part), WordRules());
    }
    return true;
}

bool ReadPresentation(OfficePackage& package, ExtractionRun& run)
{
    QStringList slides = SlidesInOrder(package);
    if (slides.isEmpty())
        slides = package.numbered(QStringLiteral("ppt/slides/slide"), QStringLiteral(".xml"));
    if (slides.isEmpty())
        return false;
    QStringList notes, comments;
    for (const QString& slide : slides) {
        Stream(package, run, package.find(slide), SlideRules());
        const QList<OfficePackage::Relationship> related = package.relationships(slide);
        notes += Targets(related, QStringLiteral("notesSlide"));
        comments += Targets(related, QStringLiteral("comments"));
    }
    if (notes.isEmpty())
        notes = package.numbered(QStringLiteral("ppt/notesslides/notesslide"), QStringLiteral(".xml"));
    for (const QString& part : notes)
        Stream(package, run, package.find(part), NotesRules());
    for (const QString& part : comments)
        Stream(package, run, package.find(part), SlideCommentRules());
    return true;
}

} // namespace zq::extract

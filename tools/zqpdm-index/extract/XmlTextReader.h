#pragma once
// The text of one XML part of an office document, parsed as its bytes arrive (QXmlStreamReader,
// which keeps no recursion and expands no external entities). Which elements hold text and which
// separate it is a table per format.
#include <QString>
#include <QStringList>
#include <QXmlStreamReader>

namespace zq::extract {

class TextBuilder;

struct XmlTextRules {
    QStringList textElements;        // local names whose character data is text; empty: all character data
    QStringList paragraphElements;   // end with a line break
    QStringList spaceElements;       // start with a space
    QStringList lineElements;        // start with a line break
    QStringList skippedElements;     // nothing inside counts
};

class XmlTextReader {
public:
    XmlTextReader(const XmlTextRules& rules, TextBuilder& text);

    // Parses what the bytes so far allow; false once the XML is damaged.
    bool addData(QByteArrayView piece);
    // The part has ended: false when the XML is damaged or ends early.
    bool finish();
    // Where and how the XML is damaged: "line 3: Opening and ending tag mismatch."
    QString error() const;

private:
    void parse();
    void startElement(QStringView name);
    void endElement(QStringView name);

    const XmlTextRules& m_rules;
    TextBuilder& m_text;
    QXmlStreamReader m_xml;
    int m_textDepth = 0;   // open text elements
    int m_skipDepth = 0;   // open elements inside a skipped one, itself included
    bool m_damaged = false;
};

} // namespace zq::extract

#pragma once
// One XML part of an office document parsed as its bytes arrive (QXmlStreamReader, which keeps no
// recursion and expands no external entities). What the elements mean is the subclass's; this
// class feeds it the tokens and tells a damaged or unfinished part.
#include <QString>
#include <QXmlStreamReader>

namespace zq::extract {

class XmlPartReader {
public:
    virtual ~XmlPartReader() = default;

    // Parses what the bytes so far allow; false once the XML is damaged.
    bool addData(QByteArrayView piece);
    // The part has ended: false when the XML is damaged or ends early.
    bool finish();
    // Where and how the XML is damaged: "第 3 行: Opening and ending tag mismatch."
    QString error() const;
    // The part is over, however it ended: text held back for its end is written.
    virtual void partEnded() {}

protected:
    virtual void startElement(const QXmlStreamReader& xml) = 0;
    virtual void endElement(const QXmlStreamReader& xml) = 0;
    virtual void characters(const QXmlStreamReader& xml) = 0;
    // Nothing more is wanted (the text is full): parsing stops.
    virtual bool satisfied() const { return false; }

private:
    void parse();

    QXmlStreamReader m_xml;
    bool m_damaged = false;
};

} // namespace zq::extract

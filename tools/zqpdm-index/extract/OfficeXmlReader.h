#pragma once
// Office Open XML (word/document.xml, xl/sharedStrings.xml and the sheets' own strings,
// ppt/slides/slideN.xml in slide order) and OpenDocument (content.xml): a zip of XML parts. Every
// byte inflated counts against the read limit, however small the entries claim to be.
#include "TextExtraction.h"

#include <QByteArrayView>

namespace zq::extract {

class ExtractionRun;

class OfficeXmlReader {
public:
    explicit OfficeXmlReader(FileType type);   // OfficeOpenXml or OpenDocument
    void read(QByteArrayView bytes, ExtractionRun& run);

private:
    FileType m_type;
};

} // namespace zq::extract

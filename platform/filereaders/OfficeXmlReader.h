#pragma once
// Office Open XML (Word, Excel, PowerPoint) and OpenDocument files: a zip of XML parts, each kind
// read by its own reader (OoxmlDocuments.h, WorkbookReader.h, OpenDocumentText.h). A file in which
// none of them finds its document is damaged.
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

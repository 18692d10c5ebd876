#include "OfficeXmlReader.h"
#include "ExtractionRun.h"
#include "OfficePackage.h"
#include "OoxmlDocuments.h"
#include "OpenDocumentText.h"
#include "WorkbookReader.h"

namespace zq::extract {

OfficeXmlReader::OfficeXmlReader(FileType type) : m_type(type) {}

void OfficeXmlReader::read(QByteArrayView bytes, ExtractionRun& run)
{
    OfficePackage package(m_type, run);
    if (!package.open(bytes))
        return;
    if (m_type == FileType::OpenDocument) {
        if (!ReadOpenDocument(package, run) && !run.failed() && !run.mustStop())
            run.fail(DamagedMessage(m_type, QStringLiteral("找不到 content.xml")));
        return;
    }
    // Whichever of the three the package holds (one, unless it was put together by hand).
    const bool word = ReadWordDocument(package, run);
    const bool workbook = ReadWorkbook(package, run);
    const bool presentation = ReadPresentation(package, run);
    if (!word && !workbook && !presentation && !run.failed() && !run.mustStop())
        run.fail(DamagedMessage(m_type, QStringLiteral("找不到正文 (word/document.xml、xl/workbook.xml、"
                                                       "xl/worksheets/、ppt/slides/)")));
}

} // namespace zq::extract

#pragma once
// OpenDocument text, spreadsheets, presentations and drawings: the body of content.xml, where
// footnotes, endnotes, comments and speaker notes are held back to the end of the body (so that
// they split no sentence), a spreadsheet's tables by their names, its dates and times written
// yyyy-MM-dd and HH:mm:ss beside what the cells show; then the page headers and footers of
// styles.xml. False when there is no content.xml.
namespace zq::extract {

class ExtractionRun;
class OfficePackage;

bool ReadOpenDocument(OfficePackage& package, ExtractionRun& run);

} // namespace zq::extract

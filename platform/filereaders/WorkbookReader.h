#pragma once
// Excel workbooks (Office Open XML): each sheet in the workbook's order, its name first, then its
// cells row by row as the sheet shows them (SheetXmlReader), then the comments on its cells.
// False when the package holds no workbook.
namespace zq::extract {

class ExtractionRun;
class OfficePackage;

bool ReadWorkbook(OfficePackage& package, ExtractionRun& run);

} // namespace zq::extract

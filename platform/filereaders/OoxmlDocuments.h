#pragma once
// Word documents and PowerPoint presentations (Office Open XML), body first, then what stands
// beside it in reading order:
// - Word: the body (text boxes after it), then the headers, footers, footnotes, endnotes and comments;
// - PowerPoint: the slides in the presentation's order, then their speaker notes and then the
//   comments on them in the same order.
// Each answers false when the package holds no such document.
namespace zq::extract {

class ExtractionRun;
class OfficePackage;

bool ReadWordDocument(OfficePackage& package, ExtractionRun& run);
bool ReadPresentation(OfficePackage& package, ExtractionRun& run);

} // namespace zq::extract

#pragma once
// The line ends of a PDF page's text, mended for search. A PDF holds no words, only lines of
// glyphs, so a word hyphenated at a line end and a Chinese phrase broken by the line's width are
// two pieces in the text a reader gets:
// - a hyphen at a line end between two lower-case Latin letters is a word broken in two:
//   "post-⏎season" becomes "postseason";
// - a hyphen at a line end between other letters or digits belongs to what it joins: "ZQ8600-⏎01"
//   becomes "ZQ8600-01" (a code found whole);
// - a line end between two CJK characters is no gap at all: "部分用户⏎代码" becomes "部分用户代码".
// Every other line end stays. PDFium marks a hyphen it took for a line-end one as U+FFFE and
// leaves out the line end; that mark is read as a hyphen at a line end.
#include <QString>
#include <QStringView>

namespace zq::extract {

QString JoinPdfLineEnds(QStringView pageText);

} // namespace zq::extract

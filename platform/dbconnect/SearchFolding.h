#pragma once
// The one rule by which searches ignore letter case and character width, on every engine and in
// every search that compares text of its own: the pages' LIKE on SQLite, the content index and the
// words typed to search it.
//
// Each function maps one code point to one code point, and never moves a character between the
// Basic Multilingual Plane and the planes above it: a position found in the folded text, in code
// points or in UTF-16 units, is the same position in the original text.
#include <QString>
#include <QStringView>

namespace zq {

// Unicode simple case folding (CaseFolding.txt, statuses C and S): "Φ" → "φ", "Ä" → "ä",
// "Я" → "я", "Ｇ" → "ｇ", final "ς" → "σ". Letters without a simple folding ("İ") stay.
char32_t FoldCase(char32_t c);
QString FoldCase(QStringView text);

// Width folding, then FoldCase: the full-width forms of ASCII (U+FF01 … U+FF5E), the ideographic
// space and the full-width signs U+FF5F … U+FF60, U+FFE0 … U+FFE6 become their ordinary forms
// ("ＣＨ３２" → "ch32", "（" → "("). Nothing else changes: "㎜", "①" and "½" stay as they are.
char32_t FoldForSearch(char32_t c);
QString FoldForSearch(QStringView text);

} // namespace zq

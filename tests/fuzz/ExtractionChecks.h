#pragma once
// What every extraction keeps, whatever the file, shared by the targets of the four readers.
#include "FuzzSupport.h"
#include "TextExtraction.h"

namespace zqfuzz {

// ok exactly when there is no error, no text when not ok, at most maxTextChars of text, a note
// for every cut, and the text folded: no whitespace at either end, none twice in a row, only a
// space or a newline between words, no control character, no half of a UTF-16 pair; with a time
// limit of 0, no text at all.
void CheckExtraction(const zq::extract::Extraction& e, const zq::extract::ExtractLimits& limits, const char* reader);

// Limits the input picks (from its last bytes): small text and read limits that cut, now and
// then a time limit of 0; a time limit no input meets otherwise, so that runs repeat.
zq::extract::ExtractLimits PickLimits(FuzzedDataProvider& input, qsizetype fileSize);

// The text without its whitespace and control characters, half pairs as U+FFFD: what must
// arrive of a file's characters, whatever the folding.
QString Visible(const QString& text);

} // namespace zqfuzz

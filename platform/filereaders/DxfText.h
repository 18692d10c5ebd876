#pragma once
// The text of a DXF TEXT or MTEXT value as a reader of the drawing sees it.
#include <QString>
#include <QStringView>

namespace zq::extract {

// TEXT (and ATTRIB) values: \U+XXXX and \M+NXXXX escapes of characters outside the drawing's code
// page, %%c %%d %%p %%nnn special characters, %%u %%o %%k toggles removed, ^I and the other
// caret-written control characters. Any other backslash is text.
QString DecodeDxfText(QStringView value);

// MTEXT values (code 3 pieces and the final code 1, joined): the same, and the format codes
// removed: \P and \N (new paragraph, new column) and \X become a line break, \~ a space; \f \F \H
// \W \Q \T \A \C \c \p up to their ';', \L \l \O \o \K \k, braces; \S stacks "a^b;", "a/b;",
// "a#b;" are written "a/b"; \\ \{ \} are the characters themselves.
QString StripMtextCodes(QStringView value);

} // namespace zq::extract

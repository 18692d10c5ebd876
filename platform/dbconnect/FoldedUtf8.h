#pragma once
// UTF-8 text as SQLite hands it to functions, read character by character as SQLite's own LIKE
// reads it, and folded into code points.
#include "SearchFolding.h"

#include <string>

namespace zq::db {

using CharFold = char32_t (*)(char32_t);

// The folds of SearchFolding.h, one character at a time.
inline char32_t FoldCaseOf(char32_t c)
{
    return FoldCase(c);
}
inline char32_t FoldForSearchOf(char32_t c)
{
    return FoldForSearch(c);
}

// The character at p, p moved past it; p must be before `end` (a NUL-terminated text may give
// none). A lead byte takes every continuation byte after it; what decodes to no character (an
// overlong form, a surrogate, U+FFFE, U+FFFF) reads as U+FFFD, a stray continuation byte as itself.
inline char32_t ReadUtf8(const unsigned char*& p, const unsigned char* end = nullptr)
{
    char32_t c = *p++;
    if (c < 0xC0)
        return c;
    static constexpr unsigned char kLeadBits[64] = {
        0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0a, 0x0b, 0x0c, 0x0d, 0x0e, 0x0f,
        0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0x1a, 0x1b, 0x1c, 0x1d, 0x1e, 0x1f,
        0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0a, 0x0b, 0x0c, 0x0d, 0x0e, 0x0f,
        0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x00, 0x01, 0x02, 0x03, 0x00, 0x01, 0x00, 0x00,
    };
    c = kLeadBits[c - 0xC0];
    while ((!end || p < end) && (*p & 0xC0) == 0x80)
        c = (c << 6) + (0x3F & *p++);
    if (c < 0x80 || (c & 0xFFFFF800) == 0xD800 || (c & 0xFFFFFFFE) == 0xFFFE)
        c = 0xFFFD;
    return c;
}

// The characters of a text of `bytes` bytes, up to a NUL if it holds one (where SQLite's own LIKE
// stops reading), each folded, into `out`. Every fold of ours folds ASCII to lower case, which is
// done here without a call.
inline void FoldUtf8(const unsigned char* text, size_t bytes, CharFold fold, std::u32string& out)
{
    out.resize(bytes);   // at most one character a byte
    char32_t* folded = out.data();
    const unsigned char* end = text + bytes;
    for (const unsigned char* p = text; p < end;) {
        const unsigned char c = *p;
        if (c == 0)
            break;
        if (c < 0x80) {
            *folded++ = char32_t(unsigned(c - 'A') < 26u ? c + 32 : c);
            ++p;
        } else {
            *folded++ = fold(ReadUtf8(p, end));
        }
    }
    out.resize(size_t(folded - out.data()));
}

inline void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out.push_back(char(c));
    } else if (c < 0x800) {
        out.push_back(char(0xC0 | (c >> 6)));
        out.push_back(char(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(char(0xE0 | (c >> 12)));
        out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(char(0x80 | (c & 0x3F)));
    } else {
        out.push_back(char(0xF0 | (c >> 18)));
        out.push_back(char(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(char(0x80 | (c & 0x3F)));
    }
}

// Folds the characters from p on, as UTF-8 appended to `out`, until `bytes` bytes are read or the
// text ends (at `end` or at a NUL); returns where it stopped, at a character's start. A character
// of the CJK ideographs U+4000 … U+9FFF, most of a Chinese text, has no other case or width: its
// bytes are copied as they are.
inline const unsigned char* FoldUtf8Bytes(const unsigned char* p, const unsigned char* end, size_t bytes,
                                          CharFold fold, std::string& out)
{
    const unsigned char* stop = size_t(end - p) > bytes ? p + bytes : end;
    while (p < stop && *p) {
        const unsigned char c = *p;
        if (c < 0x80) {
            out.push_back(char(unsigned(c - 'A') < 26u ? c + 32 : c));
            ++p;
        } else if (c >= 0xE4 && c <= 0xE9 && end - p >= 3 && (p[1] & 0xC0) == 0x80 && (p[2] & 0xC0) == 0x80
                   && (end - p == 3 || (p[3] & 0xC0) != 0x80)) {
            out.append(reinterpret_cast<const char*>(p), 3);
            p += 3;
        } else {
            AppendUtf8(out, fold(ReadUtf8(p, end)));
        }
    }
    return p;
}

} // namespace zq::db

#pragma once
// A LIKE pattern read as SQLite reads it, matched against folded text: '%' any run of characters,
// '_' any one character, the escape character making the character after it literal (an escape at
// the very end matches nothing); an escape character of '%' or '_' is that and no wildcard. Letters
// are compared folded: the pattern's literal characters and the text are folded by the same rule.
#include "FoldedUtf8.h"

#include <string>
#include <vector>

namespace zq::db {

class LikePattern {
public:
    // `pattern` NUL-terminated UTF-8; escape 0 when there is none.
    LikePattern(const unsigned char* pattern, char32_t escape, CharFold fold);

    // True when the folded text (each character through the same fold) matches.
    bool matches(std::u32string_view folded) const;
    char32_t escape() const { return m_escape; }

private:
    // A run of the pattern between two '%': literal characters, and '_' where `any` says so.
    struct Segment {
        std::u32string chars;
        std::vector<bool> any;   // by character: a '_'
        bool hasAny = false;
        size_t size() const { return chars.size(); }
        bool matchesAt(std::u32string_view text, size_t at) const;
        // The leftmost place in text[from, end) where the whole run matches; npos when none.
        size_t find(std::u32string_view text, size_t from, size_t end) const;
    };

    std::vector<Segment> m_segments;   // one more than the '%' runs between them
    bool m_hasPercent = false;
    bool m_matchesNothing = false;
    char32_t m_escape;
};

} // namespace zq::db

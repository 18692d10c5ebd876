#include "LikePattern.h"

namespace zq::db {

LikePattern::LikePattern(const unsigned char* pattern, char32_t escape, CharFold fold) : m_escape(escape)
{
    const char32_t matchAll = escape == U'%' ? 0 : U'%';
    const char32_t matchOne = escape == U'_' ? 0 : U'_';
    m_segments.emplace_back();
    auto add = [this](char32_t c, bool any) {
        Segment& segment = m_segments.back();
        segment.chars.push_back(any ? U'_' : c);
        segment.any.push_back(any);
        segment.hasAny = segment.hasAny || any;
    };
    const unsigned char* p = pattern;
    while (*p) {
        const char32_t c = ReadUtf8(p);
        if (c == matchAll) {
            m_hasPercent = true;
            m_segments.emplace_back();
        } else if (escape != 0 && c == escape) {
            if (!*p) {
                m_matchesNothing = true;
                return;
            }
            add(fold(ReadUtf8(p)), false);
        } else {
            add(c == matchOne ? c : fold(c), c == matchOne);
        }
    }
}

bool LikePattern::Segment::matchesAt(std::u32string_view text, size_t at) const
{
    if (!hasAny)
        return text.compare(at, chars.size(), chars) == 0;
    for (size_t i = 0; i < chars.size(); ++i)
        if (!any[i] && text[at + i] != chars[i])
            return false;
    return true;
}

size_t LikePattern::Segment::find(std::u32string_view text, size_t from, size_t end) const
{
    if (from > end || end - from < size())
        return std::u32string_view::npos;
    if (!hasAny) {
        const size_t at = text.substr(from, end - from).find(chars);
        return at == std::u32string_view::npos ? at : from + at;
    }
    for (size_t at = from; at + size() <= end; ++at)
        if (matchesAt(text, at))
            return at;
    return std::u32string_view::npos;
}

bool LikePattern::matches(std::u32string_view text) const
{
    if (m_matchesNothing)
        return false;
    const Segment& first = m_segments.front();
    if (!m_hasPercent)
        return text.size() == first.size() && first.matchesAt(text, 0);
    const Segment& last = m_segments.back();
    if (first.size() + last.size() > text.size())
        return false;
    const size_t end = text.size() - last.size();
    if (!first.matchesAt(text, 0) || !last.matchesAt(text, end))
        return false;
    // Each run in between where it first fits: a later place would leave less room for the rest.
    size_t at = first.size();
    for (size_t i = 1; i + 1 < m_segments.size(); ++i) {
        const size_t found = m_segments[i].find(text, at, end);
        if (found == std::u32string_view::npos)
            return false;
        at = found + m_segments[i].size();
    }
    return true;
}

} // namespace zq::db

#pragma once
// How well a hit matches the typed text, best first. A hit's tier is shown in the result column
// 匹配, and the hits of a search are listed tier by tier, the newest first within a tier.
#include <QString>

namespace zq::quick {

enum class MatchTier {
    CodeSame,       // 编号相同: the code as typed, case and width aside, a separator for a separator
    CodeNear,       // 编号近似: the code once the separators are left out of both
    CodeStart,      // 编号开头
    CodeContains,   // 编号包含
    Name,           // 名称
    Other,          // 其他: a file name, a description, a remark
    Content,        // 内容: the text inside a stored file
};

QString TierName(MatchTier tier);

// Found by a line of a pasted list: the code itself, not a code that merely begins with it.
inline bool IsCodeFound(MatchTier tier)
{
    return tier == MatchTier::CodeSame || tier == MatchTier::CodeNear;
}

} // namespace zq::quick

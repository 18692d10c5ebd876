#pragma once
// The name pattern of the "数据视图项" page, matched byte by byte against a tree item's text in
// GBK (GB18030 for the characters GBK lacks): "*" and "?" are wildcards, letters compare
// without case, double-byte characters as they are. A pure function, kept free of widgets.
#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

namespace zq::document {

// Over encoded texts:
//  - without a "*" the pattern must have as many bytes as the text;
//  - ASCII letters are upper-cased, the two bytes of a double-byte character are left alone;
//  - the pattern is cut into "*", "?" and runs of other bytes, applied in order to what is left
//    of the text: "?" drops one byte (no byte left: no match) and then counts as the token before
//    it; a run must begin what is left, or, after "*", occur in it (what follows its first
//    occurrence is left); text left over at the end does not prevent a match.
bool MatchViewPattern(const QByteArray& pattern, const QByteArray& text);

// The same, with the pattern cut into its tokens once for matching many texts.
class ViewPattern {
public:
    explicit ViewPattern(const QByteArray& pattern);
    ViewPattern(const ViewPattern&) = delete;   // the tokens point into the pattern
    ViewPattern& operator=(const ViewPattern&) = delete;
    bool Matches(QByteArrayView text) const;

private:
    enum class Kind { Star, Question, Literal };
    struct Token {
        Kind kind;
        QByteArrayView bytes;   // into m_upper
    };
    QByteArray m_upper;
    bool m_hasStar = false;
    QList<Token> m_tokens;
    mutable QByteArray m_text;   // the upper-cased text of the current match
};

// The same on texts, each encoded as GBK with GB18030 for the rest.
bool MatchViewPattern(const QString& pattern, const QString& text);

} // namespace zq::document

// The tree-item pattern matcher of the "数据视图项" page, pattern and text taken from the input:
// it agrees with a plain matcher written here from the page's rules, on the bytes and on texts
// (encoded as the page encodes them), and reads nothing outside its inputs (AddressSanitizer;
// both are handed over in buffers of exactly their size).
#include "FuzzSupport.h"
#include "GbkText.h"
#include "ViewPattern.h"

#include <memory>
#include <string>

using zqfuzz::Check;

namespace {

bool IsDoubleByteLead(unsigned char byte)
{
    return byte >= 0x81 && byte <= 0xFE;
}

// Letters upper-cased; the two bytes of a double-byte character are one unit and stay as they are.
std::string Upper(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (IsDoubleByteLead(byte) && i + 1 < text.size()) {
            out += text[i];
            out += text[++i];
        } else {
            out += (byte >= 'a' && byte <= 'z') ? char(byte - 'a' + 'A') : text[i];
        }
    }
    return out;
}

// The rules, step by step: the length test without "*", upper case, then the tokens in order
// against what is left of the text.
bool ReferenceMatch(const std::string& rawPattern, const std::string& rawText)
{
    if (rawPattern.find('*') == std::string::npos && rawPattern.size() != rawText.size())
        return false;
    const std::string pattern = Upper(rawPattern);
    const std::string text = Upper(rawText);
    size_t left = 0;   // the remaining text starts here
    enum class Before { Nothing, Star, Question, Literal } before = Before::Nothing;
    for (size_t i = 0; i < pattern.size();) {
        if (pattern[i] == '*') {
            before = Before::Star;
            ++i;
        } else if (pattern[i] == '?') {
            if (left == text.size())
                return false;
            ++left;
            if (before == Before::Nothing)   // later, "?" counts as the token before it
                before = Before::Question;
            ++i;
        } else {
            size_t end = i;
            while (end < pattern.size() && pattern[end] != '*' && pattern[end] != '?')
                ++end;
            const std::string literal = pattern.substr(i, end - i);
            if (before == Before::Star) {
                const size_t at = text.find(literal, left);
                if (at == std::string::npos)
                    return false;
                left = at + literal.size();
            } else {
                if (text.compare(left, literal.size(), literal) != 0)
                    return false;
                left += literal.size();
            }
            before = Before::Literal;
            i = end;
        }
    }
    return true;
}

// A heap copy of exactly the bytes, wrapped without a copy: a read past the end is caught.
struct ExactBytes {
    explicit ExactBytes(const std::string& bytes)
        : data(std::make_unique<char[]>(bytes.size() + 1)), size(qsizetype(bytes.size()))
    {
        bytes.copy(data.get() + 1, bytes.size());
    }
    // The bytes sit at the end of the block, so that nothing of it follows them.
    QByteArray view() const { return QByteArray::fromRawData(data.get() + 1, size); }
    std::unique_ptr<char[]> data;
    qsizetype size;
};

QString Show(const std::string& bytes)
{
    return QString::fromLatin1(QByteArray::fromStdString(bytes).toHex(' '));
}

void CheckBytes(const std::string& pattern, const std::string& text)
{
    const ExactBytes p(pattern), t(text);
    const bool matched = zq::document::MatchViewPattern(p.view(), t.view());
    Check(matched == ReferenceMatch(pattern, text), "the matcher follows the rules",
          QStringLiteral("pattern [%1] text [%2] matcher %3").arg(Show(pattern), Show(text)).arg(matched));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    switch (input.ConsumeIntegralInRange(0, 2)) {
    case 0: {
        // Any bytes.
        const std::string pattern = input.ConsumeRandomLengthString(64);
        CheckBytes(pattern, input.ConsumeRemainingBytesAsString());
        break;
    }
    case 1: {
        // Texts as the page has them: encoded as GBK, GB18030 for the rest.
        const QString pattern = zqfuzz::HostileText(input, false);
        const QString text = zqfuzz::HostileText(input, false);
        const bool matched = zq::document::MatchViewPattern(pattern, text);
        Check(matched == ReferenceMatch(zq::EncodeGbk(pattern).toStdString(), zq::EncodeGbk(text).toStdString()),
              "the matcher follows the rules on texts", pattern + QStringLiteral(" | ") + text);
        break;
    }
    default: {
        // A text made from the pattern, so that long literals and "?" runs meet their text.
        const std::string pattern = input.ConsumeRandomLengthString(64);
        std::string text;
        for (char c : pattern) {
            if (c == '*')
                text += input.ConsumeRandomLengthString(8);
            else if (c == '?')
                text += char(input.ConsumeIntegral<uint8_t>());
            else
                text += input.ConsumeBool() ? c : char(c ^ 0x20);   // the other letter case, often
        }
        CheckBytes(pattern, text);
        break;
    }
    }
    return 0;
}

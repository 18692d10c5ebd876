// The saved-pattern file "search.ini" of the "数据视图项" page on any file: reading never fails and
// gives exactly the lines of its blocks (a header "[查询名称]" in any letter case, up to the end
// line "[名称结束]" or the end of the file); a list of patterns remembered and written reads back
// as it was written, and remembering keeps at most ten patterns, none twice.
#include "FuzzSupport.h"
#include "GbkText.h"
#include "SavedPatterns.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringList>
#include <algorithm>

using zqfuzz::Check;

namespace {

const QString kHeader = QStringLiteral("[查询名称]");
const QString kEnd = QStringLiteral("[名称结束]");

QString UpperAscii(QString text)
{
    for (QChar& c : text)
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - 32);
    return text;
}

// The reading rules over the decoded text.
QStringList ReferencePatterns(const QString& text)
{
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    QStringList lines = text.split(lineEnd);
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();   // the line end of the last line starts no line
    QStringList patterns;
    bool inBlock = false;
    for (const QString& line : lines) {
        if (!inBlock)
            inBlock = UpperAscii(line) == UpperAscii(kHeader);
        else if (line == kEnd)
            inBlock = false;
        else
            patterns << line;
    }
    return patterns;
}

bool IsValidUtf8WithNonAscii(const QByteArray& bytes)
{
    if (std::all_of(bytes.begin(), bytes.end(), [](char b) { return uchar(b) < 0x80; }))
        return false;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    (void)decoder.decode(bytes);
    return !decoder.hasError();
}

// A pattern the file can hold as it is: one line, not the end line, the same after GBK.
bool Storable(const QString& pattern)
{
    return !pattern.contains(u'\r') && !pattern.contains(u'\n') && pattern != kEnd &&
           zq::DecodeGbk(zq::EncodeGbk(pattern)) == pattern;
}

QString Joined(const QStringList& list)
{
    return list.join(QStringLiteral(" | "));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static zqfuzz::MemoryFile file;
    FuzzedDataProvider input(data, size);
    if (input.ConsumeBool()) {
        // Any bytes.
        const QByteArray bytes = QByteArray::fromStdString(input.ConsumeRemainingBytesAsString());
        file.write(bytes);
        const QStringList patterns = zq::document::ReadSavedPatterns(file.path());
        Check(patterns == ReferencePatterns(zq::DecodeFileText(bytes)), "the patterns are the lines of the blocks",
              Joined(patterns));
        return 0;
    }
    // Patterns remembered one search after another, then the list written as the page writes it.
    QStringList list;
    const int searches = input.ConsumeIntegralInRange(1, 16);
    const bool longPatterns = input.ConsumeIntegralInRange(0, 7) == 0;
    for (int i = 0; i < searches; ++i) {
        QString pattern;
        if (!list.isEmpty() && input.ConsumeIntegralInRange(0, 3) == 0) {
            // A pattern used before, perhaps in another letter case.
            pattern = list.at(input.ConsumeIntegralInRange<int>(0, int(list.size()) - 1));
            if (input.ConsumeBool())
                pattern = pattern.toLower();
        } else {
            pattern = zqfuzz::HostileLine(input, longPatterns);
        }
        const QStringList before = list;
        const bool known = std::any_of(before.begin(), before.end(),
                                       [&](const QString& p) {
                                           return p.size() == pattern.size() && UpperAscii(p) == UpperAscii(pattern);
                                       });
        const bool changed = zq::document::RememberPattern(list, pattern);
        Check(changed == !known, "a pattern is added exactly when the list lacks it", pattern);
        Check(list.size() <= zq::document::kRecentPatternCount, "at most ten patterns are kept", Joined(list));
        if (changed)
            Check(list.first() == pattern && list.mid(1) == before.mid(0, zq::document::kRecentPatternCount - 1),
                  "a new pattern goes on top and only the last one drops out", Joined(list));
        else
            Check(list == before, "a known pattern changes nothing", Joined(list));
    }
    // The list as the last search wrote it.
    Check(zq::document::WriteSavedPatterns(file.path(), list), "the file is written");
    QFile written(file.path());
    Check(written.open(QIODevice::ReadOnly), "the file written is read");
    const QByteArray bytes = written.readAll();
    const QStringList back = zq::document::ReadSavedPatterns(file.path());
    Check(back == ReferencePatterns(zq::DecodeFileText(bytes)), "the patterns are the lines of the blocks", Joined(back));
    // GBK bytes that are also valid UTF-8 are read as UTF-8, by rule.
    if (std::all_of(list.begin(), list.end(), Storable) && !IsValidUtf8WithNonAscii(bytes))
        Check(back == list, "the list reads back as it was written", Joined(list) + QStringLiteral(" / ") + Joined(back));
    return 0;
}

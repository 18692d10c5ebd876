// The page list on any file: reading never fails, every line comes back without its line end,
// and a page list written as the system writes its files (GBK or UTF-8, CR LF or LF) reads back
// line for line. A line names a page only when it is a known caption, whole.
#include "FuzzSupport.h"
#include "GbkText.h"
#include "PageList.h"
#include "ZQPDMFC.h"

#include <QStringDecoder>
#include <QStringList>

using zqfuzz::Check;

namespace {

bool IsValidUtf8WithNonAscii(const QByteArray& bytes)
{
    bool nonAscii = false;
    for (char b : bytes)
        nonAscii = nonAscii || uchar(b) >= 0x80;
    if (!nonAscii)
        return false;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    (void)decoder.decode(bytes);
    return !decoder.hasError();
}

void CheckLines(const QStringList& lines, const QString& text)
{
    for (const QString& line : lines) {
        Check(!line.contains(u'\n'), "a line holds no line feed", line);
        if (const zq::KnownPage* page = zq::FindKnownPage(line))
            Check(zq::EqualsNoCase(line, QString::fromUtf8(page->caption)), "a page is named by its whole caption", line);
    }
    const qsizetype breaks = text.count(u'\n');
    const qsizetype expected = text.isEmpty() ? 0 : breaks + (text.endsWith(u'\n') ? 0 : 1);
    Check(lines.size() == expected, "one entry per line", QString::number(lines.size()));
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
        const std::optional<QStringList> lines = zq::ReadPageList(file.path());
        Check(lines.has_value(), "a readable file is read");
        CheckLines(*lines, zq::DecodeFileText(bytes));
        return 0;
    }
    // A page list as an editor would write it: captions and other lines, GBK or UTF-8.
    QStringList written;
    const bool longLines = input.ConsumeIntegralInRange(0, 7) == 0;   // up to 10,000 characters
    const int count = input.ConsumeIntegralInRange(0, 20);
    for (int i = 0; i < count; ++i) {
        if (input.ConsumeBool()) {
            const auto& pages = zq::KnownPages();
            written << QString::fromUtf8(pages.at(input.ConsumeIntegralInRange<size_t>(0, pages.size() - 1)).caption);
        } else {
            written << zqfuzz::HostileLine(input, longLines);
        }
    }
    const bool utf8 = input.ConsumeBool();
    const bool crlf = input.ConsumeBool();
    const QString text = written.join(crlf ? QStringLiteral("\r\n") : QStringLiteral("\n")) +
                         (written.isEmpty() ? QString() : crlf ? QStringLiteral("\r\n") : QStringLiteral("\n"));
    const QByteArray bytes = utf8 ? QByteArray("\xEF\xBB\xBF") + text.toUtf8() : zq::EncodeGbk(text);
    file.write(bytes);
    const std::optional<QStringList> lines = zq::ReadPageList(file.path());
    Check(lines.has_value(), "a readable file is read");
    CheckLines(*lines, zq::DecodeFileText(bytes));
    // Lines with a stray CR or a broken surrogate do not survive any text file; GBK bytes that are
    // also valid UTF-8 are read as UTF-8, by rule.
    bool plain = true;
    for (const QString& line : written)
        plain = plain && !line.contains(u'\r') && zq::DecodeGbk(zq::EncodeGbk(line)) == line &&
                QString::fromUtf8(line.toUtf8()) == line;
    if (plain && (utf8 || !IsValidUtf8WithNonAscii(bytes)))
        Check(*lines == written, "a page list reads back line for line", written.join(QStringLiteral(" | ")));
    return 0;
}

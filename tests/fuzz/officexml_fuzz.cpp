// Office Open XML and OpenDocument files: a file's bytes as they are (an input that starts as a zip
// does); zips of parts whose XML the fuzzer writes, every part the readers look for among them
// (relationships, headers, notes, comments, the workbook and its styles); Word files of hostile
// paragraphs, whose every character must arrive in order; and number formats of a workbook with
// the numbers they show.
#include "DemoFileFormats.h"
#include "ExtractionChecks.h"
#include "SpreadsheetValues.h"
#include "ZipWriter.h"

#include <QRegularExpression>

#include <cmath>

using namespace zq::extract;
using zqfuzz::Check;

namespace {

const char* const kPartNames[] = {
    "word/document.xml", "word/_rels/document.xml.rels", "word/header1.xml", "word/footer2.xml",
    "word/footnotes.xml", "word/endnotes.xml", "word/comments.xml",
    "xl/workbook.xml", "xl/_rels/workbook.xml.rels", "xl/styles.xml", "xl/sharedStrings.xml",
    "xl/worksheets/sheet1.xml", "xl/worksheets/sheet10.xml", "xl/worksheets/_rels/sheet1.xml.rels", "xl/comments1.xml",
    "ppt/presentation.xml", "ppt/_rels/presentation.xml.rels", "ppt/slides/slide1.xml", "ppt/slides/slide2.xml",
    "ppt/slides/_rels/slide1.xml.rels", "ppt/notesSlides/notesSlide1.xml", "ppt/comments/comment1.xml",
    "content.xml", "styles.xml", "mimetype", "[Content_Types].xml",
};

// A number is shown as a number, a date, a time or a duration, never as anything else; and as
// General it keeps the value to its tenth significant digit.
void CheckNumberFormats(FuzzedDataProvider& input)
{
    static const QRegularExpression kShown(QStringLiteral(
        "^(-?[0-9,]*[0-9](\\.[0-9]+)?%?|-?[0-9](\\.[0-9]+)?E[-+][0-9]+|[0-9]{4}-[0-9]{2}-[0-9]{2}"
        "( [0-9]{2}:[0-9]{2}:[0-9]{2})?|[0-9]{2,}:[0-9]{2}:[0-9]{2}|-?inf|nan)$"));
    const int count = input.ConsumeIntegralInRange(1, 8);
    for (int i = 0; i < count && input.remaining_bytes() > 0; ++i) {
        const QString code = QString::fromUtf8(QByteArray::fromStdString(input.ConsumeRandomLengthString(64)));
        const double value = input.ConsumeBool() ? input.ConsumeFloatingPoint<double>()
                                                 : double(input.ConsumeIntegralInRange<qint64>(-100000, 3000000)) /
                                                       double(input.ConsumeIntegralInRange(1, 100000));
        const NumberFormat format(code);
        const QString shown = format.show(value, input.ConsumeBool());
        Check(kShown.match(shown).hasMatch(), "a number is shown as a number, a date, a time or a duration",
              code + QStringLiteral(" | ") + QString::number(value, 'g', 17) + QStringLiteral(" | ") + shown);
        // (Near the ends of the range of doubles, rounding to 15 digits may leave it.)
        if (value == 0 || (std::fabs(value) >= 1e-300 && std::fabs(value) <= 1e300)) {
            const QString general = GeneralNumber(value);
            bool ok = false;
            const double back = general.toDouble(&ok);
            Check(ok && std::fabs(back - value) <= std::fabs(value) * 1e-9, "General keeps ten significant digits",
                  QString::number(value, 'g', 17) + QStringLiteral(" | ") + general);
        }
    }
}

// A character XML 1.0 can hold; the others become a space.
bool XmlCharacter(QChar c)
{
    const char16_t u = c.unicode();
    return u == 0x9 || u == 0xA || u == 0xD || (u >= 0x20 && u != 0xFFFE && u != 0xFFFF);
}

QString XmlSafe(QString text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool pair = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        if (pair)
            ++i;
        else if (text[i].isSurrogate() || !XmlCharacter(text[i]))
            text[i] = u' ';
    }
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    zqfuzz::EnsureCoreApp();
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    if (bytes.startsWith("PK") || bytes.startsWith("\xD0\xCF")) {
        // A file as it is (the seeds, and what the fuzzer makes of them), read as either kind,
        // once with limits taken from its size.
        ExtractLimits limits;
        if (size % 3 == 0) {
            limits.maxTextChars = qsizetype(size % 1000);
            limits.maxReadBytes = qint64(size % 7919);
        }
        for (FileType type : {FileType::OfficeOpenXml, FileType::OpenDocument})
            zqfuzz::CheckExtraction(ExtractTextFromBytes(type, bytes, limits), limits, "file");
        return 0;
    }
    FuzzedDataProvider input(data, size);
    if (size > 0 && data[0] == '#') {
        CheckNumberFormats(input);
        return 0;
    }
    const FileType type = input.ConsumeBool() ? FileType::OpenDocument : FileType::OfficeOpenXml;
    const ExtractLimits limits = input.ConsumeBool() ? ExtractLimits{} : zqfuzz::PickLimits(input, qsizetype(size));
    if (input.ConsumeBool()) {
        // Parts of the names the readers look for, holding what the fuzzer writes (stored, as
        // below: deflating costs more than reading, and the seeds are deflated).
        zq::seed::ZipWriter zip(zq::seed::ZipWriter::Method::Stored);
        const int parts = input.ConsumeIntegralInRange(1, 4);
        for (int i = 0; i < parts; ++i) {
            const char* name = kPartNames[input.ConsumeIntegralInRange<size_t>(0, std::size(kPartNames) - 1)];
            zip.add(QString::fromLatin1(name) + (i ? QString::number(i) : QString()),
                    QByteArray::fromStdString(input.ConsumeRandomLengthString(4096)));
        }
        zqfuzz::CheckExtraction(ExtractTextFromBytes(type, zip.finish(), limits), limits, "parts");
    } else {
        // Paragraphs of hostile text in a Word file: nothing lost, nothing added.
        QStringList paragraphs;
        const int count = input.ConsumeIntegralInRange(1, 5);
        for (int i = 0; i < count; ++i)
            paragraphs << XmlSafe(zqfuzz::HostileText(input, true));
        const Extraction e = ExtractTextFromBytes(FileType::OfficeOpenXml,
                                                  zq::seed::MakeDocx(paragraphs, zq::seed::ZipWriter::Method::Stored));
        zqfuzz::CheckExtraction(e, {}, "paragraphs");
        Check(e.ok && zqfuzz::Visible(e.text) == zqfuzz::Visible(paragraphs.join(QString())),
              "every character of the paragraphs arrives in order", e.error + QStringLiteral(" | ") + e.text);
    }
    return 0;
}

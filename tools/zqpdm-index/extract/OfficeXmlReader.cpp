#include "OfficeXmlReader.h"
#include "ExtractionRun.h"
#include "XmlTextReader.h"
#include "ZipArchive.h"

#include <algorithm>
#include <vector>

namespace zq::extract {

namespace {

// The compound file of Word 97-2003 and of an encrypted Office Open XML file.
constexpr QByteArrayView kCompoundFileMagic("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);

const XmlTextRules& OoxmlRules()
{
    // w:t, a:t and the t of shared and inline strings; phonetic guides (rPh) are not the text.
    static const XmlTextRules rules{
        {QStringLiteral("t")},
        {QStringLiteral("p"), QStringLiteral("si"), QStringLiteral("tr"), QStringLiteral("row")},
        {QStringLiteral("tab"), QStringLiteral("tc"), QStringLiteral("c")},
        {QStringLiteral("br"), QStringLiteral("cr")},
        {QStringLiteral("rPh")},
    };
    return rules;
}

const XmlTextRules& OpenDocumentRules()
{
    // All character data of the body; deleted text kept for change tracking is not the text.
    static const XmlTextRules rules{
        {},
        {QStringLiteral("p"), QStringLiteral("h"), QStringLiteral("table-row"), QStringLiteral("list-item")},
        {QStringLiteral("s"), QStringLiteral("tab"), QStringLiteral("table-cell")},
        {QStringLiteral("line-break")},
        {QStringLiteral("tracked-changes")},
    };
    return rules;
}

struct Part {
    qint64 index;
    QString name;
    int rank;           // the order of the kinds of part
    QString number;     // slideN, sheetN: N, compared as a number of any length
};

bool operator<(const Part& a, const Part& b)
{
    if (a.rank != b.rank)
        return a.rank < b.rank;
    if (a.number.size() != b.number.size())
        return a.number.size() < b.number.size();
    return a.number < b.number;
}

// "ppt/slides/slide12.xml" with prefix "ppt/slides/slide": "12"; empty when the name is not one.
QString NumberedPart(const QString& lowerName, QLatin1StringView prefix)
{
    if (!lowerName.startsWith(prefix) || !lowerName.endsWith(QLatin1StringView(".xml")))
        return {};
    const QString number = lowerName.mid(prefix.size(), lowerName.size() - prefix.size() - 4);
    const bool digits = !number.isEmpty() && std::all_of(number.begin(), number.end(), [](QChar c) {
        return c >= u'0' && c <= u'9';
    });
    return digits ? number : QString();
}

// The rank of a text part of the type, or -1.
int Rank(FileType type, const QString& lowerName, QString* number)
{
    if (type == FileType::OpenDocument)
        return lowerName == QLatin1StringView("content.xml") ? 0 : -1;
    if (lowerName == QLatin1StringView("word/document.xml"))
        return 0;
    if (lowerName == QLatin1StringView("xl/sharedstrings.xml"))
        return 1;
    if (!(*number = NumberedPart(lowerName, QLatin1StringView("xl/worksheets/sheet"))).isEmpty())
        return 2;
    if (!(*number = NumberedPart(lowerName, QLatin1StringView("ppt/slides/slide"))).isEmpty())
        return 3;
    return -1;
}

} // namespace

OfficeXmlReader::OfficeXmlReader(FileType type) : m_type(type) {}

void OfficeXmlReader::read(QByteArrayView bytes, ExtractionRun& run)
{
    if (bytes.startsWith(kCompoundFileMagic)) {
        run.fail(QStringLiteral("Office 文件已加密, 或是旧的二进制格式, 不能提取文本"));
        return;
    }
    ZipArchive zip;
    QString error;
    if (!zip.open(bytes, &error)) {
        run.fail(DamagedMessage(m_type, QStringLiteral("不是 ZIP 压缩包 (%1)").arg(error)));
        return;
    }

    std::vector<Part> parts;
    const qint64 entries = zip.entryCount();
    for (qint64 i = 0; i < entries; ++i) {
        if (i % 1024 == 0 && run.mustStop())
            return;
        const QString name = zip.entryName(i);
        QString number;
        const int rank = Rank(m_type, name.toLower(), &number);
        if (rank >= 0)
            parts.push_back({i, name, rank, number});
    }
    if (parts.empty()) {
        run.fail(DamagedMessage(m_type, m_type == FileType::OpenDocument
                                            ? QStringLiteral("找不到 content.xml")
                                            : QStringLiteral("找不到正文 (word/document.xml、xl/sharedStrings.xml、"
                                                             "xl/worksheets/、ppt/slides/)")));
        return;
    }
    std::stable_sort(parts.begin(), parts.end());

    const XmlTextRules& rules = m_type == FileType::OpenDocument ? OpenDocumentRules() : OoxmlRules();
    for (const Part& part : parts) {
        if (run.mustStop())
            return;
        XmlTextReader xml(rules, run.text());
        const ZipArchive::ReadEnd end = zip.read(
            part.index,
            [&](QByteArrayView piece) {
                const qsizetype fit = run.spendInflated(piece.size());
                return xml.addData(piece.first(fit)) && fit == piece.size() && !run.mustStop();
            },
            &error);
        if (end == ZipArchive::ReadEnd::Damaged)
            run.damaged(QStringLiteral("%1: %2").arg(part.name, error));
        else if (end == ZipArchive::ReadEnd::Complete && !xml.finish())
            run.damaged(QStringLiteral("%1 %2").arg(part.name, xml.error()));
        else if (end == ZipArchive::ReadEnd::Stopped && !run.mustStop())
            run.damaged(QStringLiteral("%1 %2").arg(part.name, xml.error()));
        run.text().appendLineBreak();
    }
}

} // namespace zq::extract

#include "OfficePackage.h"
#include "ExtractionRun.h"
#include "XmlPartReader.h"

#include <QDir>
#include <QUrl>
#include <QXmlStreamReader>

#include <algorithm>

namespace zq::extract {

namespace {

// The compound file of Word 97-2003 and of an encrypted Office Open XML file.
constexpr QByteArrayView kCompoundFileMagic("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);

// "12" of "ppt/slides/slide12.xml" with prefix "ppt/slides/slide" and suffix ".xml"; "" when the
// name is not one of them.
QString NumberIn(const QString& lowerName, const QString& prefix, const QString& suffix)
{
    if (!lowerName.startsWith(prefix) || !lowerName.endsWith(suffix) || lowerName.size() <= prefix.size() + suffix.size())
        return {};
    const QString number = lowerName.mid(prefix.size(), lowerName.size() - prefix.size() - suffix.size());
    return std::all_of(number.begin(), number.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }) ? number : QString();
}

// Numbers of any length compared as numbers.
bool NumberBefore(const QString& a, const QString& b)
{
    return a.size() != b.size() ? a.size() < b.size() : a < b;
}

QString RelationshipsOf(const QString& part)
{
    const qsizetype slash = part.lastIndexOf(u'/');
    return part.left(slash + 1) + QStringLiteral("_rels/") + part.mid(slash + 1) + QStringLiteral(".rels");
}

} // namespace

OfficePackage::OfficePackage(FileType type, ExtractionRun& run) : m_run(run), m_type(type) {}

bool OfficePackage::open(QByteArrayView bytes)
{
    if (bytes.startsWith(kCompoundFileMagic)) {
        m_run.fail(QStringLiteral("Office 文件已加密, 或是旧的二进制格式, 不能提取文本"));
        return false;
    }
    QString error;
    if (!m_zip.open(bytes, &error)) {
        m_run.fail(DamagedMessage(m_type, QStringLiteral("不是 ZIP 压缩包 (%1)").arg(error)));
        return false;
    }
    const qint64 entries = m_zip.entryCount();
    for (qint64 i = 0; i < entries; ++i) {
        if (i % 1024 == 0 && m_run.mustStop())
            return false;
        m_names.append(m_zip.entryName(i));
        m_entries.insert(m_names.back().toLower(), i);
    }
    return true;
}

QString OfficePackage::find(const QString& name) const
{
    const auto it = m_entries.constFind(name.toLower());
    return it == m_entries.constEnd() ? QString() : m_names.at(qsizetype(*it));
}

QStringList OfficePackage::numbered(const QString& prefix, const QString& suffix) const
{
    QList<std::pair<QString, QString>> found;   // number, name
    for (auto it = m_entries.constBegin(); it != m_entries.constEnd(); ++it) {
        const QString number = NumberIn(it.key(), prefix, suffix);
        if (!number.isEmpty())
            found.append({number, m_names.at(qsizetype(it.value()))});
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return NumberBefore(a.first, b.first); });
    QStringList names;
    for (const auto& [number, name] : found)
        names.append(name);
    return names;
}

bool OfficePackage::read(const QString& name, QByteArray* bytes)
{
    bytes->clear();
    const auto it = m_entries.constFind(name.toLower());
    if (it == m_entries.constEnd() || m_run.mustStop())
        return false;
    QString error;
    const ZipArchive::ReadEnd end = m_zip.read(
        *it,
        [&](QByteArrayView piece) {
            const qsizetype fit = m_run.spendInflated(piece.size());
            bytes->append(piece.first(fit));
            return fit == piece.size() && !m_run.mustStop();
        },
        &error);
    if (end == ZipArchive::ReadEnd::Damaged)
        m_run.damaged(QStringLiteral("%1: %2").arg(name, error));
    return end == ZipArchive::ReadEnd::Complete;
}

void OfficePackage::stream(const QString& name, XmlPartReader& reader)
{
    const auto it = m_entries.constFind(name.toLower());
    if (it == m_entries.constEnd() || m_run.mustStop())
        return;
    QString error;
    const ZipArchive::ReadEnd end = m_zip.read(
        *it,
        [&](QByteArrayView piece) {
            const qsizetype fit = m_run.spendInflated(piece.size());
            return reader.addData(piece.first(fit)) && fit == piece.size() && !m_run.mustStop();
        },
        &error);
    if (end == ZipArchive::ReadEnd::Damaged)
        m_run.damaged(QStringLiteral("%1: %2").arg(name, error));
    else if (end == ZipArchive::ReadEnd::Complete && !reader.finish())
        m_run.damaged(QStringLiteral("%1 %2").arg(name, reader.error()));
    else if (end == ZipArchive::ReadEnd::Stopped && !m_run.mustStop())
        m_run.damaged(QStringLiteral("%1 %2").arg(name, reader.error()));
    reader.partEnded();
    m_run.text().appendLineBreak();
}

QList<OfficePackage::Relationship> OfficePackage::relationships(const QString& part)
{
    QByteArray bytes;
    if (!read(RelationshipsOf(part), &bytes))
        return {};
    const QString folder = part.left(part.lastIndexOf(u'/') + 1);
    QList<Relationship> found;
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != u"Relationship")
            continue;
        const QXmlStreamAttributes attributes = xml.attributes();
        if (attributes.value(QLatin1StringView("TargetMode")).compare(u"External", Qt::CaseInsensitive) == 0)
            continue;
        const QString target = QUrl::fromPercentEncoding(attributes.value(QLatin1StringView("Target")).toUtf8());
        const QString type = attributes.value(QLatin1StringView("Type")).toString();
        found.append({attributes.value(QLatin1StringView("Id")).toString(), type.mid(type.lastIndexOf(u'/') + 1),
                      QDir::cleanPath(target.startsWith(u'/') ? target.mid(1) : folder + target)});
    }
    return found;
}

QString OfficePackage::relationshipId(const QXmlStreamAttributes& attributes)
{
    // The plain id beside it (a slide's number) has no namespace.
    for (const QXmlStreamAttribute& attribute : attributes)
        if (attribute.name() == u"id" && !attribute.namespaceUri().isEmpty())
            return attribute.value().toString();
    return {};
}

} // namespace zq::extract

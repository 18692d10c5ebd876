// The profile (INI) reader on any file: it never fails, its answer fits the buffer, comes from
// the file or is the default, and behaves like the platform's reader: the first match wins
// whatever follows, ';' lines are ignored, and names compare ignoring ASCII case.
#include "FuzzSupport.h"
#include "GbkText.h"
#include "Profile.h"

#include <QRegularExpression>
#include <QStringList>

using zqfuzz::Check;

namespace {

bool IsBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\v' || c == u'\f';
}

QString TrimBlanks(const QString& text)
{
    qsizetype begin = 0, end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    return text.mid(begin, end - begin);
}

QString FoldAscii(const QString& text, bool upper)
{
    QString out = text;
    for (QChar& c : out) {
        if (upper && c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - 32);
        else if (!upper && c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + 32);
    }
    return out;
}

// A name the metamorphic checks can write into a file without changing its meaning.
bool IsPlainName(const QString& name)
{
    if (name.isEmpty())
        return false;
    for (QChar c : name)
        if (c.unicode() < 0x21 || c.unicode() > 0x7e || c == u'[' || c == u']' || c == u'=' || c == u';')
            return false;
    return true;
}

// Section and key names that occur in the file, so that lookups also find something.
QStringList NamesIn(const QString& text, bool sections)
{
    QStringList names;
    for (const QString& raw : text.split(QRegularExpression(QStringLiteral("\r\n|\r|\n")))) {
        const QString line = TrimBlanks(raw);
        if (sections && line.startsWith(u'[')) {
            const qsizetype close = line.lastIndexOf(u']');
            names << TrimBlanks(close > 0 ? line.mid(1, close - 1) : line.mid(1));
        } else if (!sections && !line.startsWith(u'[') && line.contains(u'=')) {
            names << TrimBlanks(line.left(line.indexOf(u'=')));
        }
    }
    return names;
}

struct Lookup {
    zqfuzz::MemoryFile& file;
    QString section, key;

    QString get(const QByteArray& bytes, const QString& fallback, int buffer) const
    {
        file.write(bytes);
        return zq::GetPrivateProfileString(section, key, fallback, buffer, file.path());
    }
};

const QString kDefaultA = QStringLiteral("zq-default-A");
const QString kDefaultB = QStringLiteral("zq-default-B");

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static zqfuzz::MemoryFile file;
    FuzzedDataProvider input(data, size);
    const int buffer = input.ConsumeIntegralInRange(-1, 260);
    const int nameMode = input.ConsumeIntegralInRange(0, 3);
    const QString fallback = zqfuzz::HostileLine(input);
    const int sectionPick = input.ConsumeIntegralInRange(0, 255);
    const int keyPick = input.ConsumeIntegralInRange(0, 255);
    const QByteArray bytes = QByteArray::fromStdString(input.ConsumeRemainingBytesAsString());
    const QString text = zq::DecodeFileText(bytes);

    QString section, key;
    if (nameMode <= 1) {
        const QStringList sections = NamesIn(text, true), keys = NamesIn(text, false);
        section = sections.value(sectionPick % std::max<qsizetype>(sections.size(), 1));
        key = keys.value(keyPick % std::max<qsizetype>(keys.size(), 1));
    } else if (nameMode == 2) {
        FuzzedDataProvider names(data, std::min<size_t>(size, 16));
        section = zqfuzz::HostileLine(names);
        key = zqfuzz::HostileLine(names);
    } else {
        section = QStringLiteral("产品属性");
        key = QStringLiteral("标题其他1");
    }
    const Lookup lookup{file, section, key};
    const QString detail = QStringLiteral("section [%1] key [%2] buffer %3").arg(section, key).arg(buffer);

    const QString answer = lookup.get(bytes, fallback, buffer);
    Check(zq::GbkLength(answer) <= std::max(buffer - 1, 0), "the answer fits the buffer", detail);

    // Found or not: the answer does not depend on the default when the key is there.
    const QString full = lookup.get(bytes, kDefaultA, 4096);
    const bool found = full != kDefaultA || lookup.get(bytes, kDefaultB, 4096) != kDefaultB;
    if (found) {
        Check(text.contains(full), "a value found comes from the file", detail + QStringLiteral(" value [%1]").arg(full));
        Check(!key.isEmpty() && text.contains(key, Qt::CaseInsensitive), "only a key in the file is found", detail);
        Check(answer == zq::TruncateGbk(full, buffer - 1), "the answer is the value cut to the buffer", detail);
    } else {
        Check(answer == zq::TruncateGbk(TrimBlanks(fallback), buffer - 1), "a missing key gives the default", detail);
    }

    // Names compare ignoring ASCII case.
    const Lookup folded{file, FoldAscii(section, true), FoldAscii(key, false)};
    Check(folded.get(bytes, kDefaultA, 4096) == full, "names compare ignoring ASCII case", detail);

    // A comment line in front changes nothing (unless it would move a byte-order mark).
    if (!bytes.startsWith("\xEF\xBB\xBF"))
        Check(lookup.get(";zq comment\r\n" + bytes, kDefaultA, 4096) == full, "';' lines are ignored", detail);

    // The first match wins: the same key written again after the file changes nothing; a key
    // that was missing is found there.
    if (IsPlainName(section) && IsPlainName(key)) {
        const QByteArray base = bytes + "\r\n";
        const QString before = lookup.get(base, kDefaultA, 4096);
        const QByteArray later = base + "[" + section.toLatin1() + "]\r\n" + key.toLatin1() + "=zq-later\r\n";
        const QString after = lookup.get(later, kDefaultA, 4096);
        Check(after == (before == kDefaultA ? QStringLiteral("zq-later") : before), "the first match wins", detail);
    }
    return 0;
}

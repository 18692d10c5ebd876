#include "Profile.h"
#include "GbkText.h"
#include "ZQPDMFC.h"
#include <QStringList>
#include <algorithm>
#include <climits>
#include <optional>

namespace zq {

namespace {

QString trimmedBlanks(QStringView text)
{
    qsizetype begin = 0, end = text.size();
    auto blank = [](QChar c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\v' || c == u'\f'; };
    while (begin < end && blank(text[begin]))
        ++begin;
    while (end > begin && blank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin).toString();
}

QString withoutEnclosingQuotes(const QString& value)
{
    if (value.size() >= 2) {
        const QChar first = value.front(), last = value.back();
        if ((first == u'"' || first == u'\'') && first == last)
            return value.mid(1, value.size() - 2);
    }
    return value;
}

// The name inside "[name]": up to the last ']', or the rest of the line when there is none.
QString sectionName(const QString& line)
{
    const qsizetype close = line.lastIndexOf(u']');
    return trimmedBlanks(close > 0 ? QStringView(line).sliced(1, close - 1) : QStringView(line).sliced(1));
}

// The raw value of the first entry named key in any section named section; nullopt when there is none.
std::optional<QString> findValue(const QString& text, const QString& section, const QString& key)
{
    bool inSection = false;
    const QStringList lines = text.split(QChar(u'\n'));
    for (const QString& raw : lines) {
        const QString line = trimmedBlanks(raw);
        if (line.isEmpty() || line.startsWith(u';'))
            continue;
        if (line.startsWith(u'[')) {
            inSection = EqualsNoCase(sectionName(line), section);
            continue;
        }
        if (!inSection)
            continue;
        const qsizetype eq = line.indexOf(u'=');
        const QString name = trimmedBlanks(eq < 0 ? QStringView(line) : QStringView(line).first(eq));
        if (!EqualsNoCase(name, key))
            continue;
        return eq < 0 ? QString() : trimmedBlanks(QStringView(line).sliced(eq + 1));
    }
    return std::nullopt;
}

} // namespace

QString GetPrivateProfileString(const QString& section, const QString& key, const QString& defaultValue,
                                int bufferSize, const QString& filePath)
{
    QString value = trimmedBlanks(defaultValue);
    if (!key.isEmpty() && !filePath.isEmpty()) {
        bool ok = false;
        QString text = ReadTextFile(filePath, &ok);
        if (ok) {
            text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
            text.replace(u'\r', u'\n');
            if (const std::optional<QString> found = findValue(text, section, key))
                value = withoutEnclosingQuotes(*found);
        }
    }
    return TruncateGbk(value, bufferSize - 1);
}

int Atoi(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || (text[i] >= u'\t' && text[i] <= u'\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = value * 10 + (text[i].unicode() - u'0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative)
        value = -value;
    return int(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

} // namespace zq

#include "QuickQuery.h"

#include <QRegularExpression>

#include <array>
#include <tuple>

namespace zq::quick {

namespace {

struct Prefix {
    const char16_t* text;
    Field field;
};

constexpr std::array<Prefix, 5> kPrefixes{{
    {u"图号", Field::Drawing},
    {u"名称", Field::Name},
    {u"编号", Field::Code},
    {u"内容", Field::Content},
    {u"编制", Field::Author},
}};

bool IsColon(QChar c)
{
    return c == u':' || c == u'\uFF1A';
}

// The prefix at position i and the position after its colon, or Field::Any and i.
std::pair<Field, qsizetype> ReadPrefix(const QString& text, qsizetype i)
{
    for (const Prefix& prefix : kPrefixes) {
        const QStringView name(prefix.text);
        if (QStringView(text).mid(i).startsWith(name) && i + name.size() < text.size()
            && IsColon(text.at(i + name.size())))
            return {prefix.field, i + name.size() + 1};
    }
    return {Field::Any, i};
}

QString WithoutControls(const QString& text)
{
    QString clean;
    clean.reserve(text.size());
    for (const QChar c : text)
        clean += (c.category() == QChar::Other_Control) ? QChar(u' ') : c;
    return clean;
}

} // namespace

QuickQuery ParseQuickQuery(const QString& typed)
{
    const QString text = WithoutControls(typed);
    QuickQuery query;
    qsizetype i = 0;
    while (i < text.size()) {
        if (text.at(i).isSpace()) {
            ++i;
            continue;
        }
        QueryWord word;
        std::tie(word.field, i) = ReadPrefix(text, i);
        if (i < text.size() && (text.at(i) == u'"' || text.at(i) == u'\u201C')) {
            word.exact = true;
            qsizetype end = i + 1;
            while (end < text.size() && text.at(end) != u'"' && text.at(end) != u'\u201D')
                ++end;
            word.text = text.mid(i + 1, end - i - 1);
            i = end + 1;
        } else {
            qsizetype end = i;
            while (end < text.size() && !text.at(end).isSpace())
                ++end;
            word.text = text.mid(i, end - i);
            i = end;
        }
        if (!word.text.trimmed().isEmpty())
            query.words.append(word);
    }
    return query;
}

QString QuickQuery::codeText() const
{
    QStringList parts;
    for (const QueryWord& word : words)
        if (word.field == Field::Any || word.field == Field::Code || word.field == Field::Drawing)
            parts.append(word.text);
    return parts.join(u' ');
}

bool QuickQuery::hasField(Field field) const
{
    for (const QueryWord& word : words)
        if (word.field == field)
            return true;
    return false;
}

QStringList PastedCodes(const QString& text)
{
    QStringList codes;
    for (const QString& line : text.split(QRegularExpression(QStringLiteral("\\r\\n|\\r|\\n")))) {
        // A list copied from a spreadsheet brings its other columns after a tab: the code is the first cell.
        const QString code = WithoutControls(line.section(u'\t', 0, 0)).trimmed();
        if (!code.isEmpty())
            codes.append(code);
    }
    return codes;
}

bool IsPastedList(const QString& text)
{
    return PastedCodes(text).size() > 1;
}

} // namespace zq::quick

#include "ContentSql.h"

#include "DateCondition.h"
#include "DocumentSql.h"
#include "SearchFolding.h"
#include "SqlText.h"

namespace zq::content {

namespace {

constexpr int kCharsBefore = 20;   // of the excerpt, before the word
constexpr int kExcerptChars = 60;

QString Literal(const QString& text)
{
    return u'\'' + SqlQuote(text) + u'\'';
}

// A PostgreSQL literal read alike whatever standard_conforming_strings is: with a backslash in it,
// an escape string literal (E'...'), whose backslashes are always escapes.
QString PostgresLiteral(const QString& text)
{
    if (!text.contains(u'\\'))
        return Literal(text);
    QString escaped = SqlQuote(text);
    escaped.replace(u'\\', QStringLiteral("\\\\"));
    return QStringLiteral("E'") + escaped + u'\'';
}

// Where the folded word starts in the text folded by the same rule (1-based, 0 when it does not
// occur); the text itself is not changed, so the position is the one in the text as it stands. On
// SQLite a function of ours folds; PostgreSQL keeps the folded text in a column of its own.
QString Position(const QString& folded, sql::Dbms engine)
{
    if (engine == sql::Dbms::Postgres)
        return QStringLiteral("strpos(f.Folded, ") + PostgresLiteral(folded) + u')';
    return QStringLiteral("zq_folded_instr(t.Content, ") + Literal(folded) + u')';
}

// One FTS5 string: the word in double quotes, a double quote inside it doubled.
QString Fts5String(const QString& word)
{
    QString quoted = word;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

// Three-character pieces that cover the word: one every three characters and the last three (a
// character beyond the BMP counts as one). A text holding the word holds them all.
QStringList ThreeCharacterPieces(const QString& word)
{
    const QList<uint> points = word.toUcs4();
    const auto piece = [&points](qsizetype at) {
        return QString::fromUcs4(reinterpret_cast<const char32_t*>(points.constData() + at), kIndexedWordLength);
    };
    QStringList pieces;
    for (qsizetype at = 0; at + kIndexedWordLength <= points.size(); at += kIndexedWordLength)
        pieces.append(piece(at));
    if (points.size() % kIndexedWordLength != 0 && points.size() >= kIndexedWordLength)
        pieces.append(piece(points.size() - kIndexedWordLength));
    return pieces;
}

// A LIKE pattern that finds the word anywhere, its wildcards and the escape character (the
// default one, backslash) taken literally.
QString ContainsPattern(const QString& word)
{
    QString escaped;
    for (QChar c : word) {
        if (c == u'\\' || c == u'%' || c == u'_')
            escaped += u'\\';
        escaped += c;
    }
    return u'%' + escaped + u'%';
}

} // namespace

qsizetype CharacterCount(const QString& text)
{
    qsizetype count = 0;
    for (qsizetype i = 0; i < text.size(); ++i)
        if (!(text[i].isLowSurrogate() && i > 0 && text[i - 1].isHighSurrogate()))
            ++count;
    return count;
}

const QStringList& ContentKindNames()
{
    static const QStringList names{QStringLiteral("设计文档"), QStringLiteral("资源文件"), QStringLiteral("所有")};
    return names;
}

QString KindOfSourceTable(const QString& table)
{
    return table.compare(QStringLiteral("EngineerViewDoc"), Qt::CaseInsensitive) == 0 ? ContentKindNames().at(KindResource)
                                                                                       : ContentKindNames().at(KindDesign);
}

QStringList ContentWords(const QString& typed)
{
    QString cleaned = SqlValueText(typed);
    for (QChar& c : cleaned)
        if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format)
            c = u' ';
    QStringList words;
    for (const QString& word : cleaned.split(u' ', Qt::SkipEmptyParts))
        for (const QString& part : word.simplified().split(u' ', Qt::SkipEmptyParts))
            if (!words.contains(part))
                words.append(part);
    return words;
}

ContentSqlText BuildContentSql(const ContentConditions& conditions, sql::Dbms engine)
{
    const bool postgres = engine == sql::Dbms::Postgres;
    QStringList words = ContentWords(conditions.words);
    for (QString& word : words)
        word = FoldForSearch(word);

    ContentSqlText text;
    QStringList where;
    QStringList matched;   // SQLite: the three-character pieces the trigram index finds
    for (const QString& word : words) {
        const bool indexed = CharacterCount(word) >= kIndexedWordLength;
        if (postgres) {
            // "~~" is LIKE: case-sensitive over the folded text, and untouched by the rewriting of
            // the module's LIKE into ILIKE, which would fold again by the server's locale.
            where.append(QStringLiteral("f.Folded ~~ ") + PostgresLiteral(ContainsPattern(word)));
            text.preferIndexScans = text.preferIndexScans || indexed;
        } else if (indexed) {
            // The index tells which texts hold each three characters, not where: every piece of the
            // word is looked up, and a longer word then found in the text itself.
            for (const QString& piece : ThreeCharacterPieces(word))
                if (!matched.contains(Fts5String(piece)))
                    matched.append(Fts5String(piece));
            if (CharacterCount(word) > kIndexedWordLength)
                where.append(Position(word, engine) + QStringLiteral(" > 0"));
        } else {
            where.append(Position(word, engine) + QStringLiteral(" > 0"));
        }
    }
    if (!matched.isEmpty())
        where.prepend(QStringLiteral("t.ContentText MATCH ") + Literal(matched.join(QStringLiteral(" AND "))));
    if (conditions.kind == KindDesign || conditions.kind == KindResource)
        where.append(QStringLiteral("f.Kind = ") + Literal(ContentKindNames().at(conditions.kind)));

    if (conditions.byDate) {
        const DateCondition date =
            BuildDateCondition(QStringLiteral("f.FileDate"), conditions.from, conditions.to, DateBounds::Inclusive);
        text.dateWarning = date.reversed;
        where.append(date.sql);
    }

    // The excerpt starts a little before the first word as found, or at the start of the text. The
    // typed words are put together by concatenation only: QString::arg would read a "%1" inside them.
    const QString content = postgres ? QStringLiteral("f.Content") : QStringLiteral("t.Content");
    const QString start = words.isEmpty()
        ? QStringLiteral("1")
        : (postgres ? QStringLiteral("greatest") : QStringLiteral("max")) + QStringLiteral("(1, ") +
              Position(words.first(), engine) + QStringLiteral(" - ") + QString::number(kCharsBefore) + u')';
    const QString from = postgres ? QStringLiteral("ContentFile f")
                                  : QStringLiteral("ContentText t JOIN ContentFile f ON f.FileId = t.rowid");
    const QString joined = doc::JoinPresent(where);
    text.sql = QStringLiteral("SELECT f.Code1, f.Code2, f.Revision, f.Description, f.FileName, f.FileType, f.FileDate, "
                              "f.Kind, f.SourceTable, substr(") +
               content + QStringLiteral(", ") + start + QStringLiteral(", ") + QString::number(kExcerptChars) +
               QStringLiteral("), ") + start + QStringLiteral(", f.ContentChars FROM ") + from +
               (joined.isEmpty() ? QString() : QStringLiteral(" WHERE ") + joined) +
               QStringLiteral(" ORDER BY f.FileDate DESC, f.FileName");
    return text;
}

QString SnippetText(const QString& excerpt, qint64 start, qint64 textLength)
{
    QString snippet = excerpt.simplified();
    if (start > 1)
        snippet.prepend(u'…');
    if (start - 1 + CharacterCount(excerpt) < textLength)
        snippet.append(u'…');
    return snippet;
}

namespace {

QString DescriptionText(const doc::DocumentRecord& record)
{
    return record.Field(doc::RecordField::Description);
}

void ShapeSnippet(doc::DocumentRecord& record)
{
    using doc::RecordField;
    record.SetField(RecordField::Snippet,
                    SnippetText(record.Field(RecordField::Snippet), record.Field(RecordField::ExcerptStart).toLongLong(),
                                record.Field(RecordField::TextLength).toLongLong()));
}

} // namespace

const doc::RowLayout& ContentRowLayout()
{
    using doc::RecordField;
    static const doc::RowLayout layout{
        {RecordField::Code1, RecordField::Code2, RecordField::Revision, RecordField::Description, RecordField::FileName,
         RecordField::FileType, RecordField::Date, RecordField::Kind, RecordField::SourceTable, RecordField::Snippet,
         RecordField::ExcerptStart, RecordField::TextLength},
        &DescriptionText,
        {RecordField::FileName, RecordField::Kind, RecordField::Date, RecordField::Snippet},
        &ShapeSnippet,
    };
    return layout;
}

} // namespace zq::content

#include "SourceSearch.h"

#include "SearchFolding.h"
#include "SqlText.h"
#include "ZQPDMFC.h"

namespace zq::quick {

namespace {

QString Like(const QString& column, const QString& pattern)
{
    return column + QStringLiteral(" LIKE '") + pattern + QStringLiteral("'");
}

// A code column without separators, folded as ASCII, as the PostgreSQL trigram indexes of the
// quick search hold it.
QString BareCodeSql(const QString& column)
{
    return QStringLiteral("translate(lower(") + column + QStringLiteral("), ' -_./·', '')");
}

// The typed code without separators as a LIKE pattern over BareCodeSql: the wildcards as the
// pages have them.
QString BareCodePattern(const QString& typed)
{
    return PatternToSql(BareCode(typed));
}

QString TextPattern(const QString& text)
{
    return QStringLiteral("%") + PatternToSql(text) + QStringLiteral("%");
}

} // namespace

SourceSearch::SourceSearch(const QuickQuery& query, const SourceTable& source, sql::Dbms engine)
    : m_source(source), m_engine(engine), m_columns(source.readColumns())
{
    for (const QueryWord& word : query.words) {
        Word prepared{word, columnsFor(word.field), std::nullopt, TextMatcher(word.text, word.exact)};
        if (!word.exact)
            prepared.code.emplace(word.text);
        if (prepared.columns.empty())
            m_searchable = false;
        m_words.push_back(std::move(prepared));
    }
    if (const QString codeText = query.codeText(); !codeText.isEmpty())
        m_codeText.emplace(codeText);
}

std::vector<SourceSearch::Column> SourceSearch::columnsFor(Field field) const
{
    std::vector<Column> columns;
    const auto add = [&](const QString& column, bool code, bool name) {
        if (!column.isEmpty())
            columns.push_back({indexOf(column), code, name, code && isOwnCode(column)});
    };
    switch (field) {
    case Field::Any:
        for (const QString& column : m_source.codeColumns)
            add(column, true, false);
        add(m_source.nameColumn, false, true);
        for (const QString& column : m_source.otherColumns)
            add(column, false, false);
        break;
    case Field::Drawing:
        for (const QString& column : m_source.drawingColumns)
            add(column, true, false);
        break;
    case Field::Code:
        for (const QString& column : m_source.codeColumns)
            add(column, true, false);
        break;
    case Field::Name:
        add(m_source.nameColumn, false, true);
        break;
    case Field::Author:
        add(m_source.authorColumn, false, false);
        break;
    case Field::Content:
        break;
    }
    return columns;
}

QString SourceSearch::condition(const Word& word) const
{
    const QString folded = FoldForSearch(word.word.text);
    QStringList alternatives;
    for (const Column& column : word.columns) {
        const QString& name = m_columns.at(column.index);
        if (column.code && word.code) {
            alternatives.append(m_engine == sql::Dbms::Postgres
                                    ? Like(BareCodeSql(name), QStringLiteral("%") + BareCodePattern(word.word.text)
                                                                  + QStringLiteral("%"))
                                    : Like(name, CodeLikePattern(word.word.text)));
            continue;
        }
        alternatives.append(Like(name, TextPattern(word.word.exact ? word.word.text : folded)));
        // A stored text in full-width forms is not found by the folded word: the word as typed may.
        if (!word.word.exact && folded != word.word.text)
            alternatives.append(Like(name, TextPattern(word.word.text)));
    }
    return alternatives.size() == 1 ? alternatives.first()
                                    : QStringLiteral("(") + alternatives.join(QStringLiteral(" OR ")) + QStringLiteral(")");
}

QString SourceSearch::select() const
{
    return QStringLiteral("SELECT ") + m_columns.join(QStringLiteral(", ")) + QStringLiteral(" FROM ") + m_source.table;
}

QString SourceSearch::sql() const
{
    return whereSql({});
}

QString SourceSearch::whereSql(const QString& first) const
{
    QStringList conditions;
    if (!first.isEmpty())
        conditions.append(first);
    for (const Word& word : m_words)
        conditions.append(condition(word));
    QString sql = select();
    if (!conditions.isEmpty())
        sql += QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
    return sql;
}

std::optional<QList<codeindex::IndexTerm>> SourceSearch::indexTerms() const
{
    // A fragment the trigrams cannot hold would have the index read whole.
    const auto tooShort = [](const QString& fragment) {
        return !fragment.isEmpty() && fragment.size() < codeindex::kShortestFragment;
    };
    QList<codeindex::IndexTerm> terms;
    for (const Word& word : m_words) {
        // A word the index cannot look for narrows nothing; the check of each row fetched sees to it.
        if (word.word.exact || !word.code || HasWildcard(word.word.text))
            continue;
        codeindex::IndexTerm term;
        for (const Column& column : word.columns) {
            if (column.code)
                term.codes = BareCode(word.word.text);
            else
                term.texts = FoldForSearch(word.word.text);
        }
        if (tooShort(term.codes) || tooShort(term.texts) || (term.codes.isEmpty() && term.texts.isEmpty()))
            continue;
        terms.append(term);
    }
    if (terms.isEmpty())
        return std::nullopt;
    return terms;
}

QString SourceSearch::sqlOfRows(const std::vector<qint64>& rows) const
{
    QStringList keys;
    keys.reserve(qsizetype(rows.size()));
    for (const qint64 row : rows)
        keys.append(QString::number(row));
    return select() + QStringLiteral(" WHERE rowid IN (") + keys.join(u',') + QStringLiteral(") ORDER BY rowid");
}

QString SourceSearch::sqlAbove(qint64 rowid) const
{
    return whereSql(QStringLiteral("rowid > ") + QString::number(rowid));
}

bool SourceSearch::found(const Word& word, const QStringList& row, Places* places) const
{
    bool any = false;
    bool inCode = false;
    for (const Column& column : word.columns) {
        const QString& value = row.at(column.index);
        const bool matches = column.code && word.code ? word.code->tier(value).has_value() : word.text.matches(value);
        if (matches) {
            any = true;
            places->inName = places->inName || column.name;
            inCode = inCode || column.own;
        }
    }
    places->allInCode = places->allInCode && inCode;
    return any;
}

MatchTier SourceSearch::tierOf(const QStringList& row, const Places& places) const
{
    std::optional<MatchTier> best;
    // The code tiers speak of the hit's own code: a document found by its product's code, or a
    // part by its upper level's, is found in another field.
    if (m_codeText) {
        for (const QString& column : m_source.codeColumns) {
            if (!isOwnCode(column))
                continue;
            const auto tier = m_codeText->tier(row.at(indexOf(column)));
            if (tier && (!best || *tier < *best))
                best = tier;
        }
    }
    if (best)
        return *best;
    // "zq8600 02" in ZQ8600-01-02: every word is in the code, though not as one piece.
    if (places.allInCode)
        return MatchTier::CodeContains;
    return places.inName ? MatchTier::Name : MatchTier::Other;
}

bool SourceSearch::isOwnCode(const QString& column) const
{
    return column == m_source.codeColumns.first() || column == m_source.listedColumn;
}

QString SourceSearch::noteOf(const QStringList& row) const
{
    QStringList parts;
    for (const NoteColumn& note : m_source.notes) {
        const QString value = row.at(indexOf(note.column)).trimmed();
        if (!value.isEmpty())
            parts.append(note.label + u' ' + value);
    }
    return parts.join(QStringLiteral("  "));
}

std::optional<QuickHit> SourceSearch::match(const QStringList& row, const QString& kind) const
{
    if (!m_searchable || row.size() < m_columns.size())
        return std::nullopt;
    Places places;
    for (const Word& word : m_words)
        if (!found(word, row, &places))
            return std::nullopt;
    QuickHit hit;
    hit.kind = kind;
    hit.code = row.at(indexOf(m_source.codeColumns.first())).trimmed();
    hit.name = m_source.nameColumn.isEmpty() ? QString() : row.at(indexOf(m_source.nameColumn)).trimmed();
    hit.date = m_source.dateColumn.isEmpty() ? QString() : row.at(indexOf(m_source.dateColumn)).left(10);
    hit.tier = tierOf(row, places);
    hit.note = noteOf(row);
    hit.table = m_source.table;
    if (const int product = indexOf(QStringLiteral("ProductDwgCode")); product >= 0)
        hit.product = row.at(product).trimmed();
    hit.listed = m_source.listedColumn.isEmpty() ? hit.code : row.at(indexOf(m_source.listedColumn)).trimmed();
    if (const int file = indexOf(QStringLiteral("FileName")); file >= 0)
        hit.fileName = row.at(file);
    return hit;
}

} // namespace zq::quick

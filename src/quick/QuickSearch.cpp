#include "QuickSearch.h"

#include "CodeIndexReader.h"
#include "ContentIndexConnection.h"
#include "ContentSql.h"
#include "HitCollector.h"
#include "QuickQuery.h"
#include "QuickSources.h"
#include "Recordset.h"
#include "RowReading.h"
#include "SourceSearch.h"
#include "SqlDialect.h"
#include "SqlText.h"
#include "ZQDBConnect.h"
#include "ZQPDMFC.h"

#include <algorithm>
#include <limits>

namespace zq::quick {

namespace {

// The words the content index is searched for: those without a prefix and those of 内容:. A word
// narrowed to a field the index does not hold (名称:, 编号:) leaves the index out.
std::optional<QString> ContentWordsOf(const QuickQuery& query)
{
    QStringList words;
    for (const QueryWord& word : query.words) {
        if (word.field != Field::Any && word.field != Field::Content)
            return std::nullopt;
        words.append(word.text);
    }
    return words.join(u' ');
}

constexpr int kContentFields = 12;

// The range of stored codes that begin with the typed code as codes are usually written (upper
// case, '-' between the parts): what an index on the code column finds at once. Nothing for a
// code with a wildcard or beyond ASCII, whose stored form cannot be told.
std::optional<std::pair<QString, QString>> StoredCodeRange(const QString& typed)
{
    const QString low = CodeKey(typed.trimmed()).toUpper();
    if (low.isEmpty() || HasWildcard(low))
        return std::nullopt;
    for (const QChar c : low)
        if (c.unicode() < 0x21 || c.unicode() >= 0x7E)
            return std::nullopt;
    QString high = low;
    high.back() = QChar(high.back().unicode() + 1);
    return std::pair{low, high};
}
constexpr int kNearestCandidates = 2000;
// Rows fetched by rowid a statement.
constexpr size_t kRowsPerFetch = 500;
constexpr int kSuggestionCandidates = 50;

} // namespace

ContentIndex::ContentIndex(QString url) : m_url(std::move(url)) {}

ContentIndex::~ContentIndex() = default;

Connection* ContentIndex::connection(QString* problem, bool* notMadeYet)
{
    if (m_index)
        return m_index->GetPtrPDM();
    content::OpenedContentIndex opened = content::OpenContentIndex(m_url);
    *problem = opened.problem;
    *notMadeYet = opened.notMadeYet;
    if (!opened.index)
        return nullptr;
    m_index = std::move(opened.index);
    return m_index->GetPtrPDM();
}

QuickSearch::QuickSearch(Connection* pdm, ContentIndex* contentIndex) : m_pdm(pdm), m_contentIndex(contentIndex) {}

QuickSearch::~QuickSearch() = default;

CodeIndexReader* QuickSearch::codeIndex()
{
    if (!m_useCodeIndex || !m_contentIndex || !m_pdm || sql::DbmsOf(m_pdm->dbms()) != sql::Dbms::Sqlite)
        return nullptr;
    if (!m_codeIndex) {
        QString problem;
        bool notMadeYet = false;
        Connection* index = m_contentIndex->connection(&problem, &notMadeYet);
        if (!index || sql::DbmsOf(index->dbms()) != sql::Dbms::Sqlite)
            return nullptr;   // tried again next time: the index may be made meanwhile
        m_codeIndex = std::make_unique<CodeIndexReader>(index);
    }
    return m_codeIndex.get();
}

template <typename Handler>
void QuickSearch::readSource(const SourceSearch& search, const SourceTable& source, const std::atomic_bool* cancel,
                             Handler handle)
{
    const int columns = int(source.readColumns().size());
    const std::optional<QList<codeindex::IndexTerm>> terms = search.indexTerms();
    CodeIndexReader* index = terms ? codeIndex() : nullptr;
    const std::optional<CodeIndexReader::Candidates> candidates =
        index ? index->candidates(source, *terms, cancel) : std::nullopt;
    if (!candidates) {
        ReadRows(search.sql(), m_pdm, columns, cancel, handle);
        return;
    }
    const std::vector<qint64>& rows = candidates->rows;
    for (size_t at = 0; at < rows.size() && !Cancelled(cancel); at += kRowsPerFetch) {
        const std::vector<qint64> some(rows.begin() + qsizetype(at),
                                       rows.begin() + qsizetype(std::min(rows.size(), at + kRowsPerFetch)));
        ReadRows(search.sqlOfRows(some), m_pdm, columns, cancel, handle);
    }
    // What was written since the index was brought up to date.
    ReadRows(search.sqlAbove(candidates->highWater), m_pdm, columns, cancel, handle);
}

KindResult QuickSearch::searchKind(const QString& caption, const QuickQuery& query, int limit,
                                   const std::atomic_bool* cancel)
{
    KindResult result;
    result.kind = caption;
    const QuickKind* kind = FindDatabaseKind(caption);
    if (!kind || !m_pdm)
        return result;
    HitCollector hits(limit, kind->oneHitPerCode);
    try {
        for (const SourceTable& source : kind->sources) {
            const SourceSearch search(query, source, sql::DbmsOf(m_pdm->dbms()));
            if (!search.searchable())
                continue;
            readSource(search, source, cancel, [&](const QStringList& row) {
                if (auto hit = search.match(row, caption))
                    hits.add(std::move(*hit));
                return true;
            });
        }
    } catch (const _com_error& error) {
        result.problem = error.Description();
    }
    result.count = hits.count();
    result.hits = hits.best();
    return result;
}

KindResult QuickSearch::searchContent(const QuickQuery& query, int limit, const std::atomic_bool* cancel)
{
    KindResult result;
    result.kind = kContentCaption;
    const std::optional<QString> words = ContentWordsOf(query);
    if (!words || !m_contentIndex)
        return result;
    QString problem;
    bool notMadeYet = false;
    Connection* index = m_contentIndex->connection(&problem, &notMadeYet);
    if (!index) {
        // The rest of the search stands without the index: said, not failed.
        result.advice = problem;
        return result;
    }
    content::ContentConditions conditions;
    conditions.words = *words;
    conditions.kind = content::KindAll;
    const content::ContentSqlText text = content::BuildContentSql(conditions, sql::DbmsOf(index->dbms()));
    HitCollector hits(limit, false);
    try {
        ReadRows(text.sql, index, kContentFields, cancel, [&](const QStringList& row) {
            QuickHit hit;
            hit.kind = kContentCaption;
            hit.code = row.at(1).trimmed();
            hit.name = row.at(3).trimmed();
            hit.fileName = row.at(4);
            hit.date = row.at(6).left(10);
            hit.tier = MatchTier::Content;
            hit.table = row.at(8);
            hit.note = content::SnippetText(row.at(9), row.at(10).toLongLong(), row.at(11).toLongLong());
            // The page lists a file by its description first; searched by the same words it lists it.
            hit.listed = hit.name;
            hit.words = *words;
            hits.add(std::move(hit));
            return true;
        }, text.preferIndexScans ? zqPreferIndexScans : 0);
    } catch (const _com_error& error) {
        result.advice = QStringLiteral("内容索引不能读取: ") + error.Description();
    }
    result.count = hits.count();
    result.hits = hits.best();
    return result;
}

QuickResult QuickSearch::run(const QuickRequest& request, const KindReport& onKind, const std::atomic_bool* cancel)
{
    QuickResult result;
    const QuickQuery query = ParseQuickQuery(request.text);
    if (query.isEmpty())
        return result;
    const QStringList kinds = request.kinds.isEmpty() ? AllKindCaptions() : request.kinds;
    for (const QString& caption : AllKindCaptions()) {
        if (!kinds.contains(caption))
            continue;
        if (Cancelled(cancel)) {
            result.cancelled = true;
            break;
        }
        KindResult kind = caption == kContentCaption ? searchContent(query, request.limit, cancel)
                                                     : searchKind(caption, query, request.limit, cancel);
        if (onKind)
            onKind(kind);
        result.kinds.append(std::move(kind));
    }
    result.cancelled = result.cancelled || Cancelled(cancel);
    return result;
}

QuickResult QuickSearch::runCode(const QString& code, const QStringList& kinds, int limit)
{
    QuickQuery query;
    query.words.append({code, Field::Code, false});
    QuickResult result;
    for (const QString& caption : AllKindCaptions())
        if (caption != kContentCaption && (kinds.isEmpty() || kinds.contains(caption)))
            result.kinds.append(searchKind(caption, query, limit, nullptr));
    return result;
}

template <typename Handler>
void QuickSearch::readCodesBeginning(const QString& beginning, const QStringList& kinds, int perSource, Handler handle,
                                     bool byRange)
{
    QString pattern = CodeLikePattern(beginning);
    pattern.remove(0, 1);   // anchored at the start
    const std::optional<std::pair<QString, QString>> range = byRange ? StoredCodeRange(beginning) : std::nullopt;
    if (byRange && !range)
        return;
    for (const QuickKind& kind : DatabaseKinds()) {
        if (!kinds.isEmpty() && !kinds.contains(kind.caption))
            continue;
        for (const SourceTable& source : kind.sources) {
            const QString column = source.codeColumns.first();
            const QString condition =
                range ? column + QStringLiteral(" >= '") + SqlQuote(range->first) + QStringLiteral("' AND ") + column
                            + QStringLiteral(" < '") + SqlQuote(range->second) + QStringLiteral("'")
                      : column + QStringLiteral(" LIKE '") + pattern + QStringLiteral("'");
            const QString sql = QStringLiteral("SELECT ") + column + QStringLiteral(" FROM ") + source.table
                                + QStringLiteral(" WHERE ") + condition;
            int read = 0;
            try {
                ReadRows(sql, m_pdm, 1, nullptr, [&](const QStringList& row) {
                    handle(row.at(0).trimmed());
                    return ++read < perSource;
                });
            } catch (const _com_error&) {
                // A table that cannot be read offers no codes; the search itself says why.
            }
        }
    }
}

QString QuickSearch::nearestCode(const QString& code, const QStringList& kinds)
{
    const QString bare = BareCode(code);
    if (bare.size() < 2 || !m_pdm)
        return {};
    // The codes that share the typed code's first characters, so a wrong last digit or a missing
    // revision still finds its neighbour.
    QString nearest;
    int nearestDistance = std::numeric_limits<int>::max();
    readCodesBeginning(bare.left(std::max<qsizetype>(2, bare.size() / 2)), kinds, kNearestCandidates,
                       [&](const QString& candidate) {
                           const int distance = CodeDistance(code, candidate);
                           if (distance < nearestDistance || (distance == nearestDistance && candidate < nearest)) {
                               nearest = candidate;
                               nearestDistance = distance;
                           }
                       });
    // A neighbour more edits away than half the code is no neighbour.
    return nearestDistance <= std::max<qsizetype>(1, bare.size() / 2) ? nearest : QString();
}

QStringList QuickSearch::suggestCodes(const QString& typed, const QStringList& kinds, int max)
{
    if (!m_pdm || BareCode(typed).isEmpty() || max <= 0)
        return {};
    const CodeMatcher matcher(typed);
    QStringList codes;
    const auto offer = [&](const QString& code) {
        const auto tier = matcher.tier(code);
        if (tier && *tier <= MatchTier::CodeStart && !codes.contains(code))
            codes.append(code);
    };
    // Codes stored as they are usually written first, through the code columns' indexes; the
    // forgiving scan only when those do not fill the list.
    readCodesBeginning(typed, kinds, kSuggestionCandidates, offer, true);
    if (codes.size() < max)
        readCodesBeginning(typed, kinds, kSuggestionCandidates, offer, false);
    std::sort(codes.begin(), codes.end(), [&matcher](const QString& a, const QString& b) {
        const auto ta = *matcher.tier(a);
        const auto tb = *matcher.tier(b);
        return ta != tb ? ta < tb : a < b;
    });
    return codes.mid(0, max);
}

} // namespace zq::quick

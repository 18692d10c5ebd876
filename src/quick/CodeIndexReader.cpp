#include "CodeIndexReader.h"

#include "RowReading.h"
#include "SqlText.h"
#include "ZQPDMFC.h"

#include <algorithm>
#include <iterator>

namespace zq::quick {

namespace {

// Beyond this many rows for one word, fetching them one by one costs more than reading the table.
constexpr size_t kMostCandidates = 20000;

std::vector<qint64> Intersection(const std::vector<qint64>& a, const std::vector<qint64>& b)
{
    std::vector<qint64> both;
    std::set_intersection(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(both));
    return both;
}

std::vector<qint64> Union(const std::vector<qint64>& a, const std::vector<qint64>& b)
{
    std::vector<qint64> either;
    std::set_union(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(either));
    return either;
}

} // namespace

CodeIndexReader::CodeIndexReader(Connection* index) : m_index(index) {}

bool CodeIndexReader::load()
{
    // Read again for every table: zqpdm-index may have brought the index up to date meanwhile.
    m_sources.clear();
    if (!m_index)
        return false;
    try {
        // An index of an earlier layout has no such table: it is simply not used.
        ReadRows(QStringLiteral("SELECT TableName, SourceId, Columns, HighWater FROM ") + codeindex::kSourceTable,
                 m_index, 4, nullptr, [this](const QStringList& row) {
                     m_sources.insert(row.at(0), {row.at(1).toInt(), row.at(2), row.at(3).toLongLong()});
                     return true;
                 });
    } catch (const _com_error&) {
        m_sources.clear();
    }
    return !m_sources.isEmpty();
}

bool CodeIndexReader::rowsLike(const Source& source, const QString& column, const QString& fragment,
                               std::vector<qint64>* rows, const std::atomic_bool* cancel)
{
    // Put together, not by arg(): the fragment is the user's and may hold "%1".
    const QString sql = QStringLiteral("SELECT rowid FROM ") + codeindex::kTextTable + QStringLiteral(" WHERE ") + column
                        + QStringLiteral(" LIKE '%") + SqlQuote(fragment) + QStringLiteral("%' AND rowid BETWEEN ")
                        + QString::number(codeindex::IndexRowId(source.id, 0)) + QStringLiteral(" AND ")
                        + QString::number(codeindex::IndexRowId(source.id, codeindex::kLargestRow));
    bool withinLimit = true;
    ReadRows(sql, m_index, 1, cancel, [&](const QStringList& row) {
        // A row indexed after the sources were read is above the mark, and read by the SELECT
        // of the rows above it: taken once, not twice.
        if (const qint64 pdmRow = codeindex::PdmRowOf(row.at(0).toLongLong()); pdmRow <= source.highWater)
            rows->push_back(pdmRow);
        withinLimit = rows->size() <= kMostCandidates;
        return withinLimit;
    });
    std::sort(rows->begin(), rows->end());
    return withinLimit;
}

std::optional<CodeIndexReader::Candidates> CodeIndexReader::candidates(const SourceTable& table,
                                                                       const QList<codeindex::IndexTerm>& terms,
                                                                       const std::atomic_bool* cancel)
{
    if (terms.isEmpty() || !load())
        return std::nullopt;
    const auto found = m_sources.constFind(table.table);
    if (found == m_sources.constEnd() || found->columns != codeindex::ColumnSignature(table))
        return std::nullopt;
    Candidates candidates;
    candidates.highWater = found->highWater;
    bool first = true;
    try {
        for (const codeindex::IndexTerm& term : terms) {
            std::vector<qint64> inCodes, inTexts;
            if (!term.codes.isEmpty() && !rowsLike(*found, QStringLiteral("Codes"), term.codes, &inCodes, cancel))
                return std::nullopt;
            if (!term.texts.isEmpty() && !rowsLike(*found, QStringLiteral("Texts"), term.texts, &inTexts, cancel))
                return std::nullopt;
            std::vector<qint64> word = Union(inCodes, inTexts);
            candidates.rows = first ? std::move(word) : Intersection(candidates.rows, word);
            first = false;
            if (candidates.rows.empty())
                break;
        }
    } catch (const _com_error&) {
        // An index that cannot be read leaves the table to be searched as it always was.
        return std::nullopt;
    }
    return candidates;
}

} // namespace zq::quick

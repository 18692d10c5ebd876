#pragma once
// The quick search: one text, every kind of PDM data the installation shows, the hits of each
// kind ranked and counted. The kinds are searched one after the other and each is reported as it
// finishes, so a front end shows the first kind's hits while the others are still read; the
// whole run blocks its thread (a front end runs it on a worker thread with its own connections).
#include "QuickHit.h"
#include "QuickQuery.h"

#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <memory>

namespace zq {
class Connection;
class CZQDBConnect;
}

namespace zq::quick {

class SourceSearch;
struct SourceTable;

inline constexpr int kHitsPerKind = 200;

struct QuickRequest {
    QString text;
    QStringList kinds;            // captions to search; empty: every kind
    int limit = kHitsPerKind;     // hits listed a kind
};

// Where the text inside stored files is searched: the content index zqpdm-index writes, opened
// when the first search needs it.
class ContentIndex {
public:
    explicit ContentIndex(QString url);
    ~ContentIndex();
    // The open index, or null with the reason in *problem.
    Connection* connection(QString* problem, bool* notMadeYet);
private:
    QString m_url;
    std::unique_ptr<CZQDBConnect> m_index;
};

class CodeIndexReader;

class QuickSearch {
public:
    // pdm: the PDM database; contentIndex: may be null (文档内容 is then not searched). On an
    // SQLite PDM database, the index of folded codes zqpdm-index keeps beside the content index
    // narrows the tables when it is there (CodeIndexLayout.h).
    QuickSearch(Connection* pdm, ContentIndex* contentIndex);
    ~QuickSearch();

    // Whether the index of folded codes may be used (it is by default); without it every table
    // is read by its narrowing SELECT. The hits are the same either way.
    void setUseCodeIndex(bool use) { m_useCodeIndex = use; }

    using KindReport = std::function<void(const KindResult&)>;
    QuickResult run(const QuickRequest& request, const KindReport& onKind = {},
                    const std::atomic_bool* cancel = nullptr);

    // Database kinds only, every hit of the word as a code (编号:): what a pasted list's line is
    // looked up by. Hits of every tier; the caller keeps those it counts as found.
    QuickResult runCode(const QString& code, const QStringList& kinds, int limit);

    // The code nearest to one no kind holds, or "" when none is near: among the codes that begin
    // as it does, the fewest edits away.
    QString nearestCode(const QString& code, const QStringList& kinds);

    // Up to `max` codes that begin with the typed text (case, width and separators forgiven), for
    // the suggestions under the search box: the kinds in search order, each kind's codes sorted.
    QStringList suggestCodes(const QString& typed, const QStringList& kinds, int max);

private:
    // Reads the first code column of every source of the kinds whose code begins with `beginning`
    // (anchored LIKE; byRange: the range of codes written as usual, which an index finds), at
    // most `perSource` rows each, and hands each code on.
    template <typename Handler>
    void readCodesBeginning(const QString& beginning, const QStringList& kinds, int perSource, Handler handle,
                            bool byRange = false);
    KindResult searchKind(const QString& caption, const QuickQuery& query, int limit,
                          const std::atomic_bool* cancel);
    // The index of folded codes, when the PDM database is SQLite and the index can be opened.
    CodeIndexReader* codeIndex();
    // Reads the rows of one source that may hold the query into `handle`: through the index of
    // folded codes when it can tell, else by the narrowing SELECT. Throws _com_error.
    template <typename Handler>
    void readSource(const SourceSearch& search, const SourceTable& source, const std::atomic_bool* cancel,
                    Handler handle);
    KindResult searchContent(const QuickQuery& query, int limit, const std::atomic_bool* cancel);

    Connection* m_pdm;
    ContentIndex* m_contentIndex;
    bool m_useCodeIndex = true;
    std::unique_ptr<CodeIndexReader> m_codeIndex;
};

} // namespace zq::quick

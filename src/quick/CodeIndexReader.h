#pragma once
// The quick search's side of the index of folded codes (CodeIndexLayout.h): which rows of a PDM
// table may hold every word, read from the index, or nothing when the index cannot tell (not
// made, made of other columns, unreadable, or the words would bring too many rows), in which
// case the table is searched as it always was.
#include "CodeIndexLayout.h"

#include <QHash>
#include <atomic>
#include <optional>
#include <vector>

namespace zq {
class Connection;
}

namespace zq::quick {

class CodeIndexReader {
public:
    // index: the content index's connection (SQLite); null: no index.
    explicit CodeIndexReader(Connection* index);

    struct Candidates {
        std::vector<qint64> rows;   // PDM rowids, ascending
        qint64 highWater = 0;       // rows above it were written after the index: not in it
    };
    std::optional<Candidates> candidates(const SourceTable& source, const QList<codeindex::IndexTerm>& terms,
                                         const std::atomic_bool* cancel);

private:
    struct Source {
        int id = 0;
        QString columns;
        qint64 highWater = 0;
    };
    bool load();
    // The PDM rows whose text matches the pattern; false when there are more than the index
    // saves reading.
    bool rowsLike(const Source& source, const QString& column, const QString& fragment, std::vector<qint64>* rows,
                  const std::atomic_bool* cancel);

    Connection* m_index;
    QHash<QString, Source> m_sources;
};

} // namespace zq::quick

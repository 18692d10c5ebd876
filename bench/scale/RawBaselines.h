#pragma once
// The raw baselines: the same work written directly on the engines' C APIs (sqlite3, libpq)
// and the C library, with nothing of the module, of its platform layer or of Qt in between.
// Each returns the elapsed seconds of the work alone (connections are opened beforehand),
// or a negative number with `error` set.
#include <cstdint>
#include <string>
#include <vector>

namespace zq::bench::raw {

// Every cell of a result, row by row, kept the way a C program would keep them: one blob of
// zero-terminated texts and the offset of each.
class Cells {
public:
    explicit Cells(int columns = 0) : m_columns(columns) {}
    void add(const char* text, size_t length);
    int columns() const { return m_columns; }
    size_t rows() const { return m_columns ? m_offsets.size() / size_t(m_columns) : 0; }
    const char* at(size_t row, int column) const { return m_blob.data() + m_offsets[row * size_t(m_columns) + size_t(column)]; }
    void reserve(size_t rows, size_t bytesPerRow);
    size_t bytes() const { return m_blob.size() + m_offsets.size() * sizeof(uint32_t); }

private:
    int m_columns;
    std::string m_blob;
    std::vector<uint32_t> m_offsets;
};

struct Result {
    double seconds = -1;
    std::string error;
    bool ok() const { return seconds >= 0; }
};

double Now();   // monotonic seconds

// The SELECT of the title search, and for every row its product name through one prepared
// lookup with one parameter (its field 2), each name looked up once and remembered. Cells: the
// four fields and the name.
Result SqlitePlainSearch(const std::string& dbPath, const std::string& select, const std::string& lookup, Cells& out);
// One statement whose first column is a path and second a part name (the recursive CTE).
Result SqliteRows(const std::string& dbPath, const std::string& sql, Cells& out);
// As SqlitePlainSearch, on PostgreSQL through libpq: the rows of the SELECT, then one
// PQexecPrepared of the lookup ($1) per row.
Result PostgresPlainSearch(const std::string& conninfo, const std::string& select, const std::string& lookup,
                           Cells& out);
// The texts that fnmatch(pattern, text, FNM_CASEFOLD) accepts, by index.
Result FnmatchLoop(const std::vector<std::string>& texts, const std::string& pattern, std::vector<size_t>& matches);
// The result export of a list whose header and cells are held as GBK C strings: the file's
// bytes (the header line, an empty line, a line a row; comma-separated or each cell "%-30s";
// CR LF line ends) laid out in one buffer and written to a new file with one fwrite.
Result WriteExport(const std::string& path, const Cells& header, const Cells& rows, bool aligned);

} // namespace zq::bench::raw

#include "RawBaselines.h"

#include <sqlite3.h>

#include <ctime>
#include <unordered_map>

namespace zq::bench::raw {

double Now()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

void Cells::add(const char* text, size_t length)
{
    m_offsets.push_back(uint32_t(m_blob.size()));
    m_blob.append(text ? text : "", text ? length : 0);
    m_blob.push_back('\0');
}

void Cells::reserve(size_t rows, size_t bytesPerRow)
{
    m_offsets.reserve(rows * size_t(m_columns));
    m_blob.reserve(rows * bytesPerRow);
}

namespace {

// The database, opened read-only, closed with its statements.
class Database {
public:
    explicit Database(const std::string& path)
    {
        if (sqlite3_open_v2(path.c_str(), &m_db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
            m_error = m_db ? sqlite3_errmsg(m_db) : "cannot open";
    }
    ~Database()
    {
        for (sqlite3_stmt* s : m_statements)
            sqlite3_finalize(s);
        sqlite3_close(m_db);
    }
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    sqlite3_stmt* prepare(const std::string& sql)
    {
        sqlite3_stmt* statement = nullptr;
        if (m_error.empty() && sqlite3_prepare_v2(m_db, sql.c_str(), int(sql.size()), &statement, nullptr) != SQLITE_OK)
            m_error = sqlite3_errmsg(m_db);
        if (statement)
            m_statements.push_back(statement);
        return statement;
    }
    const std::string& error() const { return m_error; }
    sqlite3* handle() const { return m_db; }

private:
    sqlite3* m_db = nullptr;
    std::string m_error;
    std::vector<sqlite3_stmt*> m_statements;
};

void addColumn(Cells& out, sqlite3_stmt* statement, int column)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    out.add(text, size_t(sqlite3_column_bytes(statement, column)));
}

Result finish(Database& db, double start, int lastStep)
{
    Result result;
    if (lastStep != SQLITE_DONE) {
        result.error = sqlite3_errmsg(db.handle());
        return result;
    }
    result.seconds = Now() - start;
    return result;
}

} // namespace

Result SqlitePlainSearch(const std::string& dbPath, const std::string& select, const std::string& lookup, Cells& out)
{
    Database db(dbPath);
    const double start = Now();
    sqlite3_stmt* rows = db.prepare(select);
    sqlite3_stmt* name = db.prepare(lookup);
    if (!db.error().empty())
        return {-1, db.error()};
    // Each product's name is looked up once and remembered, as the module does.
    std::unordered_map<std::string, std::string> names;
    int step;
    while ((step = sqlite3_step(rows)) == SQLITE_ROW) {
        const int fields = sqlite3_column_count(rows);
        for (int c = 0; c < 4; ++c) {
            if (c < fields)
                addColumn(out, rows, c);
            else
                out.add("", 0);
        }
        const std::string product(reinterpret_cast<const char*>(sqlite3_column_text(rows, 2)),
                                  size_t(sqlite3_column_bytes(rows, 2)));
        auto known = names.find(product);
        if (known == names.end()) {
            sqlite3_bind_text(name, 1, product.data(), int(product.size()), SQLITE_STATIC);
            std::string text;
            if (sqlite3_step(name) == SQLITE_ROW)
                text.assign(reinterpret_cast<const char*>(sqlite3_column_text(name, 0)), size_t(sqlite3_column_bytes(name, 0)));
            sqlite3_reset(name);
            known = names.emplace(product, std::move(text)).first;
        }
        out.add(known->second.data(), known->second.size());
    }
    return finish(db, start, step);
}

Result SqliteRows(const std::string& dbPath, const std::string& sql, Cells& out)
{
    Database db(dbPath);
    const double start = Now();
    sqlite3_stmt* rows = db.prepare(sql);
    if (!db.error().empty())
        return {-1, db.error()};
    int step;
    while ((step = sqlite3_step(rows)) == SQLITE_ROW)
        for (int c = 0; c < out.columns(); ++c)
            addColumn(out, rows, c);
    return finish(db, start, step);
}

} // namespace zq::bench::raw

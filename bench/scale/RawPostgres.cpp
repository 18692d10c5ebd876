#include "RawBaselines.h"

#include <unordered_map>

#include <libpq-fe.h>

#include <memory>

namespace zq::bench::raw {

namespace {

struct ResultDeleter {
    void operator()(PGresult* r) const { PQclear(r); }
};
using PgResult = std::unique_ptr<PGresult, ResultDeleter>;

struct ConnectionDeleter {
    void operator()(PGconn* c) const { PQfinish(c); }
};

} // namespace

Result PostgresPlainSearch(const std::string& conninfo, const std::string& select, const std::string& lookup,
                           Cells& out)
{
    std::unique_ptr<PGconn, ConnectionDeleter> connection(PQconnectdb(conninfo.c_str()));
    PGconn* pg = connection.get();
    if (PQstatus(pg) != CONNECTION_OK)
        return {-1, PQerrorMessage(pg)};
    const double start = Now();
    PgResult prepared(PQprepare(pg, "product_name", lookup.c_str(), 1, nullptr));
    if (PQresultStatus(prepared.get()) != PGRES_COMMAND_OK)
        return {-1, PQerrorMessage(pg)};
    PgResult rows(PQexec(pg, select.c_str()));
    if (PQresultStatus(rows.get()) != PGRES_TUPLES_OK)
        return {-1, PQerrorMessage(pg)};
    std::unordered_map<std::string, std::string> names;
    const int count = PQntuples(rows.get());
    const int fields = PQnfields(rows.get());
    for (int r = 0; r < count; ++r) {
        for (int c = 0; c < 4; ++c) {
            if (c < fields)
                out.add(PQgetvalue(rows.get(), r, c), size_t(PQgetlength(rows.get(), r, c)));
            else
                out.add("", 0);
        }
        // Each product's name is looked up once and remembered, as the module does.
        const char* code = PQgetvalue(rows.get(), r, 2);
        auto known = names.find(code);
        if (known == names.end()) {
            PgResult name(PQexecPrepared(pg, "product_name", 1, &code, nullptr, nullptr, 0));
            if (PQresultStatus(name.get()) != PGRES_TUPLES_OK)
                return {-1, PQerrorMessage(pg)};
            std::string text = PQntuples(name.get()) > 0 ? std::string(PQgetvalue(name.get(), 0, 0),
                                                                       size_t(PQgetlength(name.get(), 0, 0)))
                                                         : std::string();
            known = names.emplace(code, std::move(text)).first;
        }
        out.add(known->second.data(), known->second.size());
    }
    return {Now() - start, {}};
}

} // namespace zq::bench::raw

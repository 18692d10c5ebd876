// zq-raw-title-search: the title search as the plainest program would run it, for bench_scale's
// whole-process figures: the SELECT on the sqlite3 API, each product's name looked up once and
// remembered, and the rows printed as zqpdm-search prints them (a header line, then the cells
// joined by tabs: code, name, product, product name, old code, an empty source type). With
// --keep the rows are only kept as strings, nothing printed: the least a C program can do.
//   zq-raw-title-search DB SELECT LOOKUP [--keep]
#include "RawBaselines.h"

#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char** argv)
{
    const bool keepOnly = argc == 5 && std::strcmp(argv[4], "--keep") == 0;
    if (argc != 4 && !keepOnly) {
        std::fputs("usage: zq-raw-title-search DB SELECT LOOKUP [--keep]\n", stderr);
        return 2;
    }
    zq::bench::raw::Cells cells(5);
    const zq::bench::raw::Result run = zq::bench::raw::SqlitePlainSearch(argv[1], argv[2], argv[3], cells);
    if (!run.ok()) {
        std::fprintf(stderr, "zq-raw-title-search: %s\n", run.error.c_str());
        return 1;
    }
    if (keepOnly)
        return std::printf("%zu\n", cells.rows()) > 0 ? 0 : 1;
    std::string out = "零部件图号\t零部件图名\t所在产品\t产品名称\t旧图号\t来源类型\n";
    out.reserve(cells.bytes() + cells.rows() * 8);
    for (size_t r = 0; r < cells.rows(); ++r) {
        for (int c : {0, 1, 2, 4, 3}) {
            out += cells.at(r, c);
            out += '\t';
        }
        out += '\n';
    }
    return std::fwrite(out.data(), 1, out.size(), stdout) == out.size() ? 0 : 1;
}

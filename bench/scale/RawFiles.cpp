#include "RawBaselines.h"

#include <cstdio>
#include <cstring>
#include <fnmatch.h>

namespace zq::bench::raw {

Result FnmatchLoop(const std::vector<std::string>& texts, const std::string& pattern, std::vector<size_t>& matches)
{
    const double start = Now();
    for (size_t i = 0; i < texts.size(); ++i)
        if (fnmatch(pattern.c_str(), texts[i].c_str(), FNM_CASEFOLD) == 0)
            matches.push_back(i);
    return {Now() - start, {}};
}

namespace {

void appendLine(std::string& out, const Cells& cells, size_t row, bool aligned)
{
    for (int c = 0; c < cells.columns(); ++c) {
        const char* cell = cells.at(row, c);
        const size_t length = std::strlen(cell);
        if (!aligned && c > 0)
            out.push_back(',');
        out.append(cell, length);
        if (aligned && length < 30)
            out.append(30 - length, ' ');
    }
    out.append("\r\n");
}

} // namespace

Result WriteExport(const std::string& path, const Cells& header, const Cells& rows, bool aligned)
{
    const double start = Now();
    std::string bytes;
    bytes.reserve((rows.rows() + 2) * size_t(rows.columns()) * (aligned ? 32 : 16));
    appendLine(bytes, header, 0, aligned);
    bytes.append("\r\n");
    for (size_t r = 0; r < rows.rows(); ++r)
        appendLine(bytes, rows, r, aligned);
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return {-1, "cannot open " + path};
    const size_t written = std::fwrite(bytes.data(), 1, bytes.size(), file);
    const bool closed = std::fclose(file) == 0;
    if (written != bytes.size() || !closed)
        return {-1, "cannot write " + path};
    return {Now() - start, {}};
}

} // namespace zq::bench::raw

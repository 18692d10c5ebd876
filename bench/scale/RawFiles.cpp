#include "RawBaselines.h"

#include <cstdio>
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

Result WriteWithOneFwrite(const std::string& path, const std::string& bytes)
{
    const double start = Now();
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

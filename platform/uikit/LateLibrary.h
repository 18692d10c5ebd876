#pragma once
// A system library the process loads the first time it needs one of its functions, rather than
// when it starts: libcurl, libpq and unixODBC bring some thirty libraries of their own, which a
// search on SQLite with its files in a folder never uses, and loading them all took a fifth of
// the start-up. A missing library or function is told in error(), never a crash.
#include <QString>
#include <mutex>
#include <utility>

namespace zq {

class LateLibrary {
public:
    // `soname`: the file name the dynamic loader finds, e.g. "libcurl.so.4"; kept as given.
    explicit LateLibrary(const char* soname) : m_soname(soname) {}
    ~LateLibrary() = default;   // the library stays loaded for the rest of the process
    LateLibrary(const LateLibrary&) = delete;
    LateLibrary& operator=(const LateLibrary&) = delete;

    // The function's address, or nullptr when the library cannot be loaded or lacks it.
    void* symbol(const char* name);
    // Sets each function pointer to the function named after it: resolve(f, "f", g, "g", ...).
    // False as soon as one is missing.
    template <typename Function, typename... Rest>
    bool resolve(Function*& function, const char* name, Rest&&... rest)
    {
        function = reinterpret_cast<Function*>(symbol(name));
        if (!function)
            return false;
        if constexpr (sizeof...(Rest) > 0)
            return resolve(std::forward<Rest>(rest)...);
        return true;
    }
    // Why the last symbol() found nothing: the library that could not be loaded, or the function.
    QString error() const;

private:
    const char* m_soname;
    mutable std::mutex m_mutex;
    void* m_handle = nullptr;
    bool m_tried = false;
    QString m_error;
};

// A set of the library's functions (the struct Api), resolved by `resolveAll(library, api)` the
// first time they are asked for and kept for the process: nullptr when one is missing, with the
// reason in *error.
template <typename Api, typename ResolveAll>
const Api* LateFunctions(const char* soname, ResolveAll resolveAll, QString* error = nullptr)
{
    static LateLibrary library(soname);
    static const Api* const api = [&]() -> const Api* {
        static Api loaded;
        return resolveAll(library, loaded) ? &loaded : nullptr;
    }();
    if (!api && error)
        *error = library.error();
    return api;
}

} // namespace zq

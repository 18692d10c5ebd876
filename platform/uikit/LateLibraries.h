#pragma once
// The system libraries the programs load the first time they need them (see LateLibrary) rather
// than link: named once here, for the code that loads them and for the licence check, which
// ldd cannot see them through.
#include <array>

namespace zq::late {

inline constexpr const char* kCurl = "libcurl.so.4";
inline constexpr const char* kPq = "libpq.so.5";
inline constexpr const char* kOdbc = "libodbc.so.2";

inline constexpr std::array kAll{kCurl, kPq, kOdbc};

} // namespace zq::late

// A library loaded on first use: what is found, and what is told when the library or the
// function is missing.
#include "LateLibrary.h"

#include <gtest/gtest.h>

namespace {

TEST(LateLibrary, FindsFunctionsAndTellsWhatIsMissing)
{
    const struct {
        const char* soname;
        const char* function;
        bool found;
        const char* errorMentions;
    } cases[] = {
        {"libc.so.6", "strlen", true, ""},
        {"libc.so.6", "zq_no_such_function", false, "zq_no_such_function"},
        {"libzq-no-such-library.so.9", "strlen", false, "libzq-no-such-library.so.9"},
    };
    for (const auto& c : cases) {
        zq::LateLibrary library(c.soname);
        size_t (*function)(const char*) = nullptr;
        EXPECT_EQ(library.resolve(function, c.function), c.found) << c.soname << " " << c.function;
        if (c.found) {
            EXPECT_EQ(function("abc"), 3u);
            EXPECT_TRUE(library.error().isEmpty());
        } else {
            EXPECT_EQ(function, nullptr);
            EXPECT_TRUE(library.error().contains(QLatin1String(c.errorMentions))) << qPrintable(library.error());
        }
    }
}

// A library that could not be loaded is not tried again for every function.
TEST(LateLibrary, AMissingLibraryStaysMissing)
{
    zq::LateLibrary library("libzq-no-such-library.so.9");
    EXPECT_EQ(library.symbol("a"), nullptr);
    EXPECT_EQ(library.symbol("b"), nullptr);
    EXPECT_TRUE(library.error().contains(QLatin1String("cannot be loaded")));
}

} // namespace

#include "SqliteSearchFunctions.h"
#include "Fts5FoldingTokenizer.h"
#include "FoldedUtf8.h"
#include "LikePattern.h"
#include "SearchFolding.h"

#include <sqlite3.h>

#include <memory>
#include <cstring>
#include <new>
#include <string>

namespace zq::db {

namespace {

constexpr int kFunctionFlags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;

// The folded text of the row at hand; kept between calls, so a scan allocates once.
std::u32string& FoldedText()
{
    thread_local std::u32string text;
    return text;
}

// The pattern compiled once per statement while it stays the same (SQLite drops it when it changes).
const LikePattern* CompiledPattern(sqlite3_context* context, const unsigned char* pattern, char32_t escape)
{
    auto* kept = static_cast<LikePattern*>(sqlite3_get_auxdata(context, 0));
    if (kept && kept->escape() == escape)
        return kept;
    auto* compiled = new (std::nothrow) LikePattern(pattern, escape, &FoldCaseOf);
    if (!compiled)
        return nullptr;
    sqlite3_set_auxdata(context, 0, compiled, [](void* p) { delete static_cast<LikePattern*>(p); });
    // SQLite may have dropped it at once (when the pattern is not a constant) and read it back as null.
    return static_cast<LikePattern*>(sqlite3_get_auxdata(context, 0));
}

// like(pattern, text [, escape]): SQLite's LIKE, letters of every script compared folded.
void Like(sqlite3_context* context, int argc, sqlite3_value** argv)
{
    sqlite3* db = sqlite3_context_db_handle(context);
    if (sqlite3_value_bytes(argv[0]) > sqlite3_limit(db, SQLITE_LIMIT_LIKE_PATTERN_LENGTH, -1)) {
        sqlite3_result_error(context, "LIKE or GLOB pattern too complex", -1);
        return;
    }
    char32_t escape = 0;
    if (argc == 3) {
        const unsigned char* text = sqlite3_value_text(argv[2]);
        if (!text)
            return;
        const unsigned char* p = text;
        if (*p)
            escape = ReadUtf8(p);
        if (!*text || *p) {
            sqlite3_result_error(context, "ESCAPE expression must be a single character", -1);
            return;
        }
    }
    const unsigned char* pattern = sqlite3_value_text(argv[0]);
    const unsigned char* text = sqlite3_value_text(argv[1]);
    if (!pattern || !text)
        return;
    std::u32string& folded = FoldedText();
    FoldUtf8(text, size_t(sqlite3_value_bytes(argv[1])), &FoldCaseOf, folded);
    if (const LikePattern* compiled = CompiledPattern(context, pattern, escape)) {
        sqlite3_result_int(context, compiled->matches(folded) ? 1 : 0);
        return;
    }
    // Not kept (no memory to spare, or a pattern that changes from row to row): compiled for this row.
    sqlite3_result_int(context, LikePattern(pattern, escape, &FoldCaseOf).matches(folded) ? 1 : 0);
}

// The 1-based character position of the folded word in the folded text, 0 when it does not
// occur. The text is folded a piece at a time and searched as it goes, so a word near the start
// costs little of a long text; the folded UTF-8 is searched byte by byte, which finds whole
// characters only (no character's encoding starts inside another's).
sqlite3_int64 FoldedPosition(const unsigned char* text, size_t bytes, const std::string& word)
{
    constexpr size_t kPiece = 4096;
    thread_local std::string folded;
    folded.clear();
    const unsigned char* end = text + bytes;
    size_t searchedTo = 0;   // no match starts before this byte of `folded`
    for (const unsigned char* p = text;;) {
        p = FoldUtf8Bytes(p, end, kPiece, &FoldForSearchOf, folded);
        const auto* hit = static_cast<const char*>(
            memmem(folded.data() + searchedTo, folded.size() - searchedTo, word.data(), word.size()));
        if (hit) {
            sqlite3_int64 characters = 0;
            for (const char* c = folded.data(); c < hit; ++c)
                characters += (static_cast<unsigned char>(*c) & 0xC0) != 0x80;
            return characters + 1;
        }
        if (p >= end || !*p)
            return 0;
        searchedTo = folded.size() >= word.size() ? folded.size() - word.size() + 1 : 0;
    }
}

// zq_folded_instr(text, word): the 1-based character position of the word in the text, both
// folded for search; 0 when it does not occur, NULL when either is NULL.
void FoldedInstr(sqlite3_context* context, int, sqlite3_value** argv)
{
    const unsigned char* text = sqlite3_value_text(argv[0]);
    const unsigned char* word = sqlite3_value_text(argv[1]);
    if (!text || !word)
        return;
    thread_local std::string foldedWord;
    foldedWord.clear();
    const size_t wordBytes = size_t(sqlite3_value_bytes(argv[1]));
    FoldUtf8Bytes(word, word + wordBytes, wordBytes, &FoldForSearchOf, foldedWord);
    sqlite3_result_int64(context, FoldedPosition(text, size_t(sqlite3_value_bytes(argv[0])), foldedWord));
}

thread_local int g_opening = 0;

// Called by SQLite for every connection any code in the process opens.
int OnOpen(sqlite3* db, char**, const sqlite3_api_routines*)
{
    if (g_opening > 0)
        RegisterSearchFunctions(db);
    return SQLITE_OK;
}

} // namespace

bool RegisterSearchFunctions(sqlite3* db)
{
    bool ok = sqlite3_create_function_v2(db, "like", 2, kFunctionFlags, nullptr, &Like, nullptr, nullptr, nullptr)
              == SQLITE_OK;
    ok = sqlite3_create_function_v2(db, "like", 3, kFunctionFlags, nullptr, &Like, nullptr, nullptr, nullptr) == SQLITE_OK
         && ok;
    ok = sqlite3_create_function_v2(db, "zq_folded_instr", 2, kFunctionFlags, nullptr, &FoldedInstr, nullptr, nullptr,
                                    nullptr)
             == SQLITE_OK
         && ok;
    // Without FTS5 the content index cannot be made here; its own message says so.
    RegisterFoldingTokenizer(db);
    return ok;
}

namespace {

// SQLite's list of entry points is the process's: ours leaves it when this library goes (a host
// may unload the module), so no later open anywhere calls into unloaded code.
class AutoExtension {
public:
    AutoExtension() { sqlite3_auto_extension(entry()); }
    ~AutoExtension() { sqlite3_cancel_auto_extension(entry()); }
    AutoExtension(const AutoExtension&) = delete;
    AutoExtension& operator=(const AutoExtension&) = delete;

private:
    static void (*entry())() { return reinterpret_cast<void (*)()>(&OnOpen); }
};

} // namespace

SearchFunctionsOnOpen::SearchFunctionsOnOpen()
{
    static const AutoExtension registered;
    ++g_opening;
}

SearchFunctionsOnOpen::~SearchFunctionsOnOpen()
{
    --g_opening;
}

} // namespace zq::db

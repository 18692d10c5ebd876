#include "Fts5FoldingTokenizer.h"
#include "FoldedUtf8.h"
#include "SearchFolding.h"

#include <sqlite3.h>

#include <new>
#include <string>
#include <vector>

namespace zq::db {

namespace {

// FTS5's extension interface, version 2, as SQLite publishes it (Debian installs no fts5.h).
struct Fts5Tokenizer;
struct fts5_tokenizer {
    int (*xCreate)(void*, const char** azArg, int nArg, Fts5Tokenizer** ppOut);
    void (*xDelete)(Fts5Tokenizer*);
    int (*xTokenize)(Fts5Tokenizer*, void* pCtx, int flags, const char* pText, int nText,
                     int (*xToken)(void* pCtx, int tflags, const char* pToken, int nToken, int iStart, int iEnd));
};
struct fts5_api {
    int iVersion;
    int (*xCreateTokenizer)(fts5_api* pApi, const char* zName, void* pUserData, fts5_tokenizer* pTokenizer,
                            void (*xDestroy)(void*));
    int (*xFindTokenizer)(fts5_api* pApi, const char* zName, void** ppUserData, fts5_tokenizer* pTokenizer);
    void* xCreateFunction;
};

using TokenCallback = int (*)(void* pCtx, int tflags, const char* pToken, int nToken, int iStart, int iEnd);

struct FoldingTokenizer {
    fts5_tokenizer trigram;
    Fts5Tokenizer* instance;
};

// The folded text handed to the trigram tokenizer, and where each of its characters starts in
// the original (only kept when the two differ in length).
struct FoldedText {
    std::string utf8;
    std::vector<int> originalOffset;   // by byte offset in utf8, at character starts; one past the end too

    void fold(const char* text, int size)
    {
        utf8.clear();
        originalOffset.clear();
        utf8.reserve(size_t(size));
        const auto* begin = reinterpret_cast<const unsigned char*>(text);
        const auto* end = begin + size;
        for (const unsigned char* p = begin; p < end;) {
            p = FoldUtf8Bytes(p, end, size_t(end - p), &FoldForSearchOf, utf8);
            if (p < end) {   // a NUL inside the text is passed on as it is
                utf8.push_back('\0');
                ++p;
            }
        }
        if (int(utf8.size()) == size)
            return;
        // Some character changed its length ("Ａ" → "a"): the offsets are mapped back.
        originalOffset.assign(utf8.size() + 1, size);
        std::string one;
        size_t folded = 0;
        for (const unsigned char* p = begin; p < end;) {
            originalOffset[folded] = int(p - begin);
            one.clear();
            AppendUtf8(one, FoldForSearch(ReadUtf8(p, end)));
            folded += one.size();
        }
    }

    int original(int offset) const
    {
        return originalOffset.empty() ? offset : originalOffset[size_t(offset)];
    }
};

struct TokenBridge {
    void* context;
    TokenCallback token;
    const FoldedText* text;
};

int PassToken(void* context, int flags, const char* token, int size, int start, int end)
{
    const auto* bridge = static_cast<const TokenBridge*>(context);
    return bridge->token(bridge->context, flags, token, size, bridge->text->original(start), bridge->text->original(end));
}

int Create(void* api, const char** /*arguments*/, int /*count*/, Fts5Tokenizer** out)
{
    auto* fts5 = static_cast<fts5_api*>(api);
    void* trigramData = nullptr;
    fts5_tokenizer trigram{};
    int rc = fts5->xFindTokenizer(fts5, "trigram", &trigramData, &trigram);
    if (rc != SQLITE_OK)
        return rc;
    // The text comes folded: the trigram tokenizer must not fold it again by rules of its own.
    const char* caseSensitive[] = {"case_sensitive", "1"};
    Fts5Tokenizer* instance = nullptr;
    rc = trigram.xCreate(trigramData, caseSensitive, 2, &instance);
    if (rc != SQLITE_OK)
        return rc;
    auto* tokenizer = new (std::nothrow) FoldingTokenizer{trigram, instance};
    if (!tokenizer) {
        trigram.xDelete(instance);
        return SQLITE_NOMEM;
    }
    *out = reinterpret_cast<Fts5Tokenizer*>(tokenizer);
    return SQLITE_OK;
}

void Delete(Fts5Tokenizer* handle)
{
    auto* tokenizer = reinterpret_cast<FoldingTokenizer*>(handle);
    tokenizer->trigram.xDelete(tokenizer->instance);
    delete tokenizer;
}

int Tokenize(Fts5Tokenizer* handle, void* context, int flags, const char* text, int size, TokenCallback token)
{
    auto* tokenizer = reinterpret_cast<FoldingTokenizer*>(handle);
    FoldedText folded;
    try {
        folded.fold(text, size);
    } catch (const std::bad_alloc&) {
        return SQLITE_NOMEM;
    }
    TokenBridge bridge{context, token, &folded};
    return tokenizer->trigram.xTokenize(tokenizer->instance, &bridge, flags, folded.utf8.data(), int(folded.utf8.size()),
                                        &PassToken);
}

fts5_api* Fts5Api(sqlite3* db)
{
    fts5_api* api = nullptr;
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT fts5(?1)", -1, &statement, nullptr) != SQLITE_OK)
        return nullptr;
    sqlite3_bind_pointer(statement, 1, static_cast<void*>(&api), "fts5_api_ptr", nullptr);
    sqlite3_step(statement);
    sqlite3_finalize(statement);
    return api && api->iVersion >= 2 ? api : nullptr;
}

} // namespace

bool RegisterFoldingTokenizer(sqlite3* db)
{
    fts5_api* api = Fts5Api(db);
    if (!api)
        return false;
    void* data = nullptr;
    fts5_tokenizer trigram{};
    if (api->xFindTokenizer(api, "trigram", &data, &trigram) != SQLITE_OK)
        return false;
    fts5_tokenizer folding{&Create, &Delete, &Tokenize};
    return api->xCreateTokenizer(api, kFoldingTokenizer, api, &folding, nullptr) == SQLITE_OK;
}

} // namespace zq::db

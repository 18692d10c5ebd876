#include "RowTexts.h"
#include <QStringDecoder>
#include <QVarLengthArray>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

// Sizes are in bytes after the header. A text starts at an even byte with its length in one
// 16-bit word below 0x4000 characters, otherwise in two (the first flagged with 0x8000); 0x4000
// in the first word marks a text held in Latin-1, whose bytes are padded to an even count.
struct RowTexts::Header {
    quint32 count;
    quint32 used;
    quint32 capacity;   // the top bit marks a block an arena holds

    static constexpr quint32 kInArena = 0x80000000u;
    quint32 room() const { return capacity & ~kInArena; }
    bool inArena() const { return (capacity & kInArena) != 0; }

    char* bytes() { return reinterpret_cast<char*>(this + 1); }
    const char* bytes() const { return reinterpret_cast<const char*>(this + 1); }
};

namespace {

constexpr qsizetype kMaxLength = 0x3FFFFFFF;
constexpr quint16 kLongLength = 0x8000;
constexpr quint16 kLatin1 = 0x4000;
constexpr qsizetype kShortLimit = 0x4000;
using Views = QVarLengthArray<QAnyStringView, 16>;

const char* readEntry(const char* at, QAnyStringView* text)
{
    quint16 word;
    std::memcpy(&word, at, 2);
    at += 2;
    const bool latin1 = (word & kLatin1) != 0;
    qsizetype length = word & (kLatin1 - 1);
    if (word & kLongLength) {
        quint16 low;
        std::memcpy(&low, at, 2);
        at += 2;
        length = (length << 16) | low;
    }
    if (latin1) {
        *text = QLatin1StringView(at, length);
        return at + ((length + 1) & ~qsizetype(1));
    }
    *text = QStringView(reinterpret_cast<const char16_t*>(at), length);
    return at + 2 * length;
}

quint32 checkedBytes(qsizetype bytes)
{
    // Below 2 GiB: a block's capacity keeps its top bit for the arena's mark.
    if (bytes < 0 || bytes > qsizetype(std::numeric_limits<qint32>::max()))
        throw std::bad_alloc();
    return quint32(bytes);
}

// UTF-8 decoded into `to`, which has room for as many characters as the text has bytes, as
// QString::fromUtf8 reads it (invalid bytes as U+FFFD, a leading byte-order mark dropped).
// Returns the characters written.
qsizetype decodeUtf8WithQt(QByteArrayView utf8, char16_t* to)
{
    // Stateless: a sequence cut short at the end is read as U+FFFD, not kept for more input.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QChar* end = decoder.appendToBuffer(reinterpret_cast<QChar*>(to), utf8);
    return end - reinterpret_cast<const QChar*>(to);
}

// The same, most texts of a database (ASCII and the two- and three-byte sequences of Latin and
// Chinese script, well formed) decoded directly; any other text is left to Qt's decoder whole.
qsizetype decodeUtf8(QAnyStringView text, char16_t* to)
{
    const QByteArrayView utf8(static_cast<const char*>(text.data()), text.size());
    const auto* at = reinterpret_cast<const uchar*>(utf8.data());
    const auto* end = at + utf8.size();
    if (utf8.startsWith("\xEF\xBB\xBF"))
        return decodeUtf8WithQt(utf8, to);
    char16_t* out = to;
    while (at < end) {
        const uchar lead = *at;
        if (lead < 0x80) {
            *out++ = lead;
            ++at;
        } else if (lead >= 0xC2 && lead < 0xE0 && end - at >= 2 && (at[1] & 0xC0) == 0x80) {
            *out++ = char16_t(((lead & 0x1F) << 6) | (at[1] & 0x3F));
            at += 2;
        } else if (lead >= 0xE0 && lead < 0xF0 && end - at >= 3 && (at[1] & 0xC0) == 0x80 && (at[2] & 0xC0) == 0x80) {
            const char16_t unit = char16_t(((lead & 0x0F) << 12) | ((at[1] & 0x3F) << 6) | (at[2] & 0x3F));
            if (unit < 0x800 || (unit >= 0xD800 && unit <= 0xDFFF))
                return decodeUtf8WithQt(utf8, to);   // overlong, or a surrogate
            *out++ = unit;
            at += 3;
        } else {
            return decodeUtf8WithQt(utf8, to);
        }
    }
    return out - to;
}

} // namespace

// Texts measured in the form a row holds them: one byte a character (ASCII UTF-8 as it comes,
// Latin-1, or UTF-16 whose characters all fit, narrowed as it is written) or UTF-16 (other
// UTF-8 decoded into room kept here). Long texts are cut to the longest length a row holds.
class RowTexts::Held {
public:
    template <typename View>
    explicit Held(std::span<const View> texts)
    {
        if constexpr (std::is_same_v<View, QAnyStringView>) {
            // UTF-16 never takes more units than UTF-8 takes bytes: the room is made at once,
            // so that the texts decoded into it stay put.
            qsizetype room = 0;
            for (const QAnyStringView& text : texts)
                if (IsUtf8(text))
                    room += text.size();
            m_decoded.resize(room);
        }
        m_texts.reserve(qsizetype(texts.size()));
        for (const View& text : texts)
            add(text);
    }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;

    qsizetype count() const { return m_texts.size(); }
    qsizetype bytes() const { return m_bytes; }   // the entries' bytes, lengths and padding included

    // Writes every entry at `at`, which has bytes() free; returns the end.
    char* write(char* at) const
    {
        for (const Text& text : m_texts)
            at = writeEntry(at, text);
        return at;
    }

    // An empty text's entry, two bytes.
    static char* writeEmpty(char* at) { return writeEntry(at, Text{nullptr, 0, Form::Latin1}); }

private:
    enum class Form : quint8 { Latin1, NarrowedUtf16, Utf16 };
    struct Text {
        const void* data;
        qsizetype length;
        Form form;
    };

    void add(QAnyStringView text)
    {
        text.visit([this](auto view) {
            using View = std::decay_t<decltype(view)>;
            if constexpr (std::is_same_v<View, QStringView>) {
                addUtf16(view.utf16(), view.size());
            } else if constexpr (std::is_same_v<View, QLatin1StringView>) {
                addText({view.data(), view.size(), Form::Latin1});
            } else if (QtPrivate::isAscii(QLatin1StringView(view.data(), view.size()))) {
                addText({view.data(), view.size(), Form::Latin1});
            } else {
                char16_t* to = m_decoded.data() + m_decodedUsed;
                const qsizetype length = decodeUtf8(view, to);
                m_decodedUsed += length;
                addUtf16(to, length);
            }
        });
    }
    void add(QStringView text) { addUtf16(text.utf16(), text.size()); }
    void addUtf16(const char16_t* units, qsizetype length)
    {
        length = std::min(length, kMaxLength);
        const bool narrow = QtPrivate::isLatin1(QStringView(units, length));
        addText({units, length, narrow ? Form::NarrowedUtf16 : Form::Utf16});
    }
    void addText(Text text)
    {
        text.length = std::min(text.length, kMaxLength);
        const qsizetype header = text.length < kShortLimit ? 2 : 4;
        m_bytes += header + (text.form == Form::Utf16 ? 2 * text.length : (text.length + 1) & ~qsizetype(1));
        m_texts.append(text);
    }

    static char* writeEntry(char* at, const Text& text)
    {
        const qsizetype length = text.length;
        const bool oneByte = text.form != Form::Utf16;
        const quint16 flag = oneByte ? kLatin1 : 0;
        quint16 words[2];
        int wordCount = 1;
        if (length < kShortLimit) {
            words[0] = quint16(flag | length);
        } else {
            words[0] = quint16(kLongLength | flag | (length >> 16));
            words[1] = quint16(length & 0xFFFF);
            wordCount = 2;
        }
        std::memcpy(at, words, size_t(wordCount) * 2);
        at += wordCount * 2;
        switch (text.form) {
        case Form::Utf16:
            if (length > 0)
                std::memcpy(at, text.data, size_t(length) * 2);
            return at + 2 * length;
        case Form::Latin1:
            if (length > 0)
                std::memcpy(at, text.data, size_t(length));
            break;
        case Form::NarrowedUtf16: {
            const auto* from = static_cast<const char16_t*>(text.data);
            for (qsizetype i = 0; i < length; ++i)
                at[i] = char(from[i]);
            break;
        }
        }
        if (length & 1)
            at[length] = 0;
        return at + ((length + 1) & ~qsizetype(1));
    }

    QVarLengthArray<Text, 16> m_texts;
    QVarLengthArray<char16_t, 256> m_decoded;
    qsizetype m_decodedUsed = 0;
    qsizetype m_bytes = 0;
};

RowTexts::RowTexts(std::span<const QStringView> texts, qsizetype spare)
{
    rebuild(Held(texts), spare);
}

RowTexts::RowTexts(std::span<const QAnyStringView> texts, qsizetype spare)
{
    rebuild(Held(texts), spare);
}

RowTexts::RowTexts(std::span<const QAnyStringView> texts, Arena& arena)
{
    rebuild(Held(texts), 0, &arena);
}

RowTexts& RowTexts::operator=(RowTexts&& other) noexcept
{
    if (this != &other) {
        release();
        m_block = other.m_block;
        other.m_block = nullptr;
    }
    return *this;
}

RowTexts::~RowTexts()
{
    release();
}

void RowTexts::release()
{
    if (m_block && !m_block->inArena())
        std::free(m_block);
    m_block = nullptr;
}

RowTexts::Arena::~Arena()
{
    reset();
}

void* RowTexts::Arena::allocate(std::size_t bytes)
{
    bytes = (bytes + 3) & ~std::size_t(3);
    if (bytes > kChunkBytes / 8)
        return nullptr;
    if (bytes > m_left) {
        m_chunks.reserve(m_chunks.size() + 1);
        void* chunk = std::malloc(kChunkBytes);
        if (!chunk)
            throw std::bad_alloc();
        m_chunks.push_back(chunk);
        m_next = static_cast<char*>(chunk);
        m_left = kChunkBytes;
    }
    void* block = m_next;
    m_next += bytes;
    m_left -= bytes;
    return block;
}

void RowTexts::Arena::reset()
{
    for (void* chunk : m_chunks)
        std::free(chunk);
    m_chunks.clear();
    m_next = nullptr;
    m_left = 0;
}

qsizetype RowTexts::size() const
{
    return m_block ? qsizetype(m_block->count) : 0;
}

qsizetype RowTexts::spare() const
{
    return m_block ? qsizetype(m_block->room()) - qsizetype(m_block->used) : 0;
}

std::size_t RowTexts::blockBytes() const
{
    return m_block ? sizeof(Header) + m_block->used : 0;
}

QAnyStringView RowTexts::at(qsizetype index) const
{
    if (index < 0 || index >= size())
        return QStringView();
    const char* entry = m_block->bytes();
    QAnyStringView text;
    for (qsizetype i = 0; i <= index; ++i)
        entry = readEntry(entry, &text);
    return text;
}

void RowTexts::viewsInto(std::span<QAnyStringView> views) const
{
    const qsizetype held = std::min(size(), qsizetype(views.size()));
    const char* entry = held > 0 ? m_block->bytes() : nullptr;
    for (qsizetype i = 0; i < held; ++i)
        entry = readEntry(entry, &views[size_t(i)]);
    std::fill(views.begin() + held, views.end(), QAnyStringView(QStringView()));
}

bool RowTexts::holds(QAnyStringView text) const
{
    if (!m_block || text.isEmpty())
        return false;
    const auto begin = reinterpret_cast<std::uintptr_t>(m_block->bytes());
    const auto end = begin + m_block->room();
    const auto at = reinterpret_cast<std::uintptr_t>(text.data());
    return at >= begin && at < end;
}

void RowTexts::rebuild(const Held& texts, qsizetype spare, Arena* arena)
{
    const qsizetype used = texts.bytes();
    quint32 capacity = checkedBytes(used + std::max<qsizetype>(spare, 0));
    auto* block = arena ? static_cast<Header*>(arena->allocate(sizeof(Header) + capacity)) : nullptr;
    if (block) {
        capacity |= Header::kInArena;
    } else {
        block = static_cast<Header*>(std::malloc(sizeof(Header) + capacity));
        if (!block)
            throw std::bad_alloc();
    }
    block->count = checkedBytes(texts.count());
    block->used = quint32(used);
    block->capacity = capacity;
    // The texts may lie in the old block, so it goes only once they are copied.
    texts.write(block->bytes());
    release();
    m_block = block;
}

void RowTexts::reserveMore(qsizetype bytes)
{
    if (spare() >= bytes)
        return;
    if (!m_block) {
        rebuild(Held(std::span<const QAnyStringView>()), bytes);
        return;
    }
    // Doubling keeps a row filled one cell at a time to a few reallocations.
    const qsizetype used = m_block->used;
    const quint32 capacity = checkedBytes(std::max(used + bytes, 2 * qsizetype(m_block->room())));
    if (m_block->inArena()) {
        // The arena's block stays where it is (the arena frees it); the row moves to one of its own.
        auto* block = static_cast<Header*>(std::malloc(sizeof(Header) + capacity));
        if (!block)
            throw std::bad_alloc();
        std::memcpy(block, m_block, sizeof(Header) + size_t(used));
        block->capacity = capacity;
        m_block = block;
        return;
    }
    auto* block = static_cast<Header*>(std::realloc(m_block, sizeof(Header) + capacity));
    if (!block)
        throw std::bad_alloc();
    block->capacity = capacity;
    m_block = block;
}

void RowTexts::replace(qsizetype index, QAnyStringView text)
{
    if (index < 0)
        return;
    const qsizetype count = size();
    if (index >= count) {
        // Appending, after any empty texts up to the index: in place when there is room. Growing
        // may move the block, so a text taken from this row is copied first.
        if (holds(text)) {
            const QString copy = text.toString();
            replace(index, copy);
            return;
        }
        const qsizetype padding = index - count;
        const Held held(std::span<const QAnyStringView>(&text, 1));
        reserveMore(padding * 2 + held.bytes());
        char* at = m_block->bytes() + m_block->used;
        for (qsizetype i = 0; i < padding; ++i)
            at = Held::writeEmpty(at);
        at = held.write(at);
        m_block->used = quint32(at - m_block->bytes());
        m_block->count = checkedBytes(index + 1);
        return;
    }
    Views views(count);
    viewsInto(views);
    if (views[index] == text)
        return;
    views[index] = text;
    rebuild(Held(std::span<const QAnyStringView>(views)), spare());
}

void RowTexts::insert(qsizetype index, QAnyStringView text)
{
    const qsizetype count = size();
    if (index < 0)
        return;
    if (index >= count) {
        replace(index, text);
        return;
    }
    Views views(count);
    viewsInto(views);
    views.insert(index, text);
    rebuild(Held(std::span<const QAnyStringView>(views)), spare());
}

void RowTexts::remove(qsizetype index)
{
    const qsizetype count = size();
    if (index < 0 || index >= count)
        return;
    Views views(count);
    viewsInto(views);
    views.remove(index);
    rebuild(Held(std::span<const QAnyStringView>(views)), spare());
}

#pragma once
// The texts of one list row, held in a single allocation: a short header, then each text as
// its length followed by its characters. A long list then costs one block a row instead
// of a list plus one string a cell, and walking its rows reads memory that lies together.
// A text whose characters all fit in Latin-1 (codes, numbers, dates) is held one byte a
// character, any other in UTF-16: a text reads back in the form it is held in.
//
// Texts past the last one held read as empty. Appending a text (the order in which a list is
// filled cell by cell) grows the block in place when there is room, and doubles it otherwise.
#include <QAnyStringView>
#include <QString>
#include <QStringView>
#include <cstddef>
#include <span>
#include <type_traits>
#include <vector>

// Whether a text is given as UTF-8 (a database's own bytes), not Latin-1 or UTF-16.
inline bool IsUtf8(QAnyStringView text)
{
    return text.visit([](auto view) {
        using View = std::decay_t<decltype(view)>;
        return !std::is_same_v<View, QLatin1StringView> && !std::is_same_v<View, QStringView>;
    });
}

// Whether a text read from a row is held in Latin-1 (otherwise it is UTF-16).
inline bool HeldInLatin1(QAnyStringView text)
{
    return text.visit([](auto view) { return std::is_same_v<std::decay_t<decltype(view)>, QLatin1StringView>; });
}

// A text read from a row, as UTF-16: a view of it when it is held so, else its Latin-1 widened
// into `to`, which must have room for text.size() characters.
inline QStringView AsUtf16(QAnyStringView text, char16_t* to)
{
    if (!HeldInLatin1(text))
        return QStringView(static_cast<const char16_t*>(text.data()), text.size());
    const auto* from = static_cast<const uchar*>(text.data());
    for (qsizetype i = 0; i < text.size(); ++i)
        to[i] = char16_t(from[i]);
    return QStringView(to, text.size());
}

class RowTexts {
public:
    // Blocks for many rows at once: cut one after another from large chunks, which all go back
    // together when the arena is reset or destroyed. A row made in an arena costs no allocation
    // of its own and no allocator's header; the rows must go before their arena does. A row
    // edited so that it outgrows its block moves to a block of its own.
    class Arena {
    public:
        Arena() = default;
        Arena(const Arena&) = delete;
        Arena& operator=(const Arena&) = delete;
        ~Arena();
        // Room for `bytes` (a multiple of 4), or null when a block that size is better made alone.
        void* allocate(std::size_t bytes);
        void reset();   // every block given so far is gone
        std::size_t chunkCount() const { return m_chunks.size(); }

    private:
        static constexpr std::size_t kChunkBytes = 64 * 1024;
        std::vector<void*> m_chunks;
        char* m_next = nullptr;
        std::size_t m_left = 0;
    };

    RowTexts() = default;
    // Holds the texts, with room for `spare` more bytes to be appended later.
    explicit RowTexts(std::span<const QStringView> texts, qsizetype spare = 0);
    // The same from texts of any encoding: UTF-8 (a database's own bytes) is held as what it
    // decodes to, ASCII one byte a character as it comes.
    explicit RowTexts(std::span<const QAnyStringView> texts, qsizetype spare = 0);
    // The same in a block of the arena (of its own when the arena declines a block that size).
    RowTexts(std::span<const QAnyStringView> texts, Arena& arena);
    RowTexts(RowTexts&& other) noexcept : m_block(other.m_block) { other.m_block = nullptr; }
    RowTexts& operator=(RowTexts&& other) noexcept;
    RowTexts(const RowTexts&) = delete;
    RowTexts& operator=(const RowTexts&) = delete;
    ~RowTexts();

    qsizetype size() const;
    QAnyStringView at(qsizetype index) const;   // Latin-1 or UTF-16; valid until the row changes
    // Views of texts [0, views.size()) in one pass; empty views past the last text.
    void viewsInto(std::span<QAnyStringView> views) const;

    // Sets the text at `index`, padding with empty texts up to it.
    void replace(qsizetype index, QAnyStringView text);
    // Inserts a text before `index` (which may be size()).
    void insert(qsizetype index, QAnyStringView text);
    void remove(qsizetype index);

    // The block, for reading ahead: its address and the bytes in use.
    const void* blockAddress() const { return m_block; }
    std::size_t blockBytes() const;

private:
    struct Header;
    class Held;
    // Replaces the block with one holding `texts`, with room for `spare` more bytes; in a block
    // of the arena when one is given and it has one that size.
    void rebuild(const Held& texts, qsizetype spare, Arena* arena = nullptr);
    void release();   // gives the block back, unless an arena holds it
    // Room for `bytes` more after the last text.
    void reserveMore(qsizetype bytes);
    qsizetype spare() const;
    bool holds(QAnyStringView text) const;   // whether the text lies in this row's block

    Header* m_block = nullptr;
};

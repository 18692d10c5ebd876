#pragma once
// The texts of one list row, held in a single allocation: a short header, then each text as
// its length followed by its UTF-16 characters. A long list then costs one block a row instead
// of a list plus one string a cell, and walking its rows reads memory that lies together.
//
// Texts past the last one held read as empty. Appending a text (the order in which a list is
// filled cell by cell) grows the block in place when there is room, and doubles it otherwise.
#include <QString>
#include <QStringView>
#include <cstddef>
#include <span>

class RowTexts {
public:
    RowTexts() = default;
    // Holds the texts, with room for `spare` more characters to be appended later.
    explicit RowTexts(std::span<const QStringView> texts, qsizetype spare = 0);
    RowTexts(RowTexts&& other) noexcept : m_block(other.m_block) { other.m_block = nullptr; }
    RowTexts& operator=(RowTexts&& other) noexcept;
    RowTexts(const RowTexts&) = delete;
    RowTexts& operator=(const RowTexts&) = delete;
    ~RowTexts();

    qsizetype size() const;
    QStringView at(qsizetype index) const;   // valid until the row changes
    // Views of texts [0, views.size()) in one pass; empty views past the last text.
    void viewsInto(std::span<QStringView> views) const;

    // Sets the text at `index`, padding with empty texts up to it.
    void replace(qsizetype index, QStringView text);
    // Inserts a text before `index` (which may be size()).
    void insert(qsizetype index, QStringView text);
    void remove(qsizetype index);

    // The block, for reading ahead: its address and the bytes in use.
    const void* blockAddress() const { return m_block; }
    std::size_t blockBytes() const;

private:
    struct Header;
    // Replaces the block with one holding `texts`, with room for `spare` more characters.
    void rebuild(std::span<const QStringView> texts, qsizetype spare);
    // Room for `units` more characters after the last text.
    void reserveMore(qsizetype units);
    qsizetype spare() const;
    bool holds(QStringView text) const;   // whether the text lies in this row's block

    Header* m_block = nullptr;
};

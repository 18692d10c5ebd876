#include "RowTexts.h"
#include <QVarLengthArray>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

// Counts are in UTF-16 units after the header. A text's length takes one unit below 0x8000,
// otherwise two (the high unit flagged with 0x8000), so a text holds at most 2^31 - 1 units.
struct RowTexts::Header {
    quint32 count;
    quint32 used;
    quint32 capacity;

    char16_t* units() { return reinterpret_cast<char16_t*>(this + 1); }
    const char16_t* units() const { return reinterpret_cast<const char16_t*>(this + 1); }
};

namespace {

constexpr qsizetype kMaxLength = 0x7FFFFFFF;
using Views = QVarLengthArray<QStringView, 16>;

qsizetype lengthOf(QStringView text)
{
    return std::min(text.size(), kMaxLength);
}

qsizetype entryUnits(QStringView text)
{
    const qsizetype length = lengthOf(text);
    return (length < 0x8000 ? 1 : 2) + length;
}

char16_t* writeEntry(char16_t* at, QStringView text)
{
    const qsizetype length = lengthOf(text);
    if (length < 0x8000) {
        *at++ = char16_t(length);
    } else {
        *at++ = char16_t(0x8000 | (length >> 16));
        *at++ = char16_t(length & 0xFFFF);
    }
    if (length > 0)
        std::memcpy(at, text.utf16(), size_t(length) * sizeof(char16_t));
    return at + length;
}

const char16_t* readEntry(const char16_t* at, QStringView* text)
{
    qsizetype length = *at++;
    if (length & 0x8000)
        length = ((length & 0x7FFF) << 16) | *at++;
    *text = QStringView(at, length);
    return at + length;
}

quint32 checkedUnits(qsizetype units)
{
    if (units < 0 || units > qsizetype(std::numeric_limits<quint32>::max()))
        throw std::bad_alloc();
    return quint32(units);
}

} // namespace

RowTexts::RowTexts(std::span<const QStringView> texts, qsizetype spare)
{
    rebuild(texts, spare);
}

RowTexts& RowTexts::operator=(RowTexts&& other) noexcept
{
    if (this != &other) {
        std::free(m_block);
        m_block = other.m_block;
        other.m_block = nullptr;
    }
    return *this;
}

RowTexts::~RowTexts()
{
    std::free(m_block);
}

qsizetype RowTexts::size() const
{
    return m_block ? qsizetype(m_block->count) : 0;
}

qsizetype RowTexts::spare() const
{
    return m_block ? qsizetype(m_block->capacity) - qsizetype(m_block->used) : 0;
}

std::size_t RowTexts::blockBytes() const
{
    return m_block ? sizeof(Header) + m_block->used * sizeof(char16_t) : 0;
}

QStringView RowTexts::at(qsizetype index) const
{
    if (index < 0 || index >= size())
        return {};
    const char16_t* entry = m_block->units();
    QStringView text;
    for (qsizetype i = 0; i <= index; ++i)
        entry = readEntry(entry, &text);
    return text;
}

void RowTexts::viewsInto(std::span<QStringView> views) const
{
    const qsizetype held = std::min(size(), qsizetype(views.size()));
    const char16_t* entry = held > 0 ? m_block->units() : nullptr;
    for (qsizetype i = 0; i < held; ++i)
        entry = readEntry(entry, &views[size_t(i)]);
    std::fill(views.begin() + held, views.end(), QStringView());
}

bool RowTexts::holds(QStringView text) const
{
    if (!m_block || text.isEmpty())
        return false;
    const auto begin = reinterpret_cast<std::uintptr_t>(m_block->units());
    const auto end = begin + m_block->capacity * sizeof(char16_t);
    const auto at = reinterpret_cast<std::uintptr_t>(text.utf16());
    return at >= begin && at < end;
}

void RowTexts::rebuild(std::span<const QStringView> texts, qsizetype spare)
{
    qsizetype used = 0;
    for (QStringView text : texts)
        used += entryUnits(text);
    const quint32 capacity = checkedUnits(used + std::max<qsizetype>(spare, 0));
    auto* block = static_cast<Header*>(std::malloc(sizeof(Header) + capacity * sizeof(char16_t)));
    if (!block)
        throw std::bad_alloc();
    block->count = checkedUnits(qsizetype(texts.size()));
    block->used = quint32(used);
    block->capacity = capacity;
    // The texts may lie in the old block, so it goes only once they are copied.
    char16_t* at = block->units();
    for (QStringView text : texts)
        at = writeEntry(at, text);
    std::free(m_block);
    m_block = block;
}

void RowTexts::reserveMore(qsizetype units)
{
    if (spare() >= units)
        return;
    if (!m_block) {
        rebuild({}, units);
        return;
    }
    // Doubling keeps a row filled one cell at a time to a few reallocations.
    const qsizetype used = m_block->used;
    const quint32 capacity = checkedUnits(std::max(used + units, 2 * qsizetype(m_block->capacity)));
    auto* block = static_cast<Header*>(std::realloc(m_block, sizeof(Header) + capacity * sizeof(char16_t)));
    if (!block)
        throw std::bad_alloc();
    block->capacity = capacity;
    m_block = block;
}

void RowTexts::replace(qsizetype index, QStringView text)
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
        reserveMore(padding + entryUnits(text));
        char16_t* at = m_block->units() + m_block->used;
        for (qsizetype i = 0; i < padding; ++i)
            at = writeEntry(at, QStringView());
        at = writeEntry(at, text);
        m_block->used = quint32(at - m_block->units());
        m_block->count = checkedUnits(index + 1);
        return;
    }
    Views views(count);
    viewsInto(views);
    if (views[index] == text)
        return;
    views[index] = text;
    rebuild(views, spare());
}

void RowTexts::insert(qsizetype index, QStringView text)
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
    rebuild(views, spare());
}

void RowTexts::remove(qsizetype index)
{
    const qsizetype count = size();
    if (index < 0 || index >= count)
        return;
    Views views(count);
    viewsInto(views);
    views.remove(index);
    rebuild(views, spare());
}

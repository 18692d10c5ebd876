// A row's texts in one block, checked against a plain list of strings after every edit.
#include "RowTexts.h"
#include <QStringList>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <random>
#include <gtest/gtest.h>
#include <vector>

namespace {

enum class Op { Replace, Insert, Remove };
struct Edit {
    Op op;
    qsizetype index;
    QString text;
};

// What the block must read as: the list a QStringList-backed row would hold.
void apply(QStringList& list, const Edit& e)
{
    switch (e.op) {
    case Op::Replace:
        if (e.index < 0)
            return;
        while (list.size() <= e.index)
            list.append(QString());
        list[e.index] = e.text;
        return;
    case Op::Insert:
        if (e.index < 0)
            return;
        if (e.index >= list.size()) {
            apply(list, {Op::Replace, e.index, e.text});
            return;
        }
        list.insert(e.index, e.text);
        return;
    case Op::Remove:
        if (e.index >= 0 && e.index < list.size())
            list.removeAt(e.index);
        return;
    }
}

void apply(RowTexts& row, const Edit& e)
{
    switch (e.op) {
    case Op::Replace: row.replace(e.index, e.text); return;
    case Op::Insert: row.insert(e.index, e.text); return;
    case Op::Remove: row.remove(e.index); return;
    }
}

void expectSame(const RowTexts& row, const QStringList& list, const char* where)
{
    ASSERT_EQ(row.size(), list.size()) << where;
    for (qsizetype i = 0; i < list.size(); ++i)
        EXPECT_EQ(row.at(i).toString(), list[i]) << where << " text " << i;
    EXPECT_TRUE(row.at(list.size()).isEmpty()) << where;
    EXPECT_TRUE(row.at(-1).isEmpty()) << where;
    std::vector<QAnyStringView> views(size_t(list.size()) + 2, QStringView(u"stale"));
    row.viewsInto(views);
    for (size_t i = 0; i < views.size(); ++i)
        EXPECT_EQ(views[i].toString(), qsizetype(i) < list.size() ? list[qsizetype(i)] : QString()) << where;
}

} // namespace

TEST(RowTexts, ReadsLikeAListOfStringsAfterEveryEdit)
{
    const QString longText(0x8000, QChar(u'长'));      // needs the two-unit length
    const QString longer(0x12345, QChar(u'x'));
    const QString rare = QString::fromUcs4(U"\U00020000零件");
    const QString longLatin1(0x4000, QChar(u'\u00e9'));   // one byte a character, the two-word length
    const QString longOdd = QString(0x10001, QChar(u'7'));
    struct Case {
        const char* name;
        QStringList start;
        std::vector<Edit> edits;
    };
    const Case cases[] = {
        {"filled cell by cell", {"GB-1"},
         {{Op::Replace, 1, "垫片"}, {Op::Replace, 2, "Q235"}, {Op::Replace, 3, ""}, {Op::Replace, 4, "件"},
          {Op::Replace, 5, "ZQ8600"}}},
        {"cells skipped while filling", {"A"}, {{Op::Replace, 4, "E"}, {Op::Replace, 2, "C"}}},
        {"a middle cell grows and shrinks", {"a", "b", "c"},
         {{Op::Replace, 1, "一段更长的文字"}, {Op::Replace, 1, ""}, {Op::Replace, 1, "b"}}},
        {"the same text again", {"a", "b"}, {{Op::Replace, 0, "a"}, {Op::Replace, 1, "b"}}},
        {"columns inserted and removed", {"a", "b", "c"},
         {{Op::Insert, 1, ""}, {Op::Insert, 0, "z"}, {Op::Insert, 9, "end"}, {Op::Remove, 0, {}},
          {Op::Remove, 3, {}}, {Op::Remove, 40, {}}, {Op::Remove, -1, {}}}},
        {"negative positions change nothing", {"a"}, {{Op::Replace, -1, "x"}, {Op::Insert, -3, "y"}}},
        {"long texts beside short ones", {"a"},
         {{Op::Replace, 1, longText}, {Op::Replace, 2, "c"}, {Op::Insert, 1, longer}, {Op::Replace, 0, rare},
          {Op::Remove, 2, {}}, {Op::Replace, 1, "short"}}},
        {"every text removed", {"a", "b"}, {{Op::Remove, 0, {}}, {Op::Remove, 0, {}}, {Op::Replace, 2, "c"}}},
        {"from nothing", {}, {{Op::Replace, 0, "a"}, {Op::Insert, 0, "b"}}},
        {"one-byte texts of odd and even lengths beside wide ones", {"ZQ8600-01", "垫片", "Q235"},
         {{Op::Replace, 1, "café"}, {Op::Insert, 0, "Ø"}, {Op::Replace, 5, "2026-12-09"}, {Op::Replace, 2, "ZQ8600-1"},
          {Op::Replace, 0, "一"}, {Op::Remove, 1, {}}, {Op::Replace, 6, ""}, {Op::Insert, 2, "ÿ"}}},
        {"long one-byte texts", {"a"},
         {{Op::Replace, 1, longLatin1}, {Op::Insert, 0, longOdd}, {Op::Replace, 3, "b"}, {Op::Replace, 1, "短"},
          {Op::Remove, 0, {}}}},
    };
    // Each case from a block of its own and from a block of an arena, which a row leaves for one
    // of its own once it outgrows it; rows made in the arena later leave it as it reads.
    for (const bool inArena : {false, true}) {
        for (const Case& c : cases) {
            const std::string name = std::string(c.name) + (inArena ? ", in an arena" : "");
            RowTexts::Arena arena;
            const std::vector<QAnyStringView> views(c.start.begin(), c.start.end());
            RowTexts row = inArena ? RowTexts(views, arena) : RowTexts(views);
            QStringList list = c.start;
            expectSame(row, list, name.c_str());
            for (const Edit& e : c.edits) {
                apply(row, e);
                apply(list, e);
                expectSame(row, list, name.c_str());
                const RowTexts neighbour(views, arena);
                expectSame(row, list, name.c_str());
            }
        }
    }
}

// An arena gives blocks from chunks until one is full, declines blocks better made alone, and
// gives every chunk back when reset.
TEST(RowTexts, ArenaCutsBlocksFromChunks)
{
    RowTexts::Arena arena;
    EXPECT_EQ(arena.allocate(1 << 20), nullptr) << "a large block is made alone";
    std::vector<char*> blocks;
    for (int i = 0; i < 3000; ++i)
        blocks.push_back(static_cast<char*>(arena.allocate(50)));
    EXPECT_EQ(arena.chunkCount(), 3u) << "52-byte blocks, 1260 to a 64 KiB chunk";
    for (char* block : blocks) {
        ASSERT_NE(block, nullptr);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % 4, 0u);
        std::memset(block, 0x5a, 50);   // every block is usable whole (the sanitizer run checks)
    }
    arena.reset();
    EXPECT_EQ(arena.chunkCount(), 0u);
}

// Codes, numbers and dates take one byte a character; a text with any other character two.
TEST(RowTexts, TextsThatFitInLatin1TakeOneByteACharacter)
{
    struct Case {
        const char16_t* text;
        bool latin1;
        std::size_t bytes;   // the block: a 12-byte header, a 2-byte length, the characters
    } const cases[] = {
        {u"ZQ8600-01", true, 12 + 2 + 10},
        {u"2026-12-09", true, 12 + 2 + 10},
        {u"Straße ø", true, 12 + 2 + 8},
        {u"垫片", false, 12 + 2 + 4},
        {u"M8×20", true, 12 + 2 + 6},
        {u"GB/T 5783 螺栓", false, 12 + 2 + 24},
        {u"", true, 12 + 2},
    };
    for (const Case& c : cases) {
        const QStringView text(c.text);
        const RowTexts row(std::span<const QStringView>(&text, 1));
        EXPECT_EQ(HeldInLatin1(row.at(0)), c.latin1) << text.toString().toStdString();
        EXPECT_EQ(row.at(0).toString(), text.toString());
        EXPECT_EQ(row.blockBytes(), c.bytes) << text.toString().toStdString();
    }
}

// Texts given as a database's UTF-8 read back as Qt reads that UTF-8 (malformed bytes as U+FFFD,
// a leading byte-order mark dropped) and are held in the form their characters ask for, whether
// the row is made of them at once or they are set one by one.
TEST(RowTexts, Utf8TextsReadAsQtDecodesThem)
{
    const QByteArray fixed[] = {
        "ZQ8600-01", "", "O'型圈材料更改为氟橡胶", "Stra\xc3\x9f" "e", "\xef\xbb\xbf" "bom", "mid\xef\xbb\xbf" "bom",
        "\xf0\xa0\x80\x8b beyond", "a\xff\xfe" "b", "\xe6\xb8", "\xc0\x80", "\xe0\x80\x80", "\xed\xa0\x80", "\xef\xbf\xbf",
        "\xc2\x80\xdf\xbf", "tail \xe5", "\xe5\x9e\xab\xe7\x89\x87", "\x80", "\xc3", "\xf4\x90\x80\x80",
    };
    QList<QByteArray> inputs(std::begin(fixed), std::end(fixed));
    // Random bytes weighted towards the lead and continuation bytes of multi-byte sequences.
    std::mt19937 random(7);
    const uchar pool[] = {'a', '0', 0x80, 0xbf, 0xa0, 0xc2, 0xc3, 0xdf, 0xe0, 0xe5, 0xed, 0xef, 0xf0, 0xf4, 0xff, 0xbb};
    for (int i = 0; i < 2000; ++i) {
        QByteArray bytes;
        for (int n = int(random() % 9); n > 0; --n)
            bytes.append(char(pool[random() % std::size(pool)]));
        inputs.append(bytes);
    }
    for (const QByteArray& bytes : inputs) {
        const QString expected = QString::fromUtf8(bytes);
        const QAnyStringView texts[] = {QUtf8StringView(bytes), QUtf8StringView(bytes)};
        const RowTexts made(std::span<const QAnyStringView>(texts, 2));
        RowTexts edited;
        edited.replace(1, QUtf8StringView(bytes));
        for (const QAnyStringView read : {made.at(0), made.at(1), edited.at(1)}) {
            ASSERT_EQ(read.toString(), expected) << bytes.toHex().toStdString();
            ASSERT_EQ(HeldInLatin1(read), QtPrivate::isLatin1(QStringView(expected))) << bytes.toHex().toStdString();
        }
    }
}

TEST(RowTexts, ATextTakenFromTheSameRowSurvivesTheBlockGrowing)
{
    const QStringView first[] = {u"第一格的文字"};
    RowTexts row(first);
    // Appending makes the block grow, which may move it; the text read from it must come through.
    for (int i = 1; i < 12; ++i)
        row.replace(i, row.at(i - 1));
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(row.at(i), QStringView(u"第一格的文字")) << i;
    row.replace(3, row.at(0));
    row.insert(0, row.at(5));
    EXPECT_EQ(row.size(), 13);
    EXPECT_EQ(row.at(0), QStringView(u"第一格的文字"));
}

TEST(RowTexts, MovesLeaveTheSourceEmpty)
{
    const QStringView texts[] = {u"a", u"b"};
    RowTexts row(texts);
    RowTexts moved(std::move(row));
    EXPECT_EQ(moved.size(), 2);
    EXPECT_EQ(row.size(), 0);   // NOLINT(bugprone-use-after-move): the moved-from state is defined
    EXPECT_TRUE(row.at(0).isEmpty());
    row = std::move(moved);
    EXPECT_EQ(row.at(1), QStringView(u"b"));
    row.replace(0, u"c");
    EXPECT_EQ(row.at(0), QStringView(u"c"));
}

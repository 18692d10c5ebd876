// The upward walk over an in-memory structure: the paths and their order equal those of the plain
// recursive walk, cycles end, deep chains need no deep recursion, shared parts are read once.
#include "StructureWalk.h"

#include "ZQPDMFC.h"

#include <gtest/gtest.h>

#include <QMultiHash>
#include <random>

using namespace zq::part;

namespace {

// Part-list lines of one product: (UpCode, DCode), in stored order.
class FakeStructure : public ParentSource {
public:
    void Add(const QString& up, const QString& code) { m_lines.append({up, code}); }
    QStringList ParentCodes(const QString& product, const QString& code) override
    {
        ++queries;
        QStringList parents;
        for (const auto& [up, d] : m_lines)
            if (d == code)
                parents.append(up);
        return parents;
    }
    QList<std::pair<QString, QString>> m_lines;
    int queries = 0;
};

// The walk written as the plain recursion, with the cut for a code already on the path.
void Recurse(FakeStructure& s, const QString& x, const QString& product, QStringList& path, QStringList& out)
{
    if (path.contains(x))
        return;
    if (zq::EqualsNoCase(x, product)) {
        out.append(x + "::" + path.join("::"));
        return;
    }
    path.prepend(x);
    for (const QString& y : s.ParentCodes(product, x))
        Recurse(s, y, product, path, out);
    path.removeFirst();
}

QStringList Texts(const QList<StructurePath>& paths)
{
    QStringList texts;
    for (const StructurePath& p : paths)
        texts.append(p.text);
    return texts;
}

QStringList Walk(FakeStructure& s, const QString& product, const QString& up, const QString& code)
{
    UpwardWalk walk(s, product);
    QList<StructurePath> paths;
    EXPECT_TRUE(walk.Collect(up, code, paths));
    return Texts(paths);
}

TEST(StructureWalk, SmallStructures)
{
    struct Case {
        const char* name;
        QList<std::pair<QString, QString>> lines;   // (up, code)
        QString up, code;
        QStringList want;
    };
    const Case cases[] = {
        {"direct", {{"P", "B"}}, "P", "B", {"P::B"}},
        {"two_places", {{"P", "A1"}, {"P", "A2"}, {"A1", "B"}, {"A2", "B"}}, "A1", "B", {"P::A1::B"}},
        {"parent_used_twice", {{"P", "A"}, {"Q", "A"}, {"P", "Q"}, {"A", "B"}}, "A", "B", {"P::A::B", "P::Q::A::B"}},
        {"product_case_ignored", {{"p", "A"}, {"A", "B"}}, "A", "B", {"p::A::B"}},
        {"no_way_up", {{"X", "A"}, {"A", "B"}}, "A", "B", {}},
        {"self_line", {{"A", "A"}, {"P", "A"}}, "A", "A", {}},
        {"cycle", {{"A", "B"}, {"B", "A"}, {"P", "A"}, {"C", "B"}}, "A", "B", {"P::A::B"}},
        {"cycle_with_exit", {{"A", "B"}, {"B", "A"}, {"P", "A"}, {"A", "C"}}, "A", "C", {"P::A::C"}},
        {"cycle_through_line", {{"B", "A"}, {"A", "B"}, {"P", "B"}}, "A", "B", {}},
    };
    for (const Case& c : cases) {
        FakeStructure s;
        for (const auto& [up, code] : c.lines)
            s.Add(up, code);
        EXPECT_EQ(Walk(s, "P", c.up, c.code), c.want) << c.name;
    }
}

TEST(StructureWalk, PathKnowsProductAndPart)
{
    FakeStructure s;
    s.Add("p", "A:1");
    s.Add("A:1", "B:2");
    UpwardWalk walk(s, "P");
    QList<StructurePath> paths;
    walk.Collect("A:1", "B:2", paths);
    ASSERT_EQ(paths.size(), 1);
    EXPECT_EQ(paths[0].text, "p::A:1::B:2");
    EXPECT_EQ(paths[0].product, "p");
    EXPECT_EQ(paths[0].part, "B:2");
}

// Random structures, cycles and shared parts included: same paths, same order as the recursion.
TEST(StructureWalk, SameAsRecursionOnRandomStructures)
{
    std::mt19937 random(20240607);
    for (int round = 0; round < 300; ++round) {
        FakeStructure s;
        const int codes = 2 + int(random() % 9);
        const int lines = int(random() % 25);
        auto name = [](int i) { return i == 0 ? QStringLiteral("P") : QStringLiteral("C%1").arg(i); };
        for (int i = 0; i < lines; ++i)
            s.Add(name(int(random() % codes)), name(1 + int(random() % (codes - 1))));
        for (const auto& [up, code] : s.m_lines) {
            QStringList path{code}, want;
            Recurse(s, up, "P", path, want);
            EXPECT_EQ(Walk(s, "P", up, code), want) << round;
        }
    }
}

TEST(StructureWalk, DeepChainAndOneQueryPerCode)
{
    FakeStructure s;
    const int depth = 10000;
    s.Add("P", "C1");
    for (int i = 1; i < depth; ++i)
        s.Add(QStringLiteral("C%1").arg(i), QStringLiteral("C%1").arg(i + 1));
    const QStringList paths = Walk(s, "P", QStringLiteral("C%1").arg(depth - 1), QStringLiteral("C%1").arg(depth));
    ASSERT_EQ(paths.size(), 1);
    EXPECT_EQ(paths[0].count("::"), depth);
    EXPECT_TRUE(paths[0].startsWith("P::C1::C2::"));
    EXPECT_TRUE(paths[0].endsWith(QStringLiteral("::C%1").arg(depth)));
    EXPECT_EQ(s.queries, depth - 1);
}

TEST(StructureWalk, SharedAssemblyReadOnce)
{
    FakeStructure s;
    const int places = 200;
    for (int i = 1; i <= places; ++i) {
        s.Add("P", QStringLiteral("A%1").arg(i));
        s.Add(QStringLiteral("A%1").arg(i), "S");
    }
    s.Add("S", "B1");
    s.Add("S", "B2");
    UpwardWalk walk(s, "P");
    QList<StructurePath> paths;
    walk.Collect("S", "B1", paths);
    walk.Collect("S", "B2", paths);
    ASSERT_EQ(paths.size(), 2 * places);
    EXPECT_EQ(paths.front().text, "P::A1::S::B1");
    EXPECT_EQ(paths[places].text, "P::A1::S::B2");
    EXPECT_EQ(paths.back().text, QStringLiteral("P::A%1::S::B2").arg(places));
    // S once, then each A once; the second line re-reads nothing.
    EXPECT_EQ(s.queries, 1 + places);
    EXPECT_EQ(walk.QueriesSent(), 1 + places);
}

// A walk over an exploding number of paths can be stopped.
TEST(StructureWalk, StopsWhenTold)
{
    FakeStructure s;
    // Forty levels of two parents each: 2^40 paths.
    for (int i = 0; i < 40; ++i) {
        const QString low = QStringLiteral("L%1").arg(i), up = i == 39 ? QStringLiteral("P") : QStringLiteral("L%1").arg(i + 1);
        s.Add(up + "a", low);
        s.Add(up + "b", low);
        s.Add(up, up + "a");
        s.Add(up, up + "b");
    }
    int asked = 0;
    UpwardWalk walk(s, "P", [&asked] { return ++asked < 3; });
    QList<StructurePath> paths;
    EXPECT_FALSE(walk.Collect("L1a", "L0", paths));
    EXPECT_EQ(asked, 3);
}

} // namespace

// The counts the docs state against the build: the tabs of the search window, the fuzz targets, the
// Debian packages and the tables of a customer's database. A count is found where a number (a
// word or digits) stands before what it counts ("twelve tabs", "the four packages"); a statement
// about a part of them is listed below with what it counts.
#include "DocExamples.h"
#include "ExampleSite.h"

#include <QDirIterator>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

// The documents whose statements are held to the build.
QStringList Documents(const QString& source)
{
    QStringList documents = {source + QStringLiteral("/README.md")};
    for (const char* folder : {"/docs", "/tools", "/docs/man"}) {
        QDirIterator files(source + QLatin1String(folder), {QStringLiteral("*.md"), QStringLiteral("*.1")}, QDir::Files,
                           QString::fromLatin1(folder) == u"/tools" ? QDirIterator::Subdirectories : QDirIterator::NoIteratorFlags);
        while (files.hasNext())
            documents << files.next();
    }
    return documents;
}

int NumberOf(const QString& word)
{
    static const QStringList words = {
        QStringLiteral("zero"), QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three"), QStringLiteral("four"),
        QStringLiteral("five"), QStringLiteral("six"), QStringLiteral("seven"), QStringLiteral("eight"), QStringLiteral("nine"),
        QStringLiteral("ten"), QStringLiteral("eleven"), QStringLiteral("twelve"), QStringLiteral("thirteen"),
        QStringLiteral("fourteen"), QStringLiteral("fifteen"), QStringLiteral("sixteen"), QStringLiteral("seventeen"),
        QStringLiteral("eighteen"), QStringLiteral("nineteen"), QStringLiteral("twenty")};
    bool isNumber = false;
    const int value = word.toInt(&isNumber);
    return isNumber ? value : int(words.indexOf(word.toLower()));
}

struct Statement {
    QString where;
    QString text;
    int number = -1;
};

// Every "NUMBER [word...] NOUN" of the documents, the words between being up to `between`: a list
// such as "nineteen part, batch-product, ... and task tables" or a single word ("four Debian
// packages").
QList<Statement> Statements(const QString& source, const QString& noun, const QString& between)
{
    QList<Statement> found;
    // A number, not the end of one ("the 1.5 targets").
    const QRegularExpression pattern(QStringLiteral("(?<![\\d.,])\\b([A-Za-z]+|\\d+) (?:%1)?%2\\b").arg(between, noun));
    for (const QString& document : Documents(source)) {
        const QString text = zq::docs::ReadText(document);
        QString flowing = text;   // a statement may run over a line end
        flowing.replace(u'\n', u' ');
        for (auto it = pattern.globalMatch(flowing); it.hasNext();) {
            const QRegularExpressionMatch match = it.next();
            const int number = NumberOf(match.captured(1));
            if (number < 0)
                continue;
            const int line = int(text.left(match.capturedStart()).count(u'\n')) + 1;
            found.append({QDir(source).relativeFilePath(document) + u':' + QString::number(line), match.captured(), number});
        }
    }
    return found;
}

// Statements that count a part of the whole, each with what it counts.
const QMap<QString, QString>& PartCounts()
{
    static const QMap<QString, QString> parts = {
        {QStringLiteral("seven tabs"), QStringLiteral("the load mix of docs/postgresql.md searches on seven of the tabs")},
        {QStringLiteral("64 tabs"), QStringLiteral("the most tabs the window makes from a long page list")},
        {QStringLiteral("eleven tabs"), QStringLiteral("the tabs the window had when the read replica was tried (before 文档内容)")},
    };
    return parts;
}

void ExpectEveryStatementCounts(const QList<Statement>& statements, int count, const char* what)
{
    for (const Statement& statement : statements) {
        if (PartCounts().contains(statement.text))
            continue;
        EXPECT_EQ(statement.number, count) << statement.where.toStdString() << ": \"" << statement.text.toStdString()
                                           << "\", but the build has " << count << ' ' << what;
    }
}

QStringList Sorted(QStringList list)
{
    list.sort();
    return list;
}

// The first column of a Markdown table's rows, written as code: "| `NAME` | ...".
QRegularExpression FirstColumn(const QString& name)
{
    return QRegularExpression(QStringLiteral("^\\| `") + name + QStringLiteral("` \\|"), QRegularExpression::MultilineOption);
}

using DocCounts = zq::docs::BuildTreeTest;

TEST_F(DocCounts, TheTabsOfTheDemoWindowAreThoseTheDocsNameAndCount)
{
    zq::docs::ExampleSite site(m_tree);
    ASSERT_TRUE(site.error().isEmpty()) << site.error().toStdString();
    const zq::docs::ProgramRun described =
        site.run(QStringLiteral("build/bin/zqpdm-search --home demo --page 设计零部件 --describe 2>/dev/null"), false);
    ASSERT_EQ(described.exitCode, 0) << described.dump();
    QStringList tabs;
    for (const QString& line : described.out.split(u'\n')) {
        const QStringList fields = line.split(u'\t');
        if (fields.size() >= 6 && fields[1] == u"tabs")
            for (const QString& choice : fields[5].split(QStringLiteral(" | ")))
                tabs << choice.section(u' ', 1);
    }
    ASSERT_GE(tabs.size(), 2) << described.out.toStdString();

    // The README's pictures of the tabs: one for each, in the window's order.
    const QString readme = zq::docs::ReadText(m_tree.source + QStringLiteral("/README.md"));
    const QString section = readme.section(QStringLiteral("<!-- tabs:begin -->"), 1).section(QStringLiteral("<!-- tabs:end -->"), 0, 0);
    QStringList pictured;
    static const QRegularExpression heading(QStringLiteral("^### (.+)$"), QRegularExpression::MultilineOption);
    for (auto it = heading.globalMatch(section); it.hasNext();)
        pictured << it.next().captured(1).trimmed();
    EXPECT_EQ(pictured, tabs) << "README.md's tab pictures (docs/screenshots.sh rewrites them)";

    ExpectEveryStatementCounts(Statements(m_tree.source, QStringLiteral("(?:tabs|page captions)"), QString()), int(tabs.size()), "tabs");
}

TEST_F(DocCounts, TheFuzzTargetsAreThoseTheDocsListAndCount)
{
    const QString cmake = zq::docs::ReadText(m_tree.source + QStringLiteral("/tests/fuzz/CMakeLists.txt"));
    const QStringList built = Sorted(zq::docs::Captured(
        cmake, QRegularExpression(QStringLiteral("^zq_add_fuzz_target\\(NAME (\\w+)"), QRegularExpression::MultilineOption)));
    ASSERT_FALSE(built.isEmpty());

    // docs/reliability.md's table of targets: one row for each.
    const QString table = zq::docs::TableAfter(zq::docs::ReadText(m_tree.source + QStringLiteral("/docs/reliability.md")),
                                               QStringLiteral("| Target | What it reads |"));
    EXPECT_EQ(Sorted(zq::docs::Captured(table, FirstColumn(QStringLiteral("fuzz_(\\w+)")))), built)
        << "docs/reliability.md's table of fuzz targets";

    ExpectEveryStatementCounts(Statements(m_tree.source, QStringLiteral("(?:fuzz )?targets"), QString()), int(built.size()),
                               "fuzz targets");
}

TEST_F(DocCounts, ThePackagesAreThoseTheReadmeListsAndCounts)
{
    const QString cpack = zq::docs::ReadText(m_tree.binary + QStringLiteral("/CPackConfig.cmake"));
    const QStringList built = Sorted(zq::docs::Captured(
        cpack, QRegularExpression(QStringLiteral("^set\\(CPACK_DEBIAN_[A-Z]+_PACKAGE_NAME \"([^\"]+)\"\\)"),
                                  QRegularExpression::MultilineOption)));
    ASSERT_FALSE(built.isEmpty()) << "no package names in CPackConfig.cmake";

    const QString table = zq::docs::TableAfter(zq::docs::ReadText(m_tree.source + QStringLiteral("/README.md")),
                                               QStringLiteral("| Package | What it installs |"));
    EXPECT_EQ(Sorted(zq::docs::Captured(table, FirstColumn(QStringLiteral("([a-z0-9.+-]+)")))), built)
        << "README.md's table of packages";

    ExpectEveryStatementCounts(Statements(m_tree.source, QStringLiteral("packages"), QStringLiteral("(?:Debian )")),
                               int(built.size()), "packages");
}

TEST_F(DocCounts, TheTablesOfACustomersDatabaseAreAsManyAsTheDocsSay)
{
    zq::docs::ExampleSite site(m_tree);
    ASSERT_TRUE(site.error().isEmpty()) << site.error().toStdString();
    const zq::docs::ProgramRun seeded = site.run(QStringLiteral("build/bin/pdm-seed --home customer --module-tables-only"), false);
    ASSERT_EQ(seeded.exitCode, 0) << seeded.dump();
    const QRegularExpressionMatch tables = QRegularExpression(QStringLiteral(" in (\\d+) tables")).match(seeded.out);
    ASSERT_TRUE(tables.hasMatch()) << seeded.dump();
    // "the nineteen tables the module reads", "the nineteen part, ... and task tables"
    const QList<Statement> statements =
        Statements(m_tree.source, QStringLiteral("tables"), QStringLiteral("(?:(?:[a-z-]+, )*[a-z-]+ and [a-z-]+ )"));
    EXPECT_FALSE(statements.isEmpty());
    ExpectEveryStatementCounts(statements, tables.captured(1).toInt(), "tables of the module");
}

} // namespace

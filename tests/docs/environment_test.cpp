// Every environment variable the programs read is told in the --help and the man page of each
// program that reads it, and nowhere it is not read. Which program reads which is kept in the
// table below; the test reads the sources and fails when the code reads a variable the table does
// not hold, or the table holds one the code no longer reads.
#include "DocSources.h"

#include <QDirIterator>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

namespace {

const QString kClient = QStringLiteral("zqpdm-client");
const QString kSearch = QStringLiteral("zqpdm-search");
const QString kIndex = QStringLiteral("zqpdm-index");
const QString kWeb = QStringLiteral("zqpdm-web");

struct VariableUse {
    QString name;
    QStringList programs;   // the programs that read it
};

// The module is in the client and in zqpdm-search; zqpdm-index shares its installation, database,
// file store and private temporary folder. zqpdm-web hands the installation's settings on to the
// zqpdm-search runs it starts; each run's folders and user are its own. pdm-seed reads none of ours.
const QList<VariableUse>& Variables()
{
    static const QList<VariableUse> variables = {
        {QStringLiteral("ZQPDM_HOME"), {kClient, kSearch, kIndex}},
        {QStringLiteral("ZQPDM_DB"), {kClient, kSearch, kIndex, kWeb}},
        {QStringLiteral("ZQPDM_FTP"), {kClient, kSearch, kIndex, kWeb}},
        {QStringLiteral("ZQPDM_INDEX"), {kClient, kSearch, kIndex, kWeb}},
        {QStringLiteral("ZQPDM_SYSDIR"), {kClient, kSearch, kIndex, kWeb}},
        {QStringLiteral("ZQPDM_SQL_TRACE"), {kClient, kSearch, kIndex}},
        {QStringLiteral("ZQPDM_USER"), {kClient, kSearch}},
        {QStringLiteral("ZQPDM_OLDCODE"), {kClient, kSearch, kWeb}},
        {QStringLiteral("ZQPDM_WORKDIR"), {kClient, kSearch}},
        {QStringLiteral("XDG_RUNTIME_DIR"), {kClient, kSearch, kIndex}},
        {QStringLiteral("TMPDIR"), {kClient, kSearch, kIndex, kWeb}},   // through QDir::tempPath()
        {QStringLiteral("XDG_CONFIG_HOME"), {kClient, kSearch}},
        {QStringLiteral("ZQ_TOOL_QT_MESSAGES"), {kSearch}},
    };
    return variables;
}

// Read by the code, but not a setting of ours, each with the reason.
const QMap<QString, QString>& NotOurs()
{
    static const QMap<QString, QString> notOurs = {
        {QStringLiteral("QT_QPA_PLATFORM"),
         QStringLiteral("Qt's own; zqpdm-search only gives it the default offscreen when it is unset")},
    };
    return notOurs;
}

// The variables the sources read: a name given to a function that reads the environment, every
// "ZQPDM_..." name (ours, wherever it is passed on), and TMPDIR where Qt's temporary path is asked.
QSet<QString> VariablesTheCodeReads(const QString& source)
{
    static const QRegularExpression call(QStringLiteral(
        "\\b(?:qEnvironmentVariable(?:IsSet|IsEmpty|IntValue)?|qgetenv|getenv|secure_getenv)\\(\\s*\"([A-Za-z_][A-Za-z0-9_]*)\""));
    static const QRegularExpression ours(QStringLiteral("\"(ZQPDM_[A-Z0-9_]+)\""));
    QSet<QString> names;
    for (const char* folder : {"src", "platform", "host", "tools"}) {
        QDirIterator files(source + u'/' + QLatin1String(folder), {QStringLiteral("*.cpp"), QStringLiteral("*.h")},
                           QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const QString text = zq::docs::ReadText(files.next());
            for (const QRegularExpression* pattern : {&call, &ours})
                for (auto it = pattern->globalMatch(text); it.hasNext();)
                    names.insert(it.next().captured(1));
            if (text.contains(QStringLiteral("QDir::tempPath()")))
                names.insert(QStringLiteral("TMPDIR"));
        }
    }
    return names;
}

QStringList ExpectedFor(const QString& program)
{
    QStringList names;
    for (const VariableUse& use : Variables())
        if (use.programs.contains(program))
            names << use.name;
    return names;
}

QStringList ManPageVariables(const QString& roff)
{
    QStringList names;
    for (const QString& tag : zq::docs::ManPageTags(roff, QStringLiteral("ENVIRONMENT")))
        names << tag.split(QStringLiteral(", "));
    return names;
}

using EnvironmentVariables = zq::docs::BuildTreeTest;

TEST_F(EnvironmentVariables, EveryOneTheCodeReadsIsInTheTableAndEveryOneThereIsRead)
{
    const QSet<QString> read = VariablesTheCodeReads(m_tree.source);
    ASSERT_TRUE(read.contains(QStringLiteral("ZQPDM_HOME"))) << "the sources were not found below " << m_tree.source.toStdString();
    QSet<QString> listed;
    for (const VariableUse& use : Variables())
        listed.insert(use.name);
    for (const QString& name : read)
        EXPECT_TRUE(listed.contains(name) || NotOurs().contains(name))
            << "the code reads " << name.toStdString()
            << ": add it to Variables() with the programs that read it, and to their --help and man pages";
    for (const QString& name : listed)
        EXPECT_TRUE(read.contains(name)) << "the code no longer reads " << name.toStdString()
                                         << ": remove it from Variables(), the --help texts and the man pages";
}

TEST_F(EnvironmentVariables, EachProgramsHelpAndManPageTellThoseItReadsAndNoOthers)
{
    for (const QString& program : m_tree.programs) {
        SCOPED_TRACE(program.toStdString());
        const QStringList expected = ExpectedFor(program);
        const QStringList inHelp = zq::docs::HelpEnvironment(helpText(program));
        const QStringList inManPage = ManPageVariables(zq::docs::ReadText(m_tree.manPage(program)));
        for (const QString& name : expected) {
            EXPECT_TRUE(inHelp.contains(name)) << program.toStdString() << " --help has no entry for " << name.toStdString()
                                               << " under \"Environment:\"";
            EXPECT_TRUE(inManPage.contains(name))
                << program.toStdString() << ".1 has no entry for " << name.toStdString() << " under ENVIRONMENT";
        }
        for (const QString& name : inHelp)
            EXPECT_TRUE(expected.contains(name))
                << program.toStdString() << " --help tells " << name.toStdString() << ", which the program does not read";
        for (const QString& name : inManPage)
            EXPECT_TRUE(expected.contains(name))
                << program.toStdString() << ".1 tells " << name.toStdString() << ", which the program does not read";
    }
}

TEST(Environment, ReadsTheHelpsEnvironmentSection)
{
    const QString help = QStringLiteral(
        "usage: p\n\nOptions:\n  --home DIR   sets ZQPDM_HOME\n\nEnvironment:\n  ZQPDM_HOME     the installation\n"
        "                 (as --home)\n  XDG_RUNTIME_DIR, TMPDIR\n                 the private folder\n"
        "  ZQPDM_DB  the database\n\nExit status:\n  0  done\n");
    EXPECT_EQ(zq::docs::HelpEnvironment(help),
              (QStringList{QStringLiteral("ZQPDM_HOME"), QStringLiteral("XDG_RUNTIME_DIR"), QStringLiteral("TMPDIR"),
                           QStringLiteral("ZQPDM_DB")}));
    EXPECT_TRUE(zq::docs::HelpEnvironment(QStringLiteral("Options:\n  ZQPDM_HOME  not here\n")).isEmpty());
}

} // namespace

// A user who may read the installation and the content index but write neither searches 文档内容
// exactly as the index's owner does, the index on SQLite or on PostgreSQL. As root the reader is the
// unprivileged user "nobody", and what it runs is copied to a folder it can reach first (a checkout
// may lie below a folder only its owner may enter); otherwise the copy is made read-only to the
// test's own user. An index the reader cannot open says what the engine said, never "no index".
#include "IndexTestKit.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace zq;

namespace {

std::string str(const QString& s) { return s.toStdString(); }

bool CopyTree(const QString& from, const QString& to)
{
    if (QFileInfo(from).isFile())
        return QDir().mkpath(QFileInfo(to).absolutePath()) && QFile::copy(from, to);
    QDirIterator it(from, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        const QString target = to + file.mid(from.size());
        if (!QDir().mkpath(QFileInfo(target).absolutePath()) || !QFile::copy(file, target))
            return false;
    }
    return true;
}

// Folders and files of the tree: read and enter for everyone, write for nobody but root.
void MakeReadOnly(const QString& root, bool forOwnerToo)
{
    const mode_t folders = forOwnerToo ? 0555 : 0755;
    const mode_t files = forOwnerToo ? 0444 : 0644;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    QStringList paths{root};
    while (it.hasNext())
        paths.append(it.next());
    for (const QString& path : paths)
        ::chmod(QFile::encodeName(path).constData(), QFileInfo(path).isDir() ? folders : files);
}

// The files below root, to see that a reader made none.
QStringList FilesBelow(const QString& root)
{
    QStringList files;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(it.next().mid(root.size()));
    files.sort();
    return files;
}

class ReadOnlyUser : public test::IndexTest {
protected:
    void SetUp() override
    {
        IndexTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        if (::geteuid() == 0) {
            const passwd* nobody = ::getpwnam("nobody");
            if (!nobody)
                GTEST_SKIP() << "there is no user \"nobody\" to read as";
            m_uid = nobody->pw_uid;
            m_gid = nobody->pw_gid;
        }
        const index::IndexRunReport report = Index();
        ASSERT_TRUE(report.upToDate()) << str(report.fatal);
        ASSERT_TRUE(m_place.isValid());
        ::chmod(QFile::encodeName(m_place.path()).constData(), 0755);
        // The program and its libraries, and the installation with its index.
        const QString build = qEnvironmentVariable("ZQ_BINARY_DIR");
        ASSERT_TRUE(CopyTree(build + QStringLiteral("/bin/zqpdm-search"), program()));
        ::chmod(QFile::encodeName(program()).constData(), 0755);
        for (const QString& library : QDir(build + QStringLiteral("/lib")).entryList({QStringLiteral("*.so*")}, QDir::Files))
            ASSERT_TRUE(CopyTree(build + QStringLiteral("/lib/") + library, m_place.filePath(QStringLiteral("lib/")) + library));
        for (const char* part : {"Support", "rnds", "sys", "pdm.db", "content-index.db"}) {
            if (QFileInfo::exists(home().path(QLatin1String(part)))) {
                ASSERT_TRUE(CopyTree(home().path(QLatin1String(part)), installation() + u'/' + QLatin1String(part))) << part;
            }
        }
        MakeReadOnly(installation(), m_uid < 0);
        for (const char* folder : {"bin", "lib"})
            ::chmod(QFile::encodeName(m_place.filePath(QLatin1String(folder))).constData(), 0755);
        // The reader's own home and temporary folder are its to write.
        for (const QString& folder : {userHome(), userHome() + QStringLiteral("/tmp")}) {
            ASSERT_TRUE(QDir().mkpath(folder));
            if (m_uid >= 0) {
                ASSERT_EQ(::chown(QFile::encodeName(folder).constData(), uid_t(m_uid), gid_t(m_gid)), 0);
            }
        }
        if (onPostgres()) {
            // A role that may read the index's tables and nothing more.
            for (const QString& sql :
                 {QStringLiteral("DO $$ BEGIN CREATE ROLE zq_index_reader LOGIN; EXCEPTION WHEN duplicate_object THEN NULL; END $$"),
                  QStringLiteral("GRANT SELECT ON ContentFile, ContentIndexInfo TO zq_index_reader")})
                ASSERT_EQ(test::ExecSql(indexUrl, sql), QString());
            QUrl reader(indexUrl);
            reader.setUserName(QStringLiteral("zq_index_reader"));
            m_readerIndexUrl = reader.toString();
        } else {
            m_readerIndexUrl = QStringLiteral("sqlite:") + installation() + QStringLiteral("/content-index.db");
        }
    }
    void TearDown() override
    {
        // The copy is read-only to its owner too: given back before it is removed.
        if (m_place.isValid())
            QProcess::execute(QStringLiteral("chmod"), {QStringLiteral("-R"), QStringLiteral("u+w"), m_place.path()});
        IndexTest::TearDown();
    }
    QString program() const { return m_place.filePath(QStringLiteral("bin/zqpdm-search")); }
    QString installation() const { return m_place.filePath(QStringLiteral("home")); }
    QString userHome() const { return m_place.filePath(QStringLiteral("user")); }

    using Searched = test::ProgramRun;
    // zqpdm-search on the copied installation: as the reader, or as the index's owner.
    Searched Search(const QString& words, bool asReader, const QString& indexUrl)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"ZQPDM_DB", "ZQPDM_HOME", "ZQPDM_SYSDIR", "ZQPDM_FTP", "XDG_RUNTIME_DIR", "XDG_CONFIG_HOME"})
            environment.remove(QString::fromLatin1(name));
        environment.insert(QStringLiteral("ZQPDM_INDEX"), indexUrl);
        environment.insert(QStringLiteral("LD_LIBRARY_PATH"), m_place.filePath(QStringLiteral("lib")));
        environment.insert(QStringLiteral("HOME"), userHome());
        environment.insert(QStringLiteral("TMPDIR"), userHome() + QStringLiteral("/tmp"));
        QProcess process;
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(userHome());
        if (asReader && m_uid >= 0) {
            process.setChildProcessModifier([uid = uid_t(m_uid), gid = gid_t(m_gid)] {
                if (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0)
                    ::_exit(126);
            });
        }
        process.start(program(), {QStringLiteral("--home"), installation(), QStringLiteral("--page"), QStringLiteral("文档内容"),
                                   QStringLiteral("--set"), QStringLiteral("内容包含=") + words});
        return test::FinishProgram(process);
    }
    // What the program told the user through message boxes.
    static QStringList Messages(const Searched& searched)
    {
        QStringList messages;
        for (const QString& line : searched.err.split(u'\n'))
            if (line.startsWith(QStringLiteral("MSG")))
                messages.append(line);
        return messages;
    }

    QTemporaryDir m_place{QStringLiteral("/tmp/zq-reader-XXXXXX")};
    QString m_readerIndexUrl;
    qint64 m_uid = -1;
    qint64 m_gid = -1;
};

TEST_P(ReadOnlyUser, SearchesTheContentIndexAsItsOwnerDoes)
{
    const QStringList before = FilesBelow(installation());
    const char* const words[] = {"氟橡胶密封圈", "鼠笼转子", "空载跑合试验 技术条件", "镀锌钝化", "缸筒零件图", "不在任何文件里的词"};
    for (const char* word : words) {
        const Searched owner = Search(QString::fromUtf8(word), false, indexUrl);
        const Searched reader = Search(QString::fromUtf8(word), true, m_readerIndexUrl);
        ASSERT_EQ(owner.exitCode, 0) << word << ": " << str(owner.err);
        EXPECT_EQ(reader.exitCode, 0) << word << ": " << str(reader.err);
        EXPECT_EQ(Messages(reader), QStringList()) << word;
        EXPECT_EQ(reader.out, owner.out) << word;
        EXPECT_GE(owner.out.count(u'\n'), 1) << word;
    }
    EXPECT_EQ(FilesBelow(installation()), before) << "the reader wrote nothing beside the index";
}

// An SQLite index the reader cannot open: left in WAL mode by another program (a reader that may not
// make its -shm file cannot read it), or in a folder closed to the reader. The reader is told what
// SQLite said, never that there is no index.
TEST_P(ReadOnlyUser, AnIndexTheReaderCannotOpenSaysWhatTheEngineSaid)
{
    if (onPostgres())
        GTEST_SKIP() << "WAL files and folders are SQLite's";
    const QString copy = installation() + QStringLiteral("/content-index.db");
    const QString closed = m_place.filePath(QStringLiteral("closed"));
    ::chmod(QFile::encodeName(installation()).constData(), 0755);
    ::chmod(QFile::encodeName(copy).constData(), 0644);
    ASSERT_TRUE(QDir().mkpath(closed));
    ASSERT_TRUE(QFile::copy(copy, closed + QStringLiteral("/content-index.db")));
    ASSERT_EQ(test::ExecSql(QStringLiteral("sqlite:") + copy, QStringLiteral("PRAGMA journal_mode = WAL")), QString());
    MakeReadOnly(installation(), m_uid < 0);
    // Closed to everyone but root, or to the test's own user when it is not root.
    ::chmod(QFile::encodeName(closed).constData(), m_uid < 0 ? 0000 : 0700);
    const struct {
        const char* name;
        QString index;
        const char* said;   // by SQLite, or by the system
    } cases[] = {
        {"an index in WAL mode", m_readerIndexUrl, "attempt to write a readonly database"},
        {"an index in a closed folder", QStringLiteral("sqlite:") + closed + QStringLiteral("/content-index.db"),
         "Permission denied"},
    };
    for (const auto& c : cases) {
        const Searched reader = Search(QStringLiteral("氟橡胶密封圈"), true, c.index);
        const QStringList messages = Messages(reader);
        ASSERT_EQ(messages.size(), 1) << c.name << ": " << str(reader.err);
        EXPECT_TRUE(messages.first().contains(QStringLiteral("内容索引不能打开"))) << c.name << ": " << str(messages.first());
        EXPECT_TRUE(messages.first().contains(QString::fromLatin1(c.said))) << c.name << ": " << str(messages.first());
        EXPECT_FALSE(messages.first().contains(QStringLiteral("没有内容索引"))) << c.name << ": " << str(messages.first());
    }
    ::chmod(QFile::encodeName(closed).constData(), 0700);
}

INSTANTIATE_TEST_SUITE_P(Engines, ReadOnlyUser, testing::ValuesIn(test::IndexEngines()),
                         [](const testing::TestParamInfo<const char*>& info) { return test::EngineTestName(info.param); });

} // namespace

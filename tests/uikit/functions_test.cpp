// The library functions callers reach by role: paths, folders, switches, text conversions.
#include "QtDesktop.h"
#include "ScriptedDesktop.h"
#include "TestApplication.h"
#include "ZQPDMFC.h"
#include <QBuffer>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace zq;

namespace {

void touch(const QString& path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

// Sets an environment variable for one scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value) : m_name(name), m_old(qgetenv(name)), m_had(qEnvironmentVariableIsSet(name))
    {
        qputenv(name, value);
    }
    ~ScopedEnv()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }
private:
    const char* m_name;
    QByteArray m_old;
    bool m_had;
};

} // namespace

TEST(PathResolution, SegmentsMatchCaseInsensitivelyWithEitherSeparator)
{
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const QString root = home.path();
    touch(root + "/rnds/spt/zqpdmcad.ini");
    touch(root + "/rnds/spt/search.ini");
    touch(root + "/Support/Search.cfg");

    struct Case { QString relative; QString expected; };
    const Case cases[] = {
        {"rnds\\spt\\zqpdmcad.ini", root + "/rnds/spt/zqpdmcad.ini"},
        {"RNDS\\SPT\\search.ini", root + "/rnds/spt/search.ini"},
        {"RNDS\\SPT\\", root + "/rnds/spt/"},
        {"\\Support\\Search.cfg", root + "/Support/Search.cfg"},
        {"support/search.CFG", root + "/Support/Search.cfg"},
        {"Rnds/Spt\\ZQPDMCAD.INI", root + "/rnds/spt/zqpdmcad.ini"},
        {"rnds\\\\spt//zqpdmcad.ini", root + "/rnds/spt/zqpdmcad.ini"},
        // Missing parts keep the spelling given, below the longest part that exists.
        {"RNDS\\Missing\\File.ini", root + "/rnds/Missing/File.ini"},
        {"rnds\\spt\\New.ini", root + "/rnds/spt/New.ini"},
    };
    const ScopedEnv env("ZQPDM_HOME", root.toLocal8Bit());
    for (const Case& c : cases) {
        EXPECT_EQ(InstallPath(c.relative), c.expected) << c.relative.toStdString();
        EXPECT_EQ(ResolvePathCaseInsensitive(root + "\\" + c.relative), c.expected) << c.relative.toStdString();
    }
    // The directory is appended to directly, as the page list is found.
    EXPECT_EQ(ResolvePathCaseInsensitive(InstallDirectory() + "\\Support\\Search.cfg"), root + "/Support/Search.cfg");
}

TEST(PathResolution, EmptyAndRelativePaths)
{
    EXPECT_EQ(ResolvePathCaseInsensitive(QString()), QString());
    EXPECT_EQ(ResolvePathCaseInsensitive("no\\such\\place.txt"), "no/such/place.txt");
    EXPECT_EQ(ResolvePathCaseInsensitive("/"), "/");
}

TEST(Folders, InstallationSystemWorkingAndTemporary)
{
    {
        const ScopedEnv env("ZQPDM_HOME", "/opt/zqpdm/");
        EXPECT_EQ(InstallDirectory(), "/opt/zqpdm");
    }
    {
        const ScopedEnv env("ZQPDM_HOME", "");
        // The folder above the executable's folder.
        const QString exe = QFileInfo(QFileInfo("/proc/self/exe").symLinkTarget()).absolutePath();
        EXPECT_EQ(InstallDirectory(), QDir::cleanPath(exe + "/.."));
    }
    {
        const ScopedEnv env("ZQPDM_SYSDIR", "/srv/sys/");
        EXPECT_EQ(SystemDirectory(), "/srv/sys");
    }
    {
        const ScopedEnv env("ZQPDM_SYSDIR", "");
        EXPECT_EQ(SystemDirectory(), "/etc/zqpdm");
    }
    QTemporaryDir dir;
    const QString work = dir.path() + "/work/here";
    {
        const ScopedEnv env("ZQPDM_WORKDIR", work.toLocal8Bit());
        EXPECT_EQ(WorkingFolder(), work + "/");
        EXPECT_TRUE(QFileInfo(work).isDir());
    }
    {
        const ScopedEnv env("TMPDIR", dir.path().toLocal8Bit());
        const ScopedEnv noRuntime("XDG_RUNTIME_DIR", QByteArray());
        EXPECT_EQ(TempFolder(), dir.path() + QStringLiteral("/zqpdm-%1/").arg(::geteuid()));
    }
}

TEST(OldCodeSwitch, ReadsAnIntegerDefaultZero)
{
    struct Case { const char* value; int expected; };
    const Case cases[] = {{"1", 1}, {"0", 0}, {"7", 7}, {"-2", -2}, {"yes", 0}, {"", 0}};
    for (const Case& c : cases) {
        const ScopedEnv env("ZQPDM_OLDCODE", c.value);
        EXPECT_EQ(OldCodeSwitch(), c.expected) << c.value;
    }
    qunsetenv("ZQPDM_OLDCODE");
    EXPECT_EQ(OldCodeSwitch(), 0);
}

TEST(CodeToPathSegment, OneSafeSegmentOrdinaryCodesUnchanged)
{
    struct Case { QString in, out; };
    const Case cases[] = {
        {"A1", "A1"},
        {"GB-1234.5", "GB-1234.5"},
        {"零件图号01", "零件图号01"},
        {"ZQ 100-01", "ZQ 100-01"},
        {"../x", ".._x"},
        {"..\\..\\etc", ".._.._etc"},
        {"a/b", "a_b"},
        {"a\\b", "a_b"},
        {"..", "_"},
        {".", "_"},
        {"c:d*e?f\"g<h>i|j", "c_d_e_f_g_h_i_j"},
        {QString("tab\there\nx"), "tab_here_x"},
        {"", ""},
    };
    for (const Case& c : cases) {
        const QString segment = CodeToPathSegment(c.in);
        EXPECT_EQ(segment, c.out) << c.in.toStdString();
        EXPECT_FALSE(segment.contains('/') || segment.contains('\\'));
        EXPECT_TRUE(segment != "." && segment != "..");
    }
}

TEST(ValueToText, EveryKindOfFieldValue)
{
    struct Case { QVariant value; QString text; };
    const Case cases[] = {
        {QVariant(), ""},
        {QVariant(QMetaType(QMetaType::Int)), ""},
        {QVariant(QMetaType(QMetaType::QString)), ""},
        {42, "42"},
        {-7, "-7"},
        {qlonglong(12345678901LL), "12345678901"},
        {1.50, "1.5"},
        {2.0, "2"},
        {0.0, "0"},
        {-0.25, "-0.25"},
        {0.1, "0.1"},
        {1234567.125, "1234567.125"},
        {1e20, "100000000000000000000"},
        {true, "1"},
        {QDateTime(QDate(2024, 3, 5), QTime(7, 8, 9)), "2024-03-05 07:08:09"},
        {QDateTime(QDate(2024, 12, 31), QTime(0, 0)), "2024-12-31 00:00:00"},
        {QDate(2023, 1, 2), "2023-01-02"},
        {QTime(23, 59, 1), "23:59:01"},
        {QString("零件 A"), "零件 A"},
        {QString(""), ""},
        {QByteArray("\x01\x02\x03", 3), "<3 字节>"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ValueToText(c.value), c.text) << c.value.typeName();
}

TEST(LineReader, LineEndsAndTheEndOfFile)
{
    struct Case { QByteArray bytes; QList<QByteArray> lines; };
    const Case cases[] = {
        {"", {}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb\n", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"a\r\nb", {"a", "b"}},
        {"last without end", {"last without end"}},
        {"\n\n", {"", ""}},
        {"\r\n\r", {"", ""}},
        {"a\r\r\nb", {"a", "", "b"}},
        {"[\xb2\xe9\xd1\xaf\xc3\xfb\xb3\xc6]\r\nx", {"[\xb2\xe9\xd1\xaf\xc3\xfb\xb3\xc6]", "x"}},
    };
    for (const Case& c : cases) {
        QByteArray bytes = c.bytes;
        QBuffer buffer(&bytes);
        ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
        QList<QByteArray> lines;
        QByteArray line;
        while (ReadLine(buffer, line))
            lines.append(line);
        EXPECT_EQ(lines, c.lines) << c.bytes.toStdString();
        EXPECT_FALSE(ReadLine(buffer, line));
    }
}

TEST(CompareNoCase, FoldsAsciiLettersOnly)
{
    struct Case { QString a, b; int order; };
    const Case cases[] = {
        {"abc", "ABC", 0},
        {"[查询名称]", "[查询名称]", 0},
        {"Part零件", "pART零件", 0},
        {"a", "b", -1},
        {"B", "a", 1},
        {"ab", "abc", -1},
        {"", "", 0},
        {"Ä", "ä", -1},          // not ASCII letters: compared as GBK bytes, no folding
        {"_", "a", -1},         // '_' sorts before letters folded to lower case
        {"啊", "阿", -1},        // GBK order: B0A1 < B0A2
        {"a", "啊", -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CompareNoCase(c.a, c.b), c.order) << c.a.toStdString() << " / " << c.b.toStdString();
        EXPECT_EQ(CompareNoCase(c.b, c.a), -c.order);
        EXPECT_EQ(EqualsNoCase(c.a, c.b), c.order == 0);
    }
}

TEST(ComErrorReport, ShowsTheDescriptionInAMessageBox)
{
    ScriptedDesktop desktop;
    const ScopedDesktop scope(desktop);
    ReportComError("表不存在", "ZQDBConnection");
    ReportComError("");
    ASSERT_EQ(desktop.events.size(), 2);
    EXPECT_EQ(desktop.events[0].kind, "MSG");
    EXPECT_EQ(desktop.events[0].fields, QStringList({"操作提示", "表不存在\n\n来源: ZQDBConnection"}));
    EXPECT_EQ(desktop.events[1].fields, QStringList({"操作提示", "数据库操作失败"}));
}

TEST(QtDesktopWithoutWidgets, AnswersWithoutShowingAnything)
{
    // A console tool has no QApplication: boxes give their neutral answer instead of crashing.
    // The test program has one, so the checks run in a copy of it that makes none.
    if (QCoreApplication::instance()) {
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QString::fromLatin1(zq::test::kNoApplicationVariable), QStringLiteral("1"));
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--gtest_filter=QtDesktopWithoutWidgets.AnswersWithoutShowingAnything")});
        ASSERT_TRUE(child.waitForFinished(60000));
        const QString output = QString::fromLocal8Bit(child.readAll());
        EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
        EXPECT_TRUE(output.contains(QStringLiteral("[  PASSED  ] 1 test"))) << output.toStdString();
        return;
    }
    QtDesktop desktop;
    EXPECT_EQ(desktop.messageBox("t", "c", MB_YESNO | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(desktop.messageBox("t", "c", MB_OKCANCEL), IDCANCEL);
    EXPECT_EQ(desktop.messageBox("t", "c", MB_OK), IDOK);
    EXPECT_FALSE(desktop.saveFile({}).has_value());
    EXPECT_EQ(desktop.popupMenu({{1, "a"}}, {}), 0);
    EXPECT_FALSE(desktop.pick({}).has_value());
    desktop.beginWaitCursor();
    desktop.endWaitCursor();
}

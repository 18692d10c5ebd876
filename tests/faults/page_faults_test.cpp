// Faults while a page searches, on every page of the fault table and on every engine: a second
// "查找" and the host's DestorySearchMain while the read lets events through, a full disk and a
// read-only folder for the export, and PostgreSQL sessions ended between two searches and in the
// middle of a read. Nothing is lost, the user is told once, and the next search lists everything.
#include "FaultWindow.h"
#include "PgServerFaults.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace faults {
namespace {

using F = CZQPDMSearchFunction;

// A folder in which nothing can be created, not even by root: the immutable attribute where the
// file system has it (chattr +i, taken off again at the end), else a folder of /proc.
class UnwritableFolder {
public:
    UnwritableFolder()
    {
        m_path = m_dir.filePath(QStringLiteral("read-only"));
        QDir().mkpath(m_path);
        m_immutable = QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), m_path}) == 0;
        QFile probe(m_path + QStringLiteral("/probe"));
        if (!m_immutable || probe.open(QIODevice::WriteOnly)) {
            probe.remove();
            m_path = QStringLiteral("/proc/self");
        }
    }
    ~UnwritableFolder()
    {
        if (m_immutable)
            QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), m_dir.filePath(QStringLiteral("read-only"))});
    }
    QString path() const { return m_path; }

private:
    QTemporaryDir m_dir;
    QString m_path;
    bool m_immutable = false;
};

class PageFaults : public testing::TestWithParam<std::tuple<std::string, size_t>> {
protected:
    void SetUp() override
    {
        zq::test::EnsureApp();
        m_home = std::make_unique<zq::test::EngineHome>(QString::fromStdString(std::get<0>(GetParam())));
        if (!m_home->available())
            GTEST_SKIP() << "ZQ_TEST_PG not set";
        ASSERT_TRUE(m_home->ok()) << m_home->error().toStdString();
        const QString today = m_home->home().today().toString(Qt::ISODate);
        ASSERT_EQ(AddFaultRows(m_home->databaseUrl(), today), QString());
        desktop.fixedNow = QDateTime(m_home->home().today(), QTime(12, 0));
        m_window = std::make_unique<FaultWindow>();
        ASSERT_NE(m_window->select(entry()), nullptr) << entry().caption;
        m_all = m_window->find();
        ASSERT_GE(m_all, kFaultRows);
        ASSERT_EQ(desktop.messages(), QStringList());
        desktop.reset();
    }
    void TearDown() override { m_window.reset(); }

    const FaultPage& entry() const { return FaultPages().at(std::get<1>(GetParam())); }
    bool postgres() const { return std::get<0>(GetParam()) == "postgresql"; }
    QString status() const { return QStringLiteral("操作提示:共查到%1项记录"); }

    zq::test::ScopedEnv m_user{"ZQPDM_USER", QStringLiteral("zhangwei")};
    FaultDesktop desktop;
    zq::ScopedDesktop m_scope{desktop};
    std::unique_ptr<zq::test::EngineHome> m_home;
    std::unique_ptr<FaultWindow> m_window;
    int m_all = 0;   // the rows of a search that nothing disturbs
};

TEST_P(PageFaults, SecondFindWhileReadingIsIgnored)
{
    desktop.onPump = [&](int pump) {
        if (pump == 5)
            m_window->window->OnFind();
    };
    EXPECT_EQ(m_window->find(), m_all);
    EXPECT_EQ(desktop.queries, entry().pumps ? 1 : 0);
    EXPECT_EQ(m_window->window->StatusText(), status().arg(m_all));
    EXPECT_EQ(desktop.messages(), QStringList());
}

TEST_P(PageFaults, DestroyWhileReadingWaitsForTheRead)
{
    if (!entry().pumps)
        GTEST_SKIP() << "its read lets no event through: nothing can arrive while it runs";
    QPointer<CZQPDMSearchMain> old = m_window->window;
    desktop.onPump = [&](int pump) {
        if (pump == 5)
            F::DestorySearchMain();   // the host's call, while rows are read
    };
    old->OnFind();
    EXPECT_EQ(F::m_pPDMSearchMain, nullptr);
    ASSERT_FALSE(old.isNull());   // the read finished on a living page
    EXPECT_EQ(old->CurrentPage()->GetResultList()->GetItemCount(), m_all);
    FlushDeferredDeletes();
    EXPECT_TRUE(old.isNull());

    // The host's next request gets a new window whose page searches as before.
    desktop.reset();
    m_window->open();
    ASSERT_NE(m_window->select(entry()), nullptr);
    EXPECT_EQ(m_window->find(), m_all);
    EXPECT_EQ(desktop.messages(), QStringList());
}

TEST_P(PageFaults, ExportToAFullDiskOrAReadOnlyFolderIsReported)
{
    QTemporaryDir dir;
    const QString full = dir.filePath(QStringLiteral("full.txt"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/full"), full));
    UnwritableFolder readOnly;
    const QString locked = readOnly.path() + QStringLiteral("/result.txt");
    const struct {
        QString path;
        QString message;
    } failures[] = {
        {full, QStringLiteral("写入文件时出错: ") + full},
        {locked, QStringLiteral("不能打开文件 ") + locked},
    };
    for (const auto& f : failures) {
        desktop.reset();
        desktop.saveAnswer = zq::SaveFileAnswer{f.path, 1};
        m_window->window->OnSaveAs();
        EXPECT_EQ(desktop.messages(), QStringList{f.message});
        EXPECT_TRUE(desktop.eventsOf(QStringLiteral("OPEN")).isEmpty());
    }
    EXPECT_FALSE(QFile::exists(locked));

    // The list is as it was: saved elsewhere it is all there, and the page searches on.
    desktop.reset();
    const QString good = dir.filePath(QStringLiteral("good.txt"));
    desktop.saveAnswer = zq::SaveFileAnswer{good, 1};
    m_window->window->OnSaveAs();
    EXPECT_EQ(desktop.messages(), QStringList{QStringLiteral("存储完毕，是否打开该文件?")});
    QFile saved(good);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll().count("\r\n"), 2 + m_all);
    EXPECT_EQ(m_window->find(), m_all);
}

TEST_P(PageFaults, SessionsEndedBetweenSearchesAreMadeAgain)
{
    if (!postgres())
        GTEST_SKIP() << "an embedded database has no session to end";
    QString error;
    ASSERT_GE(zq::test::EndDatabaseSessions(m_home->databaseUrl(), &error), 1) << error.toStdString();
    EXPECT_EQ(m_window->find(), m_all);
    EXPECT_EQ(desktop.messages(), QStringList());
}

TEST_P(PageFaults, SessionsEndedWhileReadingKeepTheRowsReadAndTellOnce)
{
    if (!postgres())
        GTEST_SKIP() << "an embedded database has no session to end";
    if (!entry().pumps)
        GTEST_SKIP() << "its read lets no event through; the component's own test ends a read without one";
    desktop.onPump = [&](int pump) {
        if (pump == 10)
            zq::test::EndDatabaseSessions(m_home->databaseUrl());
    };
    const int kept = m_window->find();
    EXPECT_GE(kept, 8);
    EXPECT_LT(kept, m_all);
    EXPECT_EQ(desktop.errorReports(), 1) << desktop.messages().join(QStringLiteral(" | ")).toStdString();
    EXPECT_EQ(m_window->window->StatusText(), status().arg(kept));

    desktop.reset();
    EXPECT_EQ(m_window->find(), m_all);
    EXPECT_EQ(desktop.messages(), QStringList());
}

std::string CaseName(const testing::TestParamInfo<std::tuple<std::string, size_t>>& info)
{
    return std::get<0>(info.param) + "_" + FaultPages().at(std::get<1>(info.param)).name;
}

INSTANTIATE_TEST_SUITE_P(Pages, PageFaults,
                         testing::Combine(testing::Values("sqlite", "postgresql"),
                                          testing::Range<size_t>(0, FaultPages().size())),
                         CaseName);

} // namespace
} // namespace faults

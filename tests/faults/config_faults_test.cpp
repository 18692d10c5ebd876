// Configuration files that are missing, empty, binary garbage, 10 MB long, a folder, or not
// readable: the page list, "zqpdmcad.ini", "zqpdmcod.ini" and "search.ini". The window comes up (without tabs
// and with "不能创建查询页面！" only when the page list cannot be read), the settings fall back
// to their defaults (the first entry wins in a long file), and every page searches as before.
#include "ECOOldDrawingNumber.h"
#include "FaultWindow.h"
#include "FlatTabCtrl.h"
#include "GbkText.h"
#include "PageList.h"
#include "PartConditions.h"
#include "SavedPatterns.h"
#include "ZQPDMSearchView.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>

namespace faults {
namespace {

enum class Damage { Intact, Missing, Empty, Garbage, Huge, Folder, Unreadable };

struct DamageCase {
    const char* name;
    Damage damage;
};

const DamageCase kDamages[] = {
    {"missing", Damage::Missing}, {"empty", Damage::Empty},   {"garbage", Damage::Garbage},
    {"10 MB", Damage::Huge},      {"a folder", Damage::Folder}, {"unreadable", Damage::Unreadable},
};

constexpr qsizetype kHugeBytes = 10 * 1024 * 1024;

QByteArray Garbage()
{
    QRandomGenerator random(13);
    QByteArray bytes(64 * 1024, '\0');
    for (char& b : bytes)
        b = char(random.bounded(256));
    return bytes;
}

// The file as it was, then lines that must never be read: a long file keeps its first entries.
QByteArray Huge(const QByteArray& intact, const QByteArray& line)
{
    QByteArray bytes = intact + "\r\n";
    bytes.reserve(kHugeBytes + line.size());
    while (bytes.size() < kHugeBytes)
        bytes += line;
    return bytes;
}

// Puts the damage in place of the file and the file back at the end.
class DamagedFile {
public:
    DamagedFile(const QString& path, Damage damage, const QByteArray& hugeLine) : m_path(path)
    {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            m_intact = file.readAll();
        file.close();
        QFile::remove(path);
        switch (damage) {
        case Damage::Intact: write(m_intact); break;
        case Damage::Missing: break;
        case Damage::Empty: write({}); break;
        case Damage::Garbage: write(Garbage()); break;
        case Damage::Huge: write(Huge(m_intact, hugeLine)); break;
        case Damage::Folder: QDir().mkpath(path); break;
        case Damage::Unreadable: QFile::link(QStringLiteral("/proc/self/mem"), path); break;   // opens, every read fails
        }
    }
    ~DamagedFile()
    {
        QDir(m_path).removeRecursively();
        QFile::remove(m_path);
        write(m_intact);
    }

private:
    void write(const QByteArray& bytes)
    {
        QFile file(m_path);
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
    }
    QString m_path;
    QByteArray m_intact;
};

class ConfigFaults : public testing::Test {
protected:
    void SetUp() override
    {
        zq::test::EnsureApp();
        ASSERT_TRUE(m_home.ok()) << m_home.error().toStdString();
        desktop.fixedNow = QDateTime(m_home.today(), QTime(12, 0));
        m_all = Searches();
        ASSERT_EQ(desktop.messages(), QStringList());
    }
    // The rows of every page's broad search in a new window; −1 for a page it has not.
    std::vector<int> Searches()
    {
        FaultWindow window;
        std::vector<int> rows;
        for (const FaultPage& entry : FaultPages())
            rows.push_back(window.select(entry) ? window.find() : -1);
        return rows;
    }
    QString path(const char* relative) const { return m_home.path(QString::fromUtf8(relative)); }

    zq::test::ScopedEnv m_user{"ZQPDM_USER", QStringLiteral("zhangwei")};
    zq::test::SeededHome m_home;
    FaultDesktop desktop;
    zq::ScopedDesktop m_scope{desktop};
    std::vector<int> m_all;
};

TEST_F(ConfigFaults, PageList)
{
    QByteArray captions;
    for (const zq::KnownPage& page : zq::KnownPages())
        captions += zq::EncodeGbk(QString::fromUtf8(page.caption)) + "\r\n";
    for (const DamageCase& c : kDamages) {
        SCOPED_TRACE(c.name);
        DamagedFile damaged(path("Support/Search.cfg"), c.damage, captions);
        desktop.reset();
        FaultWindow window;
        const bool unreadable = c.damage == Damage::Missing || c.damage == Damage::Folder || c.damage == Damage::Unreadable;
        EXPECT_EQ(desktop.messages(), unreadable ? QStringList{QStringLiteral("不能创建查询页面！")} : QStringList());
        const int tabs = window.window->TabCtrl()->GetItemCount();
        if (c.damage == Damage::Huge) {
            // Captions repeated to 10 MB: the tabs stop at the limit and the first page searches.
            EXPECT_EQ(tabs, zq::kMaxPageTabs);
            ASSERT_NE(window.select(FaultPages()[0]), nullptr);
            EXPECT_EQ(window.find(), m_all[0]);
        } else {
            EXPECT_EQ(tabs, 0);
            window.window->OnFind();    // nothing to search: nothing happens
            window.window->OnSaveAs();
            EXPECT_EQ(desktop.messages().size(), unreadable ? 1 : 0);
        }
    }
}

TEST_F(ConfigFaults, ClientConfiguration)
{
    const zq::part::ConditionNames intact = zq::part::ReadConditionNames(zq::part::ConditionConfigPath());
    const zq::part::ConditionNames defaults = zq::part::ReadConditionNames(QString());
    ASSERT_NE(intact.title, defaults.title);
    const int titleItem = zq::eco::ReadOldCodeConfig().titleItems[1];
    for (const DamageCase& c : kDamages) {
        SCOPED_TRACE(c.name);
        DamagedFile damaged(path("rnds/spt/zqpdmcad.ini"), c.damage,
                            zq::EncodeGbk(QStringLiteral("[产品属性]\r\n标题其他1=不该读到\r\n[图纸入库配置]\r\n标题其他2=1\r\n")));
        const zq::part::ConditionNames names = zq::part::ReadConditionNames(zq::part::ConditionConfigPath());
        const bool readable = c.damage == Damage::Huge;
        EXPECT_EQ(names.title, readable ? intact.title : defaults.title);
        EXPECT_EQ(names.attribute, readable ? intact.attribute : defaults.attribute);
        EXPECT_EQ(zq::eco::ReadOldCodeConfig().titleItems[1], readable ? titleItem : 119);
        desktop.reset();
        EXPECT_EQ(Searches(), m_all);
        EXPECT_EQ(desktop.messages(), QStringList());
    }
}

TEST_F(ConfigFaults, SystemCodeConfiguration)
{
    ASSERT_EQ(zq::eco::ReadOldCodeConfig().oldCodeItem, 119);
    for (const DamageCase& c : kDamages) {
        SCOPED_TRACE(c.name);
        DamagedFile damaged(path("sys/zqpdmcod.ini"), c.damage,
                            zq::EncodeGbk(QStringLiteral("[ZQPDM图号管理]\r\n旧图号项=26\r\n")));
        EXPECT_EQ(zq::eco::ReadOldCodeConfig().oldCodeItem, c.damage == Damage::Huge ? 119 : -1);
        desktop.reset();
        EXPECT_EQ(Searches(), m_all);
        EXPECT_EQ(desktop.messages(), QStringList());
    }
}

TEST_F(ConfigFaults, SavedPatterns)
{
    const QString file = path("rnds/spt/search.ini");
    const QStringList intact{QStringLiteral("ZQ8600*"), QStringLiteral("*箱?")};
    ASSERT_TRUE(zq::document::WriteSavedPatterns(file, intact));
    const FaultPage view{"view", "数据视图项", false, [](CZQSearchPage&) {}};
    for (const DamageCase& c : kDamages) {
        SCOPED_TRACE(c.name);
        // A long file goes on with lines outside any block: they are never patterns.
        DamagedFile damaged(file, c.damage, zq::EncodeGbk(QStringLiteral("不该读到\r\n")));
        const QStringList expected = c.damage == Damage::Huge ? intact : QStringList();
        EXPECT_EQ(zq::document::ReadSavedPatterns(zq::document::SavedPatternsPath()), expected);

        // The page offers what was read; a search remembers its pattern, and a file that cannot
        // be written is named in the message while the list keeps the pattern.
        desktop.reset();
        FaultWindow window;
        CZQSearchPage* page = window.select(view);
        ASSERT_NE(page, nullptr);
        auto* patterns = zq::ControlAs<QComboBox>(*page, CZQPDMSearchView::IDC_PATTERN);
        ASSERT_NE(patterns, nullptr);
        EXPECT_EQ(patterns->count(), expected.size());
        patterns->setEditText(QStringLiteral("FLT*"));
        window.find();
        EXPECT_EQ(patterns->count(), expected.size() + 1);
        const bool writable = c.damage != Damage::Folder && c.damage != Damage::Unreadable;
        EXPECT_EQ(desktop.messages(), writable ? QStringList()
                                               : QStringList{QStringLiteral("文件: %1 打不开!")
                                                                 .arg(zq::document::SavedPatternsPath())});
        desktop.reset();
        EXPECT_EQ(Searches(), m_all);
        EXPECT_EQ(desktop.messages(), QStringList());
    }
}

} // namespace
} // namespace faults

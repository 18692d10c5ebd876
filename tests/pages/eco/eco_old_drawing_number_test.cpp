// Old drawing number → drawing number: configuration, field choice, lookup on a database.
#include "ECOOldDrawingNumber.h"
#include "GbkText.h"
#include "ZQDBConnect.h"

#include <QDir>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zq::eco;

namespace {

// Sets an environment variable for one scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value) : m_name(name), m_had(qEnvironmentVariableIsSet(name))
    {
        m_old = qgetenv(name);
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
    bool m_had;
    QByteArray m_old;
};

void WriteFile(const QString& path, const QString& text)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    ASSERT_TRUE(zq::WriteGbkFile(path, text)) << path.toStdString();
}

TEST(EcoOldCode, TitleFieldChoice)
{
    struct Case {
        std::array<int, 5> items;
        int oldItem;
        int field;
    };
    const Case cases[] = {
        {{26, 119, 62, 119, 119}, -1, 0},   // the default configuration: never found
        {{26, 119, 62, 119, 119}, 26, 1},
        {{26, 119, 62, 119, 119}, 119, 2},  // the first equal number wins
        {{26, 119, 62, 119, 119}, 62, 3},
        {{1, 2, 3, 4, 5}, 4, 4},
        {{1, 2, 3, 4, 5}, 5, 5},
        {{1, 2, 3, 4, 5}, 6, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(OldCodeTitleField({c.items, c.oldItem}), c.field) << c.oldItem;
}

TEST(EcoOldCode, LookupSql)
{
    for (int n = 1; n <= 5; ++n)
        EXPECT_EQ(OldCodeLookupSql(n, "G-7"),
                  QStringLiteral("SELECT TCode FROM ZqlomiraAll_Title WHERE TOther%1 ='G-7'").arg(n));
    EXPECT_EQ(OldCodeLookupSql(2, "a'b"), QStringLiteral("SELECT TCode FROM ZqlomiraAll_Title WHERE TOther2 ='a''b'"));
    EXPECT_EQ(OldCodeLookupSql(0, "G-7"), QString());
    EXPECT_EQ(OldCodeLookupSql(6, "G-7"), QString());
}

TEST(EcoOldCode, ConfigurationDefaultsAndFiles)
{
    QTemporaryDir home, sys;
    ScopedEnv homeEnv("ZQPDM_HOME", home.path().toLocal8Bit());
    ScopedEnv sysEnv("ZQPDM_SYSDIR", sys.path().toLocal8Bit());

    OldCodeConfig config = ReadOldCodeConfig();
    EXPECT_EQ(config.titleItems, (std::array<int, 5>{26, 119, 62, 119, 119}));
    EXPECT_EQ(config.oldCodeItem, -1);

    WriteFile(home.path() + "/RNDS/Spt/ZQPDMCAD.ini",
              "[图纸入库配置]\r\n标题其他1=7\r\n标题其他2= 8 \r\n标题其他3=x\r\n标题其他5=\"12\"\r\n");
    WriteFile(sys.path() + "/zqpdmcod.ini", "[ZQPDM图号管理]\r\n旧图号项=8\r\n");
    config = ReadOldCodeConfig();
    EXPECT_EQ(config.titleItems, (std::array<int, 5>{7, 8, 0, 119, 12}));
    EXPECT_EQ(config.oldCodeItem, 8);
    EXPECT_EQ(OldCodeTitleField(config), 2);
}

TEST(EcoOldCode, TranslationOnDatabase)
{
    QTemporaryDir dir;
    const QString path = dir.path() + "/pdm.db";
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "eco_old_code_seed");
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        ASSERT_TRUE(q.exec("CREATE TABLE ZqlomiraAll_Title (TCode TEXT, TOther1 TEXT, TOther2 TEXT, TOther3 TEXT, "
                           "TOther4 TEXT, TOther5 TEXT)"));
        ASSERT_TRUE(q.exec("INSERT INTO ZqlomiraAll_Title VALUES ('T-1','OLD-1','x','x','x','x'),"
                           "('T-2','x','OLD-2','x','x','x'),('T-3','x','x','OLD-3','x','x'),"
                           "('T-4','x','x','x','OLD-4','x'),('T-5','x','x','x','x','OLD-5'),"
                           "('T-Q','O''1','','x','x','x')"));
        db.close();
    }
    QSqlDatabase::removeDatabase("eco_old_code_seed");

    zq::CZQDBConnect connection("sqlite:" + path);
    ASSERT_TRUE(connection.Init());
    ASSERT_TRUE(connection.ConnectPDM()) << connection.LastError().toStdString();

    for (int n = 1; n <= 5; ++n) {
        const OldCodeConfig config{{1, 2, 3, 4, 5}, n};
        EXPECT_EQ(TranslateOldDrawingNumber(connection, QStringLiteral("OLD-%1").arg(n), config),
                  QStringLiteral("T-%1").arg(n)) << n;
        // The same old number is not found through another field.
        const OldCodeConfig other{{1, 2, 3, 4, 5}, n % 5 + 1};
        EXPECT_EQ(TranslateOldDrawingNumber(connection, QStringLiteral("OLD-%1").arg(n), other), QString()) << n;
    }
    const OldCodeConfig first{{1, 2, 3, 4, 5}, 1};
    EXPECT_EQ(TranslateOldDrawingNumber(connection, "NOPE", first), QString());
    EXPECT_EQ(TranslateOldDrawingNumber(connection, "O'1", first), QStringLiteral("T-Q"));
    // An empty old number finds a row whose field is empty.
    const OldCodeConfig second{{1, 2, 3, 4, 5}, 2};
    EXPECT_EQ(TranslateOldDrawingNumber(connection, "", second), QStringLiteral("T-Q"));
    EXPECT_EQ(TranslateOldDrawingNumber(connection, "OLD-1", OldCodeConfig{}), QString());
}

} // namespace

// The database component against every available engine: the same table of cases on a
// scratch SQLite file and, when the test server is there, on PostgreSQL.
#include "DbTestSupport.h"
#include "ListCtrl.h"
#include "ReportRowModel.h"
#include "Recordset.h"
#include "ZQDBConnect.h"

#include <QDate>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QSqlRecord>

#include <clocale>
#include <cstring>
#include <string>

using namespace zq;

namespace {

class EngineTest : public testing::TestWithParam<std::string> {
protected:
    void SetUp() override
    {
        QString skipReason;
        m_db = dbtest::ScratchDatabase::create(GetParam(), &skipReason);
        if (!m_db)
            GTEST_SKIP() << skipReason.toStdString();
        m_connect = std::make_unique<CZQDBConnect>(m_db->url());
        ASSERT_TRUE(m_connect->Init()) << m_connect->LastError().toStdString();
        ASSERT_TRUE(m_connect->ConnectPDM()) << m_connect->LastError().toStdString();
    }

    void TearDown() override
    {
        m_connect.reset();
        m_db.reset();
        EnableSqlTrace(false);
        SetSqlTraceListener(nullptr);
    }

    Connection* pdm() { return m_connect->GetPtrPDM(); }

    // Reads every remaining row's field texts.
    static QList<QStringList> ReadAll(Recordset& rs)
    {
        QList<QStringList> rows;
        while (!rs.IsEOF()) {
            QStringList row;
            for (int i = 0; i < rs.FieldCount(); ++i)
                row << rs.GetFieldText(i);
            rows << row;
            rs.MoveNext();
        }
        return rows;
    }

    std::unique_ptr<dbtest::ScratchDatabase> m_db;
    std::unique_ptr<CZQDBConnect> m_connect;
};

template <class F>
long ErrorOf(F&& f)
{
    try {
        f();
    } catch (const _com_error& e) {
        return e.Error();
    }
    return 0;
}

TEST_P(EngineTest, ForwardOnlyRecordsetReadsEveryRowInOrder)
{
    Recordset rs;
    rs.Open(QStringLiteral("SELECT Code, Name, Qty FROM Part ORDER BY Code"), pdm(), adOpenForwardOnly, adLockReadOnly,
            adCmdUnspecified);
    ASSERT_TRUE(rs.IsOpen());
    EXPECT_EQ(rs.FieldCount(), 3);
    const auto rows = ReadAll(rs);
    ASSERT_EQ(rows.size(), 1000);
    EXPECT_EQ(rows.front(), (QStringList{"P0000", "零件0", "0"}));
    EXPECT_EQ(rows.back(), (QStringList{"P0999", "零件999", "999"}));
    EXPECT_TRUE(rs.IsEOF());
    EXPECT_EQ(ErrorOf([&] { rs.GetFieldValue(0); }), kErrBofEof);
    EXPECT_EQ(ErrorOf([&] { rs.MoveNext(); }), kErrBofEof);
    rs.Close();
    EXPECT_FALSE(rs.IsOpen());
    EXPECT_TRUE(rs.IsEOF());
    rs.Close();   // closing twice is harmless
}

TEST_P(EngineTest, EmptyResultIsAtEndAtOnce)
{
    Recordset rs;
    rs.Open(QStringLiteral("SELECT Code FROM Part WHERE Qty < 0"), pdm());
    EXPECT_TRUE(rs.IsEOF());
    EXPECT_EQ(rs.FieldCount(), 1);
}

TEST_P(EngineTest, MisuseOfARecordsetThrowsTheAdoErrors)
{
    Recordset rs;
    EXPECT_TRUE(rs.IsEOF());
    EXPECT_EQ(rs.FieldCount(), 0);
    EXPECT_EQ(ErrorOf([&] { rs.GetFieldValue(0); }), kErrObjectClosed);
    EXPECT_EQ(ErrorOf([&] { rs.MoveNext(); }), kErrObjectClosed);
    rs.Open(QStringLiteral("SELECT Code FROM Part ORDER BY Code"), pdm());
    EXPECT_EQ(ErrorOf([&] { rs.GetFieldValue(1); }), kErrItemNotFound);
    EXPECT_EQ(ErrorOf([&] { rs.GetFieldValue(-1); }), kErrItemNotFound);
    EXPECT_EQ(ErrorOf([&] { rs.Open(QStringLiteral("SELECT 1"), pdm()); }), kErrObjectOpen);
    EXPECT_EQ(rs.GetFieldText(0), "P0000");   // still on its first record
    EXPECT_EQ(ErrorOf([&] { Recordset().Open(QStringLiteral("SELECT 1"), nullptr); }), kErrInvalidConnection);
}

// The plain part search: an outer loop over every row with a name lookup per row, a second
// recordset read alongside, and a short-lived third one now and then.
TEST_P(EngineTest, RecordsetsStayOpenWhileOthersAndLookupsRun)
{
    Recordset outer;
    Recordset products;
    outer.Open(QStringLiteral("SELECT Code, ProductCode FROM Part ORDER BY Code"), pdm());
    products.Open(QStringLiteral("SELECT ProductDwgCode FROM Product ORDER BY ProductDwgCode"), pdm());
    int rows = 0, named = 0, productRows = 0, inner = 0;
    while (!outer.IsEOF()) {
        const QString product = outer.GetFieldText(1);
        const QString name = m_connect->GetSelectItemData(
            QStringLiteral("SELECT ProductName FROM Product WHERE ProductDwgCode = '%1'").arg(product), DataSystemPDM);
        const int k = product.mid(2).toInt();
        EXPECT_EQ(name, k < 10 ? QStringLiteral("产品%1").arg(k) : QString()) << product.toStdString();
        named += name.isEmpty() ? 0 : 1;
        if (!products.IsEOF()) {
            ++productRows;
            products.MoveNext();
        }
        if (rows % 100 == 0) {
            Recordset third;
            third.Open(QStringLiteral("SELECT Code FROM Part WHERE Code = '%1'").arg(outer.GetFieldText(0)), pdm());
            inner += third.IsEOF() ? 0 : 1;
            third.Close();
        }
        ++rows;
        outer.MoveNext();
    }
    EXPECT_EQ(rows, 1000);
    EXPECT_EQ(named, 1000 - 2 * 83);   // PR10 and PR11 have no product row
    EXPECT_EQ(productRows, 11);
    EXPECT_EQ(inner, 10);
}

// A recordset read to its end (the quick search) is planned for every row, one answered by an
// index (the content search) without scans of the table; either reads as any other, alone or
// beside another, and what it sets for its plan does not reach the next one, which a list shows
// as its first rows come.
TEST_P(EngineTest, ARecordsetWithPlanHintsReadsAsAnyOtherAndChangesNoOtherPlan)
{
    const QString all = QStringLiteral("SELECT Code, Name, Qty FROM Part ORDER BY Code");
    Recordset plain;
    plain.Open(all, pdm());
    const auto expected = ReadAll(plain);
    plain.Close();
    for (const int hints : {int(zqPlanForEveryRow), int(zqPreferIndexScans), int(zqPlanForEveryRow | zqPreferIndexScans)}) {
        SCOPED_TRACE(hints);
        Recordset outer;   // more rows than a first batch: it stays open (on PostgreSQL its transaction too)
        outer.Open(QStringLiteral("SELECT Code FROM Part ORDER BY Code"), pdm());
        for (int round = 0; round < 2; ++round) {   // beside an open recordset, then alone
            Recordset hinted;
            hinted.Open(all, pdm(), adOpenForwardOnly, adLockReadOnly, hints);
            EXPECT_EQ(ReadAll(hinted), expected);
            EXPECT_EQ(ErrorOf([&] {
                          Recordset failing;
                          failing.Open(QStringLiteral("SELECT NoSuchColumn FROM Part"), pdm(), adOpenForwardOnly,
                                       adLockReadOnly, hints);
                      }),
                      kErrFail);
            if (m_db->isPostgres()) {
                Recordset setting;
                setting.Open(QStringLiteral("SELECT current_setting('cursor_tuple_fraction') || ' ' || "
                                            "current_setting('enable_seqscan')"),
                             pdm());
                EXPECT_EQ(setting.GetFieldText(0), QStringLiteral("0.1 on"));
            }
            outer.Close();
        }
    }
}

// The structure walk keeps one recordset per level open; deep walks keep many at once.
TEST_P(EngineTest, ManyRecordsetsOpenAtOnce)
{
    constexpr int kLevels = 60;
    std::vector<std::unique_ptr<Recordset>> levels;
    for (int k = 0; k < kLevels; ++k) {
        levels.push_back(std::make_unique<Recordset>());
        levels.back()->Open(QStringLiteral("SELECT Qty FROM Part WHERE Qty >= %1 ORDER BY Qty").arg(k * 10), pdm());
        ASSERT_EQ(levels.back()->GetFieldText(0), QString::number(k * 10));
        levels.back()->MoveNext();
    }
    for (int k = kLevels - 1; k >= 0; --k) {
        EXPECT_EQ(int(ReadAll(*levels[k]).size()), 1000 - k * 10 - 1) << "level " << k;
        levels.pop_back();
    }
    EXPECT_EQ(m_connect->GetRecordCount(QStringLiteral("SELECT count(*) FROM Part")), 1000);
}

TEST_P(EngineTest, SingleValueLookups)
{
    const struct {
        const char* sql;
        const char* text;
    } cases[] = {
        {"SELECT ProductName FROM Product WHERE ProductDwgCode = 'PR03'", "产品3"},
        {"SELECT ProductName FROM Product WHERE ProductDwgCode = 'PR11'", ""},   // no row
        {"SELECT NULL FROM Part WHERE Code = 'P0001'", ""},
        {"SELECT Qty FROM Part WHERE Code = 'P0042'", "42"},
        {"SELECT Code, Name FROM Part WHERE Qty >= 998 ORDER BY Qty", "P0998"},   // first column, first row
        {"SELECT ProductName FROM Product WHERE ProductDwgCode = 'PRX'", "D:\\zq\\x"},
        {"SELECT SaveDate FROM Part WHERE Code = 'P0002'", "2024-01-03 08:00:00"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(m_connect->GetSelectItemData(QString::fromUtf8(c.sql)), QString::fromUtf8(c.text)) << c.sql;
}

TEST_P(EngineTest, RecordCounts)
{
    const struct {
        const char* sql;
        long count;
    } cases[] = {
        {"SELECT count(*) FROM Part", 1000},
        {"SELECT count(*) FROM Part WHERE Qty < 10", 10},
        {"SELECT count(*) FROM Part WHERE ProductCode = 'PR00'", 84},
        {"SELECT Qty FROM Part WHERE Qty < 0", 0},   // no row
        {"SELECT count(*) FROM Part WHERE Name LIKE '%件99%'", 11},
    };
    for (const auto& c : cases)
        EXPECT_EQ(m_connect->GetRecordCount(QString::fromUtf8(c.sql), QStringLiteral("PDM")), c.count) << c.sql;
}

// The module's T-SQL text gives the same answers on every engine.
TEST_P(EngineTest, DialectGivesTheSameAnswers)
{
    const struct {
        const char* sql;
        const char* text;
    } cases[] = {
        {"SELECT Code + '-' + Name FROM Part WHERE Code = 'P0001'", "P0001-零件1"},
        {"SELECT count(*) FROM Part WHERE Code LIKE 'p000%'", "10"},   // LIKE ignores case
        {"SELECT count(*) FROM Part WHERE (Code Like ('P00' + '1%'))", "10"},
        {"SELECT count(*) FROM Part a, Product b WHERE (a.ProductCode Like (b.ProductDwgCode + '%'))", "834"},
        {"SELECT count(*) FROM Product WHERE ProductName LIKE 'D:\\zq\\%'", "1"},   // backslash is no escape
        {"SELECT ltrim('  x') + '|' FROM Part WHERE Code = 'P0000'", "x|"},
        {"SELECT 'a+b' + Code FROM Part WHERE Code = 'P0000'", "a+bP0000"},
        {"SELECT Qty + 1 FROM Part WHERE Code = 'P0009'", "10"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(m_connect->GetSelectItemData(QString::fromUtf8(c.sql)), QString::fromUtf8(c.text)) << c.sql;
}

// Text is compared alike on every engine: LIKE ignores the case of every script (PostgreSQL's
// ILIKE; our LIKE on SQLite, natively and inside the ODBC driver), characters beyond the BMP reach
// every driver intact, and the ORDER BY the component adds puts NULLs first everywhere.
TEST_P(EngineTest, TextComparesAlikeOnEveryEngine)
{
    m_db->exec(QStringLiteral("INSERT INTO Product VALUES ('PU1', 'φ40×320'), ('PU2', 'ÄRGER Яблоко'), ('PU3', '𝄞谱'), "
                              "('PU4', NULL)"));
    const struct {
        const char* where;
        const char* codes;
    } cases[] = {
        {"ProductName LIKE '%Φ40%'", "PU1"},
        {"ProductName LIKE '%ärger яБЛОКО'", "PU2"},
        {"ProductName LIKE '%𝄞%'", "PU3"},
        {"ProductName = '𝄞谱'", "PU3"},
        {"ProductName LIKE '_谱' AND ProductDwgCode LIKE 'pu%'", "PU3"},
        {"ProductName LIKE '%φ40%' OR ProductName LIKE '%😀%'", "PU1"},   // an emoji loses no other row
        {"ProductName LIKE '%Ｇ%'", ""},
    };
    for (const auto& c : cases) {
        Recordset rs;
        rs.Open(QStringLiteral("SELECT ProductDwgCode FROM Product WHERE %1 ORDER BY ProductDwgCode").arg(QString::fromUtf8(c.where)),
                pdm());
        QStringList codes;
        for (const QStringList& row : ReadAll(rs))
            codes << row.value(0);
        EXPECT_EQ(codes.join(u','), QString::fromUtf8(c.codes)) << c.where;
    }
    Recordset names;
    names.Open(QStringLiteral("SELECT DISTINCT ProductName FROM Product WHERE ProductDwgCode LIKE 'PU%'"), pdm());
    QStringList listed;
    for (const QStringList& row : ReadAll(names))
        listed << row.value(0);
    EXPECT_EQ(listed, (QStringList{QString(), QStringLiteral("ÄRGER Яблоко"), QStringLiteral("φ40×320"), QStringLiteral("𝄞谱")}));
}

// Through ODBC too, the connection knows the system behind it, which decides the dialect.
TEST_P(EngineTest, ConnectionNamesTheSystemBehindIt)
{
    const QString expected = m_db->isPostgres() ? QStringLiteral("PostgreSQL") : QStringLiteral("SQLite");
    EXPECT_EQ(pdm()->dbms(), expected);
    EXPECT_EQ(pdm()->driver() == u"QODBC", zq::test::IsOdbcEngine(QString::fromStdString(GetParam())));
}

TEST_P(EngineTest, ChineseTextRoundTrips)
{
    const QString text = QStringLiteral("齿轮箱·盖板（右）");
    m_db->exec(QStringLiteral("INSERT INTO Product VALUES ('PRZ', '%1')").arg(text));
    EXPECT_EQ(m_connect->GetSelectItemData(QStringLiteral("SELECT ProductName FROM Product WHERE ProductDwgCode = 'PRZ'")),
              text);
    EXPECT_EQ(m_connect->GetSelectItemData(QStringLiteral("SELECT ProductDwgCode FROM Product WHERE ProductName = '%1'").arg(text)),
              "PRZ");
    EXPECT_EQ(m_connect->GetSelectItemData(QStringLiteral("SELECT ProductDwgCode FROM Product WHERE ProductName LIKE '%盖板%'")),
              "PRZ");
}

// Under the "C" locale (a service, a CI run) Chinese text in a statement still reaches every
// driver, also an ODBC driver without the wide-character API.
TEST_P(EngineTest, ChineseStatementTextSurvivesTheCLocale)
{
    m_db->exec(QStringLiteral("INSERT INTO Product VALUES ('PRC', '减速器箱盖')"));
    const std::string previous = std::setlocale(LC_CTYPE, nullptr);
    std::setlocale(LC_CTYPE, "C");
    QString code;
    {
        CZQDBConnect connect(m_db->url());
        if (connect.Init() && connect.ConnectPDM())
            code = connect.GetSelectItemData(QStringLiteral("SELECT ProductDwgCode FROM Product WHERE ProductName = '减速器箱盖'"));
    }
    std::setlocale(LC_CTYPE, previous.c_str());
    EXPECT_EQ(code, QStringLiteral("PRC"));
}

// Each way of running a bad statement throws the COM error with the engine's message and the
// statement as given; the connection stays usable, also for a recordset open at the time.
TEST_P(EngineTest, BadSqlThrowsComErrorAndKeepsTheConnection)
{
    Recordset open;
    open.Open(QStringLiteral("SELECT Code FROM Part ORDER BY Code"), pdm());
    const QString bad[] = {
        QStringLiteral("SELECT Code FROM NoSuchTable"),
        QStringLiteral("SELECT NoSuchColumn FROM Part"),
        QStringLiteral("SELECT Code FROM Part WHERE Name = 'O'Brien'"),
        QStringLiteral("SELEC Code FROM Part"),
        QStringLiteral("SELECT Code FROM Part; DELETE FROM Part"),   // one statement at a time
    };
    for (const QString& sql : bad) {
        const std::function<void()> runs[] = {
            [&] { Recordset().Open(sql, pdm()); },
            [&] { m_connect->GetSelectItemData(sql); },
            [&] { m_connect->GetRecordCount(sql); },
        };
        for (const auto& run : runs) {
            try {
                run();
                ADD_FAILURE() << "no error for " << sql.toStdString();
            } catch (const _com_error& e) {
                EXPECT_EQ(e.Error(), kErrFail);
                EXPECT_EQ(e.Sql(), sql);
                EXPECT_FALSE(e.Description().isEmpty());
                EXPECT_TRUE(e.ErrorMessage().startsWith(QStringLiteral("错误 0x80004005: "))) << e.what();
            }
        }
        CReportListCtrl list;
        EXPECT_LT(m_connect->GetRecordInfo(sql, &list, 0, false, DataSystemPDM), 0);
        EXPECT_FALSE(m_connect->LastError().isEmpty());
    }
    EXPECT_EQ(ReadAll(open).size(), 1000);
    EXPECT_EQ(m_connect->GetRecordCount(QStringLiteral("SELECT count(*) FROM Part")), 1000);
}

TEST_P(EngineTest, ReadErrorInOneRecordsetLeavesTheOthers)
{
    if (!m_db->isPostgres())
        GTEST_SKIP() << "SQLite reads a division by zero as NULL";
    Recordset outer;
    outer.Open(QStringLiteral("SELECT Code FROM Part ORDER BY Code"), pdm());
    outer.MoveNext();
    const long error = ErrorOf([&] {
        Recordset failing;
        failing.Open(QStringLiteral("SELECT 1 / (Qty - 700) FROM Part ORDER BY Qty"), pdm());
        ReadAll(failing);
    });
    EXPECT_EQ(error, kErrFail);
    EXPECT_EQ(ReadAll(outer).size(), 999);
}

// PostgreSQL texts are read from libpq's result, other kinds through Qt's driver: across batch
// ends, a column that holds a text in one row and NULL in the next reads as Qt's driver gives it.
TEST_P(EngineTest, PostgresTextsAcrossBatchesReadAsTheDriverGivesThem)
{
    if (GetParam() != "postgresql")
        GTEST_SKIP() << "native PostgreSQL reads through cursors in batches";
    Recordset records;
    records.Open(QStringLiteral("SELECT Code, CAST(Name AS VARCHAR(20)), CAST('ab' AS CHAR(4)), CAST(NULL AS TEXT), Qty, "
                                "CASE WHEN Qty % 2 = 0 THEN Name END, CAST(2.5 AS DOUBLE PRECISION) FROM Part ORDER BY Code"),
                 pdm());
    int n = 0;
    for (; !records.IsEOF(); records.MoveNext(), ++n) {
        const QString code = QStringLiteral("P%1").arg(n, 4, 10, QLatin1Char('0'));
        ASSERT_EQ(records.GetFieldValue(0), QVariant(code)) << n;
        ASSERT_EQ(records.GetFieldValue(1), QVariant(QStringLiteral("零件%1").arg(n))) << n;
        ASSERT_EQ(records.GetFieldValue(2), QVariant(QStringLiteral("ab  "))) << n;
        const QVariant null = records.GetFieldValue(3);
        ASSERT_TRUE(null.isNull() && null.typeId() == QMetaType::QString) << n;
        ASSERT_EQ(records.GetFieldValue(4).toInt(), n);
        const QVariant alternating = records.GetFieldValue(5);
        ASSERT_EQ(alternating.typeId(), QMetaType::QString) << n;
        ASSERT_EQ(alternating.isNull(), n % 2 == 1) << n;
        if (n % 2 == 0) {
            ASSERT_EQ(alternating.toString(), QStringLiteral("零件%1").arg(n)) << n;
        }
        ASSERT_EQ(records.GetFieldValue(6).toDouble(), 2.5) << n;
    }
    EXPECT_EQ(n, 1000);
}

// A text read as the engine holds it (UTF-8, no decoding) is the text GetFieldText gives, for
// every kind of field and text, before and after the record's values were asked for; and a list
// row made of such texts holds them as they read.
TEST_P(EngineTest, TextsAsStoredReadAsTheirTexts)
{
    m_db->exec(QStringLiteral("CREATE TABLE Odd (Id INTEGER, Txt TEXT)"));
    const QString texts[] = {QString(), QStringLiteral("ZQ8600-01"), QStringLiteral("Müller 2½"),
                             QStringLiteral("齿轮箱·盖板（右）"), QStringLiteral("𠀋 beyond"), QStringLiteral("\uFEFFbom"),
                             QStringLiteral("tab\there"), QString(300, u'x')};
    for (int i = 0; i < int(std::size(texts)); ++i)
        m_db->exec(QStringLiteral("INSERT INTO Odd VALUES (%1, '%2')").arg(i).arg(texts[i]));
    m_db->exec(QStringLiteral("INSERT INTO Odd VALUES (99, NULL)"));
    for (const bool decodeFirst : {false, true}) {
        SCOPED_TRACE(decodeFirst ? "values asked for first" : "texts only");
        Recordset records;
        records.Open(QStringLiteral("SELECT Txt, Id, Id * 2.5, Txt || '·' FROM Odd ORDER BY Id"), pdm());
        int n = 0;
        for (; !records.IsEOF(); records.MoveNext(), ++n) {
            QStringList expected;
            if (decodeFirst)
                for (int i = 0; i < records.FieldCount(); ++i)
                    expected << records.GetFieldText(i);
            QString scratch[4];
            QAnyStringView stored[4];
            for (int i = 0; i < 4; ++i)
                stored[i] = records.GetFieldTextAsStored(i, scratch[i]);
            if (!decodeFirst)
                for (int i = 0; i < records.FieldCount(); ++i)
                    expected << records.GetFieldText(i);
            ReportRowModel model;
            for (int i = 0; i < 4; ++i)
                model.insertColumn(i, QString::number(i), 0);
            model.insertRow(0, std::span<const QAnyStringView>(stored), -1);
            // The native engines give a text as their own UTF-8, undecoded (ODBC through Qt's driver).
            const bool native = GetParam() == "sqlite" || GetParam() == "postgresql";
            const bool utf8 = stored[0].visit([](auto view) {
                using View = decltype(view);
                return !std::is_same_v<View, QStringView> && !std::is_same_v<View, QLatin1StringView>;
            });
            ASSERT_EQ(utf8, native && !decodeFirst) << "row " << n;
            for (int i = 0; i < 4; ++i) {
                ASSERT_EQ(stored[i].toString(), expected.value(i)) << "row " << n << ", field " << i;
                ASSERT_EQ(model.text(0, i), expected.value(i)) << "row " << n << ", field " << i;
            }
            if (n < int(std::size(texts))) {
                ASSERT_EQ(expected.value(0), QString::fromUtf8(texts[n].toUtf8())) << n;   // as Qt reads UTF-8
            }
        }
        EXPECT_EQ(n, int(std::size(texts)) + 1);
    }
}

// While a recordset is read, look-ups on the connection run on the session that reads it, so a
// client never needs a second server connection (behind a pooler in transaction mode there may
// be none to give); a failing look-up leaves the read as it was, and nothing stays open after.
TEST_P(EngineTest, LookUpsWhileReadingUseTheReadingSession)
{
    if (GetParam() != "postgresql")
        GTEST_SKIP() << "native PostgreSQL reads recordsets through cursors on a session of their own";
    const QString pid = QStringLiteral("SELECT pg_backend_pid()");
    const QString primary = m_connect->GetSelectItemData(pid);
    Recordset records;
    records.Open(QStringLiteral("SELECT Code FROM Part ORDER BY Code"), pdm());   // more than one batch
    records.MoveNext();
    const QString reading = m_connect->GetSelectItemData(pid);
    EXPECT_NE(reading, primary);
    EXPECT_EQ(m_connect->GetSelectItemData(QStringLiteral("SELECT Name FROM Part WHERE Code = 'P0042'")), "零件42");
    EXPECT_EQ(ErrorOf([&] { m_connect->GetSelectItemData(QStringLiteral("SELECT 1 / (Qty - 700) FROM Part")); }),
              kErrFail);
    EXPECT_EQ(ReadAll(records).size(), 999);
    records.Close();
    EXPECT_EQ(m_connect->GetSelectItemData(pid), primary);
    // The reading session's transaction ended with the read.
    EXPECT_EQ(m_connect->GetSelectItemData(QStringLiteral(
                  "SELECT count(*) FROM pg_stat_activity WHERE pid = %1 AND state LIKE 'idle in transaction%'").arg(reading)),
              "0");
}

TEST_P(EngineTest, GetRecordInfoFillsTheList)
{
    const QString sql = QStringLiteral("SELECT Code, Name, Qty FROM Part WHERE Qty < 5 ORDER BY Qty");
    CReportListCtrl list;
    EXPECT_EQ(m_connect->GetRecordInfo(sql, &list, 0, false, DataSystemPDM), 5);
    ASSERT_EQ(list.GetColumnCount(), 3);
    const char* names[] = {"Code", "Name", "Qty"};
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(list.GetHeaderCtrl()->GetItemText(c).compare(QString::fromLatin1(names[c]), Qt::CaseInsensitive), 0);
    ASSERT_EQ(list.GetItemCount(), 5);
    EXPECT_EQ(list.GetItemText(4, 0), "P0004");
    EXPECT_EQ(list.GetItemText(4, 1), "零件4");
    EXPECT_EQ(list.GetItemText(4, 2), "4");

    // The page's own columns are kept; fields beyond them are not shown.
    CReportListCtrl twoColumns;
    twoColumns.InsertColumn(0, QStringLiteral("图号"));
    twoColumns.InsertColumn(1, QStringLiteral("名称"));
    twoColumns.InsertItem(0, QStringLiteral("old"));
    EXPECT_EQ(m_connect->GetRecordInfo(sql, &twoColumns), 5);
    EXPECT_EQ(twoColumns.GetColumnCount(), 2);
    EXPECT_EQ(twoColumns.GetItemCount(), 5);   // not appending: the old row went
    EXPECT_EQ(twoColumns.GetItemText(0, 1), "零件0");
    EXPECT_EQ(twoColumns.GetItemText(0, 2), "");

    EXPECT_EQ(m_connect->GetRecordInfo(sql, &twoColumns, 3, true), 2);   // skip 3 records, append
    ASSERT_EQ(twoColumns.GetItemCount(), 7);
    EXPECT_EQ(twoColumns.GetItemText(5, 0), "P0003");
    EXPECT_EQ(m_connect->GetRecordInfo(QStringLiteral("SELECT Code FROM Part WHERE Qty < 0"), &twoColumns), 0);
    EXPECT_EQ(twoColumns.GetItemCount(), 0);
    EXPECT_LT(m_connect->GetRecordInfo(sql, nullptr), 0);
}

TEST_P(EngineTest, ServerDateIsTodayAsText)
{
    const QString date = m_connect->FetchServerDate(DataSystemPDM);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$")).match(date).hasMatch()) << date.toStdString();
    const QDate day = QDate::fromString(date, QStringLiteral("yyyy-MM-dd"));
    ASSERT_TRUE(day.isValid());
    EXPECT_LE(std::abs(day.daysTo(QDate::currentDate())), 1);
}

// Every statement is traced exactly as the caller built it, before engine adaptation.
TEST_P(EngineTest, TraceWritesOneLinePerStatement)
{
    QStringList heard;
    SetSqlTraceListener([&](const QString& sql) { heard << sql; });
    const QString statements[] = {
        QStringLiteral("SELECT Code + '-' FROM Part WHERE Name LIKE '零件1%'"),
        QStringLiteral("SELECT ProductName FROM Product WHERE ProductDwgCode = 'PR01'"),
        QStringLiteral("SELECT count(*) FROM Part"),
        QStringLiteral("SELECT Code FROM Part WHERE Qty < 2"),
    };
    EnableSqlTrace(true);
    testing::internal::CaptureStderr();
    {
        Recordset rs;
        rs.Open(statements[0], pdm());
        m_connect->GetSelectItemData(statements[1]);
        m_connect->GetRecordCount(statements[2]);
        CReportListCtrl list;
        m_connect->GetRecordInfo(statements[3], &list);
        m_connect->FetchServerDate();
    }
    const QString written = QString::fromStdString(testing::internal::GetCapturedStderr());
    EnableSqlTrace(false);
    ASSERT_EQ(heard.size(), 5);
    QString expected;
    for (const QString& sql : heard)
        expected += QStringLiteral("SQL: ") + sql + u'\n';
    EXPECT_EQ(written, expected);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(heard[i], statements[i]);
    EXPECT_TRUE(heard[4].startsWith(QStringLiteral("SELECT "))) << heard[4].toStdString();

    testing::internal::CaptureStderr();
    m_connect->GetSelectItemData(statements[1]);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");   // tracing off: nothing written
    EXPECT_EQ(heard.size(), 6);                               // but the listener still hears it
}

TEST_P(EngineTest, RecordsetOutlivingItsConnectionObjectReadsOn)
{
    Recordset rs;
    rs.Open(QStringLiteral("SELECT Code FROM Part ORDER BY Code"), pdm());
    rs.MoveNext();
    m_connect.reset();
    EXPECT_EQ(ReadAll(rs).size(), 999);
}

// SQLite records are read on the engine's own statements: every kind of value comes out as
// Qt's SQLite driver gives it (the pages' texts depend on the value's type).
TEST(SqliteRecordset, ValuesAsQtSqlReadsThem)
{
    QString skipReason;
    auto db = dbtest::ScratchDatabase::create("sqlite", &skipReason);
    ASSERT_TRUE(db) << skipReason.toStdString();
    CZQDBConnect connect(db->url());
    ASSERT_TRUE(connect.Init() && connect.ConnectPDM()) << connect.LastError().toStdString();
    // The last two columns change kind from row to row (text, NULL, number), as a read reuses
    // each field's value of the row before.
    const QString sql = QStringLiteral("SELECT 42, -7, Qty, 2.5, 1e300, 'text', '中文€', '', NULL, x'00ff10', Code, "
                                       "SaveDate, CASE Qty WHEN 1 THEN NULL ELSE Name END, "
                                       "CASE Qty WHEN 1 THEN 7 ELSE Name END FROM Part WHERE Qty < 3 ORDER BY Qty");
    Recordset records;
    records.Open(sql, connect.GetPtrPDM());
    const QString name = QStringLiteral("qt-sqlite-reference");
    {
        QSqlDatabase reference = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        reference.setDatabaseName(db->url().mid(int(strlen("sqlite:"))));
        ASSERT_TRUE(reference.open());
        QSqlQuery query(reference);
        query.setForwardOnly(true);
        ASSERT_TRUE(query.exec(sql));
        int rows = 0;
        QVariantList kept;   // the values of the row before, held past the read of the next
        QVariantList keptAsRead;
        while (query.next()) {
            EXPECT_EQ(kept, keptAsRead) << "a value held by the caller changed with row " << rows;
            ASSERT_FALSE(records.IsEOF());
            ASSERT_EQ(records.FieldCount(), query.record().count());
            for (int i = 0; i < records.FieldCount(); ++i) {
                const QVariant ours = records.GetFieldValue(i), theirs = query.value(i);
                EXPECT_EQ(ours.typeId(), theirs.typeId()) << "row " << rows << " field " << i;
                EXPECT_EQ(ours.isNull(), theirs.isNull()) << "row " << rows << " field " << i;
                EXPECT_EQ(ours, theirs) << "row " << rows << " field " << i;
            }
            kept.clear();
            keptAsRead.clear();
            for (int i = 0; i < records.FieldCount(); ++i) {
                kept.append(records.GetFieldValue(i));
                keptAsRead.append(query.value(i));
            }
            records.MoveNext();
            ++rows;
        }
        EXPECT_EQ(rows, 3);
        EXPECT_TRUE(records.IsEOF());
    }
    QSqlDatabase::removeDatabase(name);
}

INSTANTIATE_TEST_SUITE_P(Engines, EngineTest, testing::ValuesIn(dbtest::Engines()),
                         [](const testing::TestParamInfo<std::string>& info) {
                             return zq::test::EngineTestName(info.param.c_str());
                         });

} // namespace

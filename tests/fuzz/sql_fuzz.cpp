// Every SQL builder of every page, fed hostile condition texts and odd dates, run against the
// demo database with rows of hostile texts added: the statement always runs, and returns exactly
// the rows a literal reading of the texts gives (SqlOracle). The shared date-range rule is also
// checked against the dates themselves: a row is found when its day lies in the range.
#include "DateCondition.h"
#include "FuzzSupport.h"
#include "OpenDatabase.h"
#include "Seeder.h"
#include "SqlBuilders.h"
#include "SqlOracle.h"
#include "ZQDBConnect.h"
#include "ZQPDMFC.h"

#include <QDir>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <memory>

using zqfuzz::Check;

namespace {

// Texts stored in the database next to the demo data, so that hostile conditions find something.
const QStringList& StoredTexts()
{
    static const QStringList texts = {
        QStringLiteral("O'Brien"), QStringLiteral("50%"), QStringLiteral("a_b"), QStringLiteral("[x]"),
        QStringLiteral("back\\slash"), QStringLiteral("*star?"), QStringLiteral("ltrim(x)+'y'"),
        QStringLiteral("Ａ全角"), QStringLiteral("𝄞谱"), QStringLiteral(" lead"), QStringLiteral("trail "),
        QStringLiteral("%"), QStringLiteral("_"), QStringLiteral("'"), QString(), QStringLiteral("-- x"),
        QStringLiteral("a;b"), QStringLiteral("修改单"), QStringLiteral("€"), QStringLiteral("\t"),
    };
    return texts;
}

// Day texts at the edges of the pickers' range and of the rule (a day with no time part).
const QStringList& StoredDates()
{
    static const QStringList dates = {
        QStringLiteral("1601-01-01 00:00:00"), QStringLiteral("9999-12-31 23:59:59"), QStringLiteral("2026-12-08"),
        QStringLiteral("2026-12-08 00:00:00"), QStringLiteral("2000-02-29 12:00:00"), QStringLiteral("2026-11-08 09:30:00"),
    };
    return dates;
}

const QStringList& Tables()
{
    static const QStringList tables = {
        QStringLiteral("ZqlomiraAll_title"), QStringLiteral("ZqlomiraAll_detail"), QStringLiteral("PartAttribute"),
        QStringLiteral("Product"), QStringLiteral("ECOModifyManage"), QStringLiteral("ECOModifyPart"),
        QStringLiteral("ECOHandout"), QStringLiteral("ECORelateFile"), QStringLiteral("TaskDocuments"),
        QStringLiteral("TeamWorkResult"), QStringLiteral("Documents"), QStringLiteral("EngineerViewDoc"),
        QStringLiteral("ZqOrderProduct_title"), QStringLiteral("ZqOrderProduct_detail"), QStringLiteral("ProjectManage"),
        QStringLiteral("TeamWorkManage"), QStringLiteral("TaskAuditManage"), QStringLiteral("TeamWorkAudit"),
        QStringLiteral("TeamWorkPart"),
    };
    return tables;
}

bool IsDateColumn(const QString& name)
{
    static const QStringList dateColumns = {
        QStringLiteral("Ttime"),     QStringLiteral("SaveDate"),  QStringLiteral("FileDate"),
        QStringLiteral("CreatedTime"), QStringLiteral("CreateTime"), QStringLiteral("BeginTime"),
        QStringLiteral("BeginDate"), QStringLiteral("AlertTime"), QStringLiteral("CheckTime"),
    };
    return dateColumns.contains(name, Qt::CaseInsensitive);
}

void AddStoredTexts(QSqlDatabase& db)
{
    QSqlQuery query(db);
    db.transaction();
    for (const QString& table : Tables()) {
        QStringList names, types;
        query.exec(QStringLiteral("PRAGMA table_info(%1)").arg(table));
        while (query.next()) {
            names << query.value(1).toString();
            types << query.value(2).toString().toUpper();
        }
        Check(!names.isEmpty(), "the demo database has the table", table);
        const QString marks = QStringList(names.size(), QStringLiteral("?")).join(QLatin1Char(','));
        for (int i = 0; i < StoredTexts().size(); ++i) {
            query.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(table, names.join(QLatin1Char(',')), marks));
            for (int c = 0; c < names.size(); ++c) {
                if (IsDateColumn(names[c]))
                    query.addBindValue(StoredDates().at((i + c) % StoredDates().size()));
                else if (types[c].contains(QStringLiteral("INT")) || types[c].contains(QStringLiteral("BLOB")))
                    query.addBindValue(i % 3 == 0 ? QVariant() : QVariant(i));
                else
                    query.addBindValue(i % 7 == 6 ? QVariant() : QVariant(StoredTexts().at((i + c) % StoredTexts().size())));
            }
            Check(query.exec(), "a stored text is added", query.lastError().text());
        }
    }
    db.commit();
}

struct Fixture {
    QTemporaryDir dir;
    std::unique_ptr<zq::CZQDBConnect> connection;
    QSqlDatabase twin;
    std::unique_ptr<zqfuzz::SqlOracle> oracle;
    QList<QStringList> titleDates;   // Tcode, Ttime of every title row
    uint64_t inputs = 0, statements = 0, rows = 0, failures = 0;
};

Fixture& fixture()
{
    static Fixture* f = nullptr;
    if (f)
        return *f;
    zqfuzz::EnsureGuiApp();   // the seeder draws the demo's PDF files
    f = new Fixture;   // lives until the process ends
    zq::seed::SeedOptions options;
    options.home = f->dir.path();
    options.today = QDate(2026, 12, 8);
    zq::seed::Seeder seeder(options);
    Check(seeder.Run(), "the demo database is seeded", seeder.LastError());
    f->twin = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("zq-fuzz-twin"));
    f->twin.setDatabaseName(f->dir.filePath(QStringLiteral("pdm.db")));
    // Opened as the database component opens its own, so that both read LIKE alike.
    Check(zq::db::OpenDatabase(f->twin), "the twin connection opens", f->twin.lastError().text());
    AddStoredTexts(f->twin);
    QSqlQuery query(QStringLiteral("SELECT Tcode, Ttime FROM ZqlomiraAll_title"), f->twin);
    while (query.next())
        f->titleDates << QStringList{zq::ValueToText(query.value(0)), zq::ValueToText(query.value(1))};
    f->connection = std::make_unique<zq::CZQDBConnect>(seeder.Report().databaseUrl);
    Check(f->connection->ConnectPDM(), "the database component connects", f->connection->LastError());
    f->oracle = std::make_unique<zqfuzz::SqlOracle>(f->connection->GetPtrPDM(), f->twin);
    zqfuzz::CountAtExit("sql inputs", &f->inputs);
    zqfuzz::CountAtExit("sql statements run", &f->statements);
    zqfuzz::CountAtExit("sql rows compared", &f->rows);
    zqfuzz::CountAtExit("sql statements failed to parse", &f->failures);
    return *f;
}

QDate FuzzDate(FuzzedDataProvider& input, const QDate& other)
{
    static const QDate first(1601, 1, 1), last(9999, 12, 31), today(2026, 12, 8);
    switch (input.ConsumeIntegralInRange(0, 5)) {
    case 0: return first.addDays(input.ConsumeIntegralInRange<qint64>(0, first.daysTo(last)));
    case 1: return today.addDays(input.ConsumeIntegralInRange(-400, 10));
    case 2: return input.ConsumeBool() ? first : last;
    case 3: return QDate(2000, 2, 29).addDays(input.ConsumeIntegralInRange(-2, 2));
    case 4: return other.isValid() ? other : today;
    default: return last.addDays(-input.ConsumeIntegralInRange(0, 3));
    }
}

QString FuzzText(FuzzedDataProvider& input, bool allowLong)
{
    if (input.ConsumeIntegralInRange(0, 4) == 0) {
        static const QStringList known = {
            QStringLiteral("ZQ8600"), QStringLiteral("O'型圈"), QStringLiteral("二车间"), QStringLiteral("修改单"),
            QStringLiteral("XG2026-001"), QStringLiteral("张伟"), QStringLiteral("50%"), QStringLiteral("a_b"),
            QStringLiteral("ZQ8600-01-02"), QStringLiteral("back\\slash"), QStringLiteral(" lead"),
            QStringLiteral("XM2026-01"), QStringLiteral("箱座"), QStringLiteral("李娜"), QStringLiteral("*.dwg"),
            QStringLiteral("ZQ8600-01*"), QStringLiteral("正进行中"),
        };
        return known.at(input.ConsumeIntegralInRange<int>(0, int(known.size()) - 1));
    }
    return zqfuzz::HostileText(input, allowLong);
}

// The date rule read as dates: the range from..to holds a row when its day lies in it (a row
// stamped with the from-day and no time at all excepted: "after" the from-day is strict).
void CheckDateRange(Fixture& f, const QDate& from, const QDate& to)
{
    const zq::DateCondition date = zq::BuildDateCondition(QStringLiteral("Ttime"), from, to);
    QString sql = QStringLiteral("SELECT Tcode, Ttime FROM ZqlomiraAll_title");
    if (!date.sql.isEmpty())
        sql += QStringLiteral(" WHERE ") + date.sql;
    const QString fromText = from.toString(QStringLiteral("yyyy-MM-dd"));
    const QString toText = to.toString(QStringLiteral("yyyy-MM-dd"));
    int expected = 0;
    for (const QStringList& row : f.titleDates) {
        const QString& stamp = row[1];
        const QString day = stamp.left(10);
        bool inside;
        if (from > to)
            inside = true;   // reversed: the search runs without the date condition
        else if (from == to)
            inside = day == fromText;
        else
            inside = !stamp.isEmpty() && day >= fromText && day <= toText && stamp != fromText;
        expected += inside;
    }
    const QString context = QStringLiteral("date range %1 .. %2\n%3").arg(fromText, toText, sql);
    Check(date.reversed == (from > to), "only a reversed range is refused", context);
    const zqfuzz::Rows rows = f.oracle->run(sql, context);
    Check(rows.size() == expected, "a date range finds the rows of its days",
          context + QStringLiteral("\n  rows %1, days in range %2").arg(rows.size()).arg(expected));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fixture();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fixture& f = fixture();
    FuzzedDataProvider input(data, size);
    const auto& builders = zqfuzz::SqlBuilders();
    const size_t pick = input.ConsumeIntegralInRange<size_t>(0, builders.size());
    zqfuzz::BuilderInput in;
    in.choice = input.ConsumeIntegral<uint8_t>();
    in.from = FuzzDate(input, QDate());
    in.to = FuzzDate(input, in.from);
    ++f.inputs;
    if (pick == builders.size()) {
        CheckDateRange(f, in.from, in.to);
    } else {
        const zqfuzz::SqlBuilder& builder = builders[pick];
        const int count = int(builder.readings(in.choice).size());
        // Texts of up to 10,000 characters in one input out of eight: they cost most of the time.
        const bool longTexts = input.ConsumeIntegralInRange(0, 7) == 0;
        for (int i = 0; i < count; ++i)
            in.texts << FuzzText(input, longTexts);
        f.oracle->check(builder, in);
    }
    f.statements = f.oracle->counts().statements;
    f.rows = f.oracle->counts().rows;
    return 0;
}

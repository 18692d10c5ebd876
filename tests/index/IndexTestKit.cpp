#include "IndexTestKit.h"
#include "ExtractTestFiles.h"
#include "OpenDatabase.h"
#include "SqlSession.h"

#include "ContentSql.h"
#include "Recordset.h"
#include "ZQDBConnect.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

namespace zq::test {

QString IndexProgram()
{
    const QString program = qEnvironmentVariable("ZQ_BINARY_DIR") + QStringLiteral("/bin/zqpdm-index");
    return QFileInfo(program).isExecutable() ? program : QString();
}

QByteArray EndlessPdf(int depth, int fanout)
{
    QList<QByteArray> objects{
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] /Contents 5 0 R "
        "/Resources << /XObject << /X 6 0 R >> /Font << /F1 4 0 R >> >> >>",
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
        "<< /Length 9 >>\nstream\nq /X Do Q\nendstream",
    };
    for (int level = 0; level < depth; ++level) {
        const bool last = level == depth - 1;
        const QByteArray stream = last ? QByteArray("BT /F1 12 Tf 10 10 Td (x) Tj ET")
                                       : QList<QByteArray>(fanout, "q /X Do Q").join(' ');
        const QByteArray resources = last ? QByteArray("<< /Font << /F1 4 0 R >> >>")
                                          : "<< /XObject << /X " + QByteArray::number(7 + level) + " 0 R >> >>";
        objects.append("<< /Type /XObject /Subtype /Form /BBox [0 0 100 100] /Resources " + resources + " /Length " +
                       QByteArray::number(stream.size()) + " >>\nstream\n" + stream + "\nendstream");
    }
    return PdfOfObjects(objects);
}

QByteArray LoopingPdf()
{
    return PdfOfPages({"BT /F1 12 Tf 72 700 Td (never read) Tj ET"}, "2 0 R");
}

QByteArray EncryptedPdf()
{
    QFile file(qEnvironmentVariable("ZQ_SOURCE_DIR") + QStringLiteral("/tests/data/corpus/testUnicodePassword.pdf"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray TextlessPdf()
{
    return PdfOfPages({"0 0 m 200 200 l S 10 10 100 50 re f"});
}

QString ExecSql(const QString& url, const QString& sql, const QVariantList& values)
{
    const QString name = QStringLiteral("index-test-") + QUuid::createUuid().toString(QUuid::Id128);
    QString error;
    {
        QSqlDatabase db;
        if (url.startsWith(QLatin1String("sqlite:"))) {
            db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(url.mid(7));
        } else {
            db = AddPostgresDatabase(url, name);
        }
        // Opened as the component opens its own: an SQLite index needs its tokenizer.
        if (!db::OpenDatabase(db)) {
            error = db.lastError().text();
        } else {
            QSqlQuery query(db);
            if (!db::Execute(query, sql, values))
                error = query.lastError().text() + QStringLiteral(" (") + sql + u')';
        }
    }
    QSqlDatabase::removeDatabase(name);
    return error;
}

QStringList FilesWith(const QString& indexUrl, const QString& words, QString* error)
{
    CZQDBConnect index(indexUrl);
    CZQDBConnect* current = CZQDBConnect::GetCurDBConnect();
    const bool connected = index.Init() && index.ConnectPDM();
    CZQDBConnect::SetCurDBConnect(current);
    QStringList files;
    if (!connected) {
        if (error)
            *error = index.LastError();
        return files;
    }
    content::ContentConditions conditions;
    conditions.words = words;
    try {
        Recordset rows;
        rows.Open(content::BuildContentSql(conditions, sql::DbmsOf(index.GetPtrPDM()->dbms())).sql, index.GetPtrPDM());
        while (!rows.IsEOF()) {
            files.append(rows.GetFieldText(4));
            rows.MoveNext();
        }
    } catch (const _com_error& e) {
        if (error)
            *error = e.Description();
    }
    files.sort();
    return files;
}

index::IndexRunOptions IndexOptions(const QString& indexUrl, int deadlineMs)
{
    index::IndexRunOptions options;
    options.indexUrl = indexUrl;
    options.worker = index::IndexWorkerSettings(IndexProgram());
    options.worker.deadlineMs = deadlineMs;
    options.worker.limits.timeLimitMs = std::max(500, deadlineMs - 1000);
    return options;
}

ProgramRun FinishProgram(QProcess& process, int ms)
{
    ProgramRun run;
    if (!process.waitForFinished(ms)) {
        run.err = process.errorString();
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

IndexTest::IndexTest(const SeededHome::Options& options) : ServiceTest(options) {}

void IndexTest::SetUp()
{
    ServiceTest::SetUp();
    if (IsSkipped() || HasFatalFailure())
        return;
    if (IndexProgram().isEmpty())
        GTEST_SKIP() << "zqpdm-index is not built";
    if (onPostgres()) {
        indexDatabase = std::make_unique<PgTestDatabase>();
        ASSERT_TRUE(indexDatabase->ok()) << indexDatabase->error().toStdString();
        indexUrl = indexDatabase->url();
    } else {
        indexUrl = QStringLiteral("sqlite:") + home().path(QStringLiteral("content-index.db"));
    }
}

bool IndexTest::onPostgres() const
{
    return UsesPostgres(QString::fromLatin1(GetParam()));
}

index::IndexRunReport IndexTest::Index(bool rebuild, int deadlineMs, bool retryFailed)
{
    index::IndexRunOptions options = IndexOptions(indexUrl, deadlineMs);
    options.rebuild = rebuild;
    options.retryFailed = retryFailed;
    return index::ContentIndexer(options).run();
}

QStringList IndexTest::Find(const QString& words)
{
    QString error;
    const QStringList files = FilesWith(indexUrl, words, &error);
    EXPECT_EQ(error, QString()) << words.toStdString();
    return files;
}

void IndexTest::Store(const QString& storePath, const QByteArray& bytes)
{
    const QString path = home().storeDir() + u'/' + storePath;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

void IndexTest::MakeEarlierLayout(int version)
{
    QStringList statements;
    if (!onPostgres())   // the quick search's index of folded codes came with version 4
        statements += {QStringLiteral("DROP TABLE QuickCodeText"), QStringLiteral("DROP TABLE QuickCodeSource")};
    if (version < 3)
        statements.append(QStringLiteral("ALTER TABLE ContentFile DROP COLUMN Failure"));
    if (version == 1)
        statements += onPostgres()
            ? QStringList{QStringLiteral("DROP INDEX ContentFileTrigrams"), QStringLiteral("ALTER TABLE ContentFile DROP COLUMN Folded"),
                          QStringLiteral("CREATE INDEX ContentFileTrigrams ON ContentFile USING gin (Content gin_trgm_ops)")}
            : QStringList{QStringLiteral("CREATE VIRTUAL TABLE EarlierText USING fts5(Content, tokenize='trigram')"),
                          QStringLiteral("INSERT INTO EarlierText (rowid, Content) SELECT rowid, Content FROM ContentText"),
                          QStringLiteral("DROP TABLE ContentText"), QStringLiteral("ALTER TABLE EarlierText RENAME TO ContentText"),
                          QStringLiteral("VACUUM")};
    statements.append(QStringLiteral("UPDATE ContentIndexInfo SET Value = '%1' WHERE Name = 'version'").arg(version));
    for (const QString& sql : statements)
        ASSERT_EQ(ExecSql(indexUrl, sql), QString());
}

void IndexTest::AddDocument(const QString& code, const QString& fileName, const QString& description,
                            const QByteArray& bytes)
{
    Store(QStringLiteral("Zq/Proven/ZQ8600/%1/A/%2").arg(code, fileName), bytes);
    ASSERT_EQ(PdmSql(QStringLiteral("INSERT INTO Documents (ProductDwgCode, Code, RevNumber, DocumentType, FileName, "
                                    "FileBulk, FileType, FileDate, FileRemark) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                     {QStringLiteral("ZQ8600"), code, QStringLiteral("A"), description, fileName,
                      qMax<qint64>(1, bytes.size() / 1024), QStringLiteral("文档"), QStringLiteral("2026-12-01 10:00:00"),
                      QString()}),
              QString());
}

QString IndexTest::PdmSql(const QString& sql, const QVariantList& values)
{
    return ExecSql(home().databaseUrl(), sql, values);
}

} // namespace zq::test

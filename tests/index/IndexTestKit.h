#pragma once
// What the indexer's tests share: the worker program, a PDF that never ends, SQL on the seeded
// PDM database, and the files the content index finds for some words (by the page's own SQL).
#include "ContentIndexer.h"
#include "ServiceTest.h"

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QVariantList>

// Readable texts in failure messages.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace zq::test {

// The built zqpdm-index, which is also the extraction worker; "" when it is not built.
QString IndexProgram();

// A PDF of a few kilobytes whose page draws a form that draws the next form `fanout` times, `depth`
// forms deep: reading its text takes fanout^depth drawings, seconds to minutes and gigabytes.
QByteArray EndlessPdf(int depth = 7, int fanout = 10);
// A PDF whose page tree holds itself: PDFium never finishes opening it.
QByteArray LoopingPdf();
// A real PDF that opens only with a password (from the corpus of tests/data); empty when missing.
QByteArray EncryptedPdf();
// A sound PDF of a page of lines and shapes, without a text layer (as a scan has none).
QByteArray TextlessPdf();

// Runs a statement on a database by its URL (sqlite: or postgresql://), with bound values.
QString ExecSql(const QString& url, const QString& sql, const QVariantList& values = {});

// The file names the content index at indexUrl lists for the typed words, as the page finds them.
QStringList FilesWith(const QString& indexUrl, const QString& words, QString* error = nullptr);

// The indexer's settings for the tests: the built worker, a short deadline where asked.
index::IndexRunOptions IndexOptions(const QString& indexUrl, int deadlineMs = 30000);

// How a program the test started ended: its exit status (-2 when it crashed, -1 when it did not
// end within the time given and was killed), and what it printed.
struct ProgramRun {
    int exitCode = -1;
    QString out;
    QString err;
};
ProgramRun FinishProgram(QProcess& process, int ms = 60000);

// The test engines of the indexer: the PDM database and the index on SQLite, or both on PostgreSQL.
inline std::vector<const char*> IndexEngines() { return {"sqlite", "postgresql"}; }

// A seeded installation on one engine, with its database current, and a content index of its own:
// the installation's default content-index.db, or a fresh database on the PostgreSQL test server.
class IndexTest : public ServiceTest {
protected:
    IndexTest() : IndexTest(SeededHome::Options{}) {}
    explicit IndexTest(const SeededHome::Options& options);
    void SetUp() override;
    bool onPostgres() const;
    index::IndexRunReport Index(bool rebuild = false, int deadlineMs = 30000, bool retryFailed = false);
    QStringList Find(const QString& words);
    // Replaces a file of the installation's file store (a path below ftpstore/).
    void Store(const QString& storePath, const QByteArray& bytes);
    // A new archived document of product ZQ8600, revision A, with its file in the store.
    void AddDocument(const QString& code, const QString& fileName, const QString& description, const QByteArray& bytes);
    QString PdmSql(const QString& sql, const QVariantList& values = {});
    // Turns the index made by this version into one of an earlier layout, as that version left it
    // (version 1: the text as it stands in the trigram index, nothing folded; 2: no failures
    // remembered; 3: no index of folded codes).
    void MakeEarlierLayout(int version = 1);

    QString indexUrl;
    std::unique_ptr<PgTestDatabase> indexDatabase;
};

} // namespace zq::test

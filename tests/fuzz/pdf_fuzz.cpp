// PDF files: any bytes through Qt PDF (PDFium), within the limits; and any text through the
// mending of a page's line ends.
//
// PDFium cannot be stopped, and a page tree that loops (one digit of a seed's /Kids changed) keeps
// it opening the file for ever, inside the lock Qt PDF holds for the whole process: the reader
// gives up at its time limit and leaves PDFium running, and that process reads no further PDF. In
// the indexer the worker process then ends; here each input is read in a child process, which
// ends after the checks. A child that dies stops the run as a crash of this process would (the
// input is kept); one that left PDFium running is counted. What libFuzzer's coverage sees is the
// mending of line ends, run here.
#include "ExtractionChecks.h"
#include "PdfLineEnds.h"

#include <QPdfDocument>

#include <csignal>
#include <cstdio>
#include <sys/wait.h>
#include <unistd.h>

using namespace zq::extract;
using zqfuzz::Check;

namespace {

constexpr int kLeftRunning = 3;
uint64_t g_leftRunning = 0;

bool IsBlankOrHyphen(QChar c)
{
    const char16_t u = c.unicode();
    return c.isSpace() || u == u'-' || u == 0x00AD || u == 0x2010 || u == 0xFFFE;
}

QString WithoutBlanksAndHyphens(const QString& text)
{
    QString kept;
    for (QChar c : text)
        if (!IsBlankOrHyphen(c))
            kept += c;
    return kept;
}

// Only hyphens and blanks change, PDFium's mark is gone, and no line end is left between two
// characters of a Chinese phrase.
void CheckLineEnds(const QString& page)
{
    const QString joined = JoinPdfLineEnds(page);
    Check(!joined.contains(QChar(0xFFFE)), "PDFium's hyphen mark is read", joined);
    Check(WithoutBlanksAndHyphens(joined) == WithoutBlanksAndHyphens(page), "only hyphens and blanks change",
          page + QStringLiteral(" | ") + joined);
    const auto blank = [](QChar c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; };
    const auto han = [](QChar c) { return c.script() == QChar::Script_Han; };
    for (qsizetype i = 0; i < joined.size();) {
        if (!blank(joined[i])) {
            ++i;
            continue;
        }
        qsizetype end = i;
        bool lineEnd = false;
        for (; end < joined.size() && blank(joined[end]); ++end)
            lineEnd = lineEnd || joined[end] == u'\r' || joined[end] == u'\n';
        Check(!(lineEnd && i > 0 && end < joined.size() && han(joined[i - 1]) && han(joined[end])),
              "no line end inside a Chinese phrase", joined);
        i = end;
    }
}

void ReadInChild(const QByteArray& bytes, const ExtractLimits& limits)
{
    const pid_t child = fork();
    if (child < 0)
        zqfuzz::Fail("fork");
    if (child == 0) {
        const Extraction e = ExtractTextFromBytes(FileType::Pdf, bytes, limits);
        zqfuzz::CheckExtraction(e, limits, "pdf");
        ::_exit(e.readerLeftRunning ? kLeftRunning : 0);   // PDFium may still be running
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0)
        ;
    if (WIFSIGNALED(status)) {
        std::fprintf(stderr, "\n*** the child reading the PDF died of signal %d\n", WTERMSIG(status));
        std::abort();
    }
    if (WEXITSTATUS(status) == kLeftRunning)
        ++g_leftRunning;
    else
        Check(WEXITSTATUS(status) == 0, "the child reading the PDF ends well");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QPdfDocument* keptForTheChildren = nullptr;
    static const bool ready = [] {
        zqfuzz::EnsureCoreApp();
        // PDFium is set up once here, for every child to inherit.
        keptForTheChildren = new QPdfDocument();
        zqfuzz::CountAtExit("inputs_leaving_pdfium_running", &g_leftRunning);
        return true;
    }();
    Q_UNUSED(ready);
    Q_UNUSED(keptForTheChildren);   // held, not read: the document lives for the children
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    CheckLineEnds(QString::fromUtf8(bytes));

    // The bytes stay whole (a PDF is read from its end); one input in four gets small limits
    // taken from its size. A page tree that loops costs the time limit.
    ExtractLimits limits;
    limits.timeLimitMs = 3000;
    if (size % 4 == 0) {
        limits.maxTextChars = qsizetype(size % 97);
        limits.maxReadBytes = size % 8 == 0 ? qint64(size) : qint64(size) - 1;
    }
    ReadInChild(bytes, limits);
    return 0;
}

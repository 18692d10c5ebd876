#include "PdfReader.h"
#include "ExtractionRun.h"
#include "PdfLineEnds.h"
#include "PdfTextThread.h"

namespace zq::extract {

namespace {

// How long a page in hand may take once the reader has stopped, before its thread is left to run.
constexpr qint64 kPageGraceMs = 1000;

// Whether the document could be opened; fails the run with the reason when not.
bool Opened(PdfTextThread& pdf, ExtractionRun& run)
{
    switch (pdf.open(run.remainingMs())) {
    case PdfTextThread::Opening::Open:
        return true;
    case PdfTextThread::Opening::NotPdf:
        break;   // the reason is the thread's
    case PdfTextThread::Opening::Encrypted:
        run.fail(QStringLiteral("PDF 文件已加密, 需要密码才能提取文本"));
        return false;
    case PdfTextThread::Opening::UnsupportedEncryption:
        run.fail(QStringLiteral("PDF 文件的加密方式不受支持, 不能提取文本"));
        return false;
    case PdfTextThread::Opening::NotFinished:
        run.fail(DamagedMessage(FileType::Pdf, QStringLiteral("打开文件超过时间限制 %1 毫秒仍未完成 (页面树可能有循环)")
                                                   .arg(run.limits().timeLimitMs)));
        return false;
    }
    run.fail(DamagedMessage(FileType::Pdf, pdf.damage()));
    return false;
}

} // namespace

void PdfReader::read(const QByteArray& bytes, ExtractionRun& run)
{
    if (run.mustStop())
        return;
    if (PdfTextThread::earlierThreadRunning()) {
        run.fail(QStringLiteral("前一个 PDF 文件仍在读取, 本进程不能再读 PDF 文件"));
        run.readerLeftRunning();
        return;
    }
    PdfTextThread pdf(bytes);
    int unreadable = 0;
    if (Opened(pdf, run)) {
        while (!run.mustStop() && !pdf.allPagesRead()) {
            const std::optional<PdfTextThread::Page> page = pdf.nextPage(run.remainingMs());
            if (!page)
                continue;   // the time is up, or the last page was read
            if (!page->readable) {
                ++unreadable;
                run.damaged(QStringLiteral("第 %1 页不能读取").arg(page->index + 1));
                continue;
            }
            run.text().append(JoinPdfLineEnds(page->text));
            run.text().appendLineBreak();
        }
    }
    const bool everyPage = pdf.allPagesRead();
    if (!pdf.finish(std::max(run.remainingMs(), kPageGraceMs)))
        run.readerLeftRunning();
    // Every page read and sound, and none with text: scanned pages, or drawings without words.
    if (everyPage && !run.failed() && unreadable == 0 && run.text().isEmpty())
        run.textless(QStringLiteral("%1 页都没有文字 (可能是扫描的图片), 按文件名称和说明索引").arg(pdf.pageCount()));
}

} // namespace zq::extract

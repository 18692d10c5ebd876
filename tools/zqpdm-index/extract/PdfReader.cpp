#include "PdfReader.h"
#include "ExtractionRun.h"

#include <poppler-document.h>
#include <poppler-global.h>
#include <poppler-page.h>

#include <memory>
#include <mutex>
#include <string>

namespace zq::extract {

namespace {

// Poppler reports damage through one process-wide function: kept for the error message instead
// of being written to standard error.
thread_local std::string t_popplerMessage;

void KeepPopplerMessage(const std::string& message, void*)
{
    if (t_popplerMessage.empty())
        t_popplerMessage = message;
}

void QuietPoppler()
{
    static std::once_flag once;
    std::call_once(once, [] { poppler::set_debug_error_function(KeepPopplerMessage, nullptr); });
    t_popplerMessage.clear();
}

QString PopplerMessage(const char* fallback)
{
    return t_popplerMessage.empty() ? QString::fromUtf8(fallback) : QString::fromStdString(t_popplerMessage);
}

} // namespace

void PdfReader::read(QByteArrayView bytes, ExtractionRun& run)
{
    QuietPoppler();
    std::unique_ptr<poppler::document> document(poppler::document::load_from_raw_data(bytes.data(), int(bytes.size())));
    if (!document) {
        run.fail(DamagedMessage(FileType::Pdf, PopplerMessage("不能打开")));
        return;
    }
    if (document->is_locked()) {
        run.fail(QStringLiteral("PDF 文件已加密, 需要密码才能提取文本"));
        return;
    }
    const int pages = document->pages();
    int page = 0;
    for (; page < pages && !run.mustStop(); ++page) {
        t_popplerMessage.clear();
        const std::unique_ptr<poppler::page> reader(document->create_page(page));
        if (!reader) {
            run.damaged(QStringLiteral("第 %1 页: %2").arg(page + 1).arg(PopplerMessage("不能读取")));
            continue;
        }
        const poppler::byte_array utf8 = reader->text(poppler::rectf(), poppler::page::raw_order_layout).to_utf8();
        run.text().append(QString::fromUtf8(utf8.data(), qsizetype(utf8.size())));
        run.text().appendLineBreak();
    }
    if (pages > 0 && page == pages && run.text().isEmpty())
        run.note(QStringLiteral("PDF 中没有可提取的文本 (可能只有图片)"));
}

} // namespace zq::extract

#include "CurlTransfer.h"
#include <QIODevice>
#include <curl/curl.h>
#include <memory>
#include <mutex>

namespace zq::svc {

namespace {

void ensureCurl()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct EasyDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
using Easy = std::unique_ptr<CURL, EasyDeleter>;

size_t toDevice(char* data, size_t size, size_t count, void* user)
{
    auto* sink = static_cast<QIODevice*>(user);
    const qint64 bytes = qint64(size * count);
    return sink->write(data, bytes) == bytes ? size_t(bytes) : 0;
}

size_t discard(char*, size_t size, size_t count, void*)
{
    return size * count;
}

Easy makeEasy(const QByteArray& url, const TransferLimits& limits, char* errorBuffer)
{
    ensureCurl();
    Easy easy(curl_easy_init());
    if (!easy)
        return easy;
    CURL* h = easy.get();
    curl_easy_setopt(h, CURLOPT_URL, url.constData());
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, limits.connectSeconds);
    curl_easy_setopt(h, CURLOPT_SERVER_RESPONSE_TIMEOUT, limits.connectSeconds);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, limits.stallSeconds);
    if (limits.totalSeconds > 0)
        curl_easy_setopt(h, CURLOPT_TIMEOUT, limits.totalSeconds);
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "ftp,ftps,file");
    return easy;
}

QString describe(CURLcode code, const char* errorBuffer)
{
    const QString detail = QString::fromLocal8Bit(errorBuffer);
    return detail.isEmpty() ? QString::fromLatin1(curl_easy_strerror(code)) : detail;
}

} // namespace

bool CurlDownload(const QByteArray& url, QIODevice& sink, const TransferLimits& limits, QString* error)
{
    char errorBuffer[CURL_ERROR_SIZE] = {};
    Easy easy = makeEasy(url, limits, errorBuffer);
    if (!easy) {
        *error = QStringLiteral("libcurl cannot start a transfer");
        return false;
    }
    curl_easy_setopt(easy.get(), CURLOPT_WRITEFUNCTION, toDevice);
    curl_easy_setopt(easy.get(), CURLOPT_WRITEDATA, &sink);
    const CURLcode code = curl_easy_perform(easy.get());
    if (code != CURLE_OK) {
        *error = describe(code, errorBuffer);
        return false;
    }
    return true;
}

bool CurlListFolder(const QByteArray& url, const TransferLimits& limits, QString* error)
{
    char errorBuffer[CURL_ERROR_SIZE] = {};
    Easy easy = makeEasy(url, limits, errorBuffer);
    if (!easy) {
        *error = QStringLiteral("libcurl cannot start a transfer");
        return false;
    }
    curl_easy_setopt(easy.get(), CURLOPT_DIRLISTONLY, 1L);
    curl_easy_setopt(easy.get(), CURLOPT_WRITEFUNCTION, discard);
    const CURLcode code = curl_easy_perform(easy.get());
    if (code != CURLE_OK) {
        *error = describe(code, errorBuffer);
        return false;
    }
    return true;
}

} // namespace zq::svc

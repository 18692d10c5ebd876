#include "CurlTransfer.h"
#include "LateLibraries.h"
#include "LateLibrary.h"
#include <QIODevice>
#include <curl/curl.h>
#include <atomic>
#include <memory>

namespace zq::svc {

namespace {

// libcurl's functions, loaded and initialised with the first transfer.
struct CurlApi {
    decltype(&curl_global_init) globalInit = nullptr;
    decltype(&curl_easy_init) easyInit = nullptr;
    decltype(&curl_easy_setopt) setopt = nullptr;
    decltype(&curl_easy_perform) perform = nullptr;
    decltype(&curl_easy_getinfo) getinfo = nullptr;
    decltype(&curl_easy_strerror) strerror = nullptr;
    decltype(&curl_easy_cleanup) cleanup = nullptr;
};

const CurlApi* curl(QString* error = nullptr)
{
    return LateFunctions<CurlApi>(
        late::kCurl,
        [](LateLibrary& library, CurlApi& f) {
            if (!library.resolve(f.globalInit, "curl_global_init", f.easyInit, "curl_easy_init", f.setopt,
                                 "curl_easy_setopt", f.perform, "curl_easy_perform", f.getinfo, "curl_easy_getinfo",
                                 f.strerror, "curl_easy_strerror", f.cleanup, "curl_easy_cleanup"))
                return false;
            f.globalInit(CURL_GLOBAL_DEFAULT);
            return true;
        },
        error);
}

// Why no transfer could start.
QString cannotStart()
{
    QString why;
    curl(&why);
    return why.isEmpty() ? QStringLiteral("libcurl cannot start a transfer") : why;
}

struct EasyDeleter {
    void operator()(CURL* handle) const { curl()->cleanup(handle); }
};
using Easy = std::unique_ptr<CURL, EasyDeleter>;

// Where a download's bytes go, and what was cut at the limit.
struct Download {
    QIODevice* sink = nullptr;
    qint64 written = 0;
    qint64 maxBytes = -1;
    bool cut = false;
};

size_t toDevice(char* data, size_t size, size_t count, void* user)
{
    auto* download = static_cast<Download*>(user);
    const qint64 bytes = qint64(size * count);
    qint64 taken = bytes;
    if (download->maxBytes >= 0 && download->written + bytes > download->maxBytes) {
        taken = download->maxBytes - download->written;
        download->cut = true;
    }
    if (taken > 0 && download->sink->write(data, taken) != taken)
        return 0;
    download->written += taken;
    // Fewer bytes than offered end the transfer.
    return download->cut ? size_t(taken) : size_t(bytes);
}

int stopWhenAsked(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    const auto* stop = static_cast<const std::atomic<bool>*>(user);
    return stop->load() ? 1 : 0;
}

size_t discard(char*, size_t size, size_t count, void*)
{
    return size * count;
}

Easy makeEasy(const QByteArray& url, const TransferLimits& limits, char* errorBuffer)
{
    const CurlApi* api = curl();
    if (!api)
        return Easy();
    Easy easy(api->easyInit());
    if (!easy)
        return easy;
    CURL* h = easy.get();
    api->setopt(h, CURLOPT_URL, url.constData());
    api->setopt(h, CURLOPT_NOSIGNAL, 1L);
    api->setopt(h, CURLOPT_ERRORBUFFER, errorBuffer);
    api->setopt(h, CURLOPT_CONNECTTIMEOUT, limits.connectSeconds);
    api->setopt(h, CURLOPT_SERVER_RESPONSE_TIMEOUT, limits.connectSeconds);
    api->setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
    api->setopt(h, CURLOPT_LOW_SPEED_TIME, limits.stallSeconds);
    if (limits.totalSeconds > 0)
        api->setopt(h, CURLOPT_TIMEOUT, limits.totalSeconds);
    api->setopt(h, CURLOPT_PROTOCOLS_STR, "ftp,ftps,file");
    if (limits.fetch.stop) {
        api->setopt(h, CURLOPT_NOPROGRESS, 0L);
        api->setopt(h, CURLOPT_XFERINFOFUNCTION, stopWhenAsked);
        api->setopt(h, CURLOPT_XFERINFODATA, const_cast<std::atomic<bool>*>(limits.fetch.stop));
    }
    return easy;
}

QString describe(CURLcode code, const char* errorBuffer)
{
    const QString detail = QString::fromLocal8Bit(errorBuffer);
    return detail.isEmpty() ? QString::fromLatin1(curl()->strerror(code)) : detail;
}

} // namespace

bool CurlDownload(const QByteArray& url, QIODevice& sink, const TransferLimits& limits, QString* error)
{
    char errorBuffer[CURL_ERROR_SIZE] = {};
    Easy easy = makeEasy(url, limits, errorBuffer);
    if (!easy) {
        *error = cannotStart();
        return false;
    }
    const FetchLimits& fetch = limits.fetch;
    Download download{&sink, 0, fetch.maxBytes};
    curl()->setopt(easy.get(), CURLOPT_WRITEFUNCTION, toDevice);
    curl()->setopt(easy.get(), CURLOPT_WRITEDATA, &download);
    // A larger file is refused before its transfer where the size is known (FTP's SIZE, a local file).
    if (fetch.bounded() && !fetch.startWillDo)
        curl()->setopt(easy.get(), CURLOPT_MAXFILESIZE_LARGE, curl_off_t(fetch.maxBytes));
    const CURLcode code = curl()->perform(easy.get());
    if (code == CURLE_OK)
        return true;
    if (download.cut && code == CURLE_WRITE_ERROR) {
        if (fetch.startWillDo)
            return true;
        *error = TooLargeMessage(-1, fetch.maxBytes);
    } else if (code == CURLE_FILESIZE_EXCEEDED) {
        curl_off_t size = -1;
        curl()->getinfo(easy.get(), CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &size);
        *error = TooLargeMessage(qint64(size), fetch.maxBytes);
    } else if (code == CURLE_ABORTED_BY_CALLBACK) {
        *error = StoppedMessage();
    } else {
        *error = describe(code, errorBuffer);
    }
    return false;
}

bool CurlListFolder(const QByteArray& url, const TransferLimits& limits, QString* error)
{
    char errorBuffer[CURL_ERROR_SIZE] = {};
    Easy easy = makeEasy(url, limits, errorBuffer);
    if (!easy) {
        *error = cannotStart();
        return false;
    }
    curl()->setopt(easy.get(), CURLOPT_DIRLISTONLY, 1L);
    curl()->setopt(easy.get(), CURLOPT_WRITEFUNCTION, discard);
    const CURLcode code = curl()->perform(easy.get());
    if (code != CURLE_OK) {
        *error = describe(code, errorBuffer);
        return false;
    }
    return true;
}

} // namespace zq::svc

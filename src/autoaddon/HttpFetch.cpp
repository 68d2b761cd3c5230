#include "autoaddon/HttpFetch.h"

#include "platform/FileHandle.h"
#include "platform/FileSystem.h"

#include <curl/curl.h>

#include <mutex>

namespace garrison {

namespace {

struct Transfer {
    FileHandle file;
    const std::atomic<bool> *cancel;
    const std::function<void(std::size_t)> *received;
    bool writeFailed = false;
};

std::size_t onData(char *data, std::size_t size, std::size_t count, void *context)
{
    auto &transfer = *static_cast<Transfer *>(context);
    const std::size_t bytes = size * count;
    if (*transfer.cancel)
        return 0;
    if (transfer.file.write(data, bytes) != static_cast<std::int64_t>(bytes)) {
        transfer.writeFailed = true;
        return 0;
    }
    (*transfer.received)(bytes);
    return bytes;
}

int onProgress(void *context, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    return *static_cast<Transfer *>(context)->cancel ? 1 : 0;
}

void initialiseOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

} // namespace

FetchResult fetchUrl(const std::string &url, const std::string &path, const std::atomic<bool> &cancel,
                     const std::function<void(std::size_t)> &received, std::chrono::seconds stallLimit)
{
    initialiseOnce();
    FetchResult result;
    Transfer transfer{FileHandle(path, FileHandle::Mode::CreateTruncate), &cancel, &received};
    if (!transfer.file.isOpen()) {
        result.error = "cannot create " + path;
        return result;
    }
    CURL *curl = curl_easy_init();
    if (!curl) {
        transfer.file.close();
        deleteFile(path);
        result.error = "cannot start a transfer";
        return result;
    }
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_USERAGENT, "Garrison, Auto-Addon Client");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(curl, CURLOPT_FTP_USE_EPSV, 1L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    // Less than a byte a second for the whole limit: the server has gone quiet.
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, static_cast<long>(stallLimit.count()));
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, static_cast<long>(stallLimit.count()));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, onData);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, onProgress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    const CURLcode code = curl_easy_perform(curl);
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    curl_easy_cleanup(curl);
    transfer.file.close();
    if (code == CURLE_OK && !cancel) {
        result.ok = true;
        return result;
    }
    deleteFile(path);
    if (cancel)
        result.error = "cancelled";
    else if (transfer.writeFailed)
        result.error = "cannot write " + path;
    else if (code == CURLE_HTTP_RETURNED_ERROR)
        result.error = "the server answered " + std::to_string(status);
    else if (code == CURLE_OPERATION_TIMEDOUT)
        result.error = "nothing received for " + std::to_string(stallLimit.count()) + " seconds";
    else
        result.error = curl_easy_strerror(code);
    return result;
}

} // namespace garrison

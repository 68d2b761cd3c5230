#include "autoaddon/HttpFetch.h"

#include "common/TextCompare.h"
#include "platform/FileSystem.h"

#include <curl/curl.h>

#include <mutex>

namespace garrison {

namespace {

constexpr std::uint64_t kLimitSlack = 64 * 1024;

struct Transfer {
    const FetchSink *sink;
    CURL *curl = nullptr;
    const std::atomic<bool> *cancel;
    std::uint64_t maxBytes = 0;
    std::uint64_t written = 0;
    bool sinkFailed = false;
    bool tooLarge = false;
};

std::size_t onData(char *data, std::size_t size, std::size_t count, void *context)
{
    auto &transfer = *static_cast<Transfer *>(context);
    const std::size_t bytes = size * count;
    if (*transfer.cancel)
        return 0;
    if (transfer.maxBytes != 0 && transfer.written + bytes > transfer.maxBytes) {
        transfer.tooLarge = true;
        return 0;
    }
    curl_off_t announced = -1;
    curl_easy_getinfo(transfer.curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced);
    if (!(*transfer.sink)(data, bytes, announced > 0 ? static_cast<std::uint64_t>(announced) : 0)) {
        transfer.sinkFailed = true;
        return 0;
    }
    transfer.written += bytes;
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

std::optional<std::string> refusedUrl(std::string_view url, bool allowFile)
{
    const auto colon = url.find("://");
    const std::string_view scheme = url.substr(0, colon == std::string_view::npos ? 0 : colon);
    for (const char *allowed : {"http", "https", "ftp"}) {
        if (!scheme.empty() && equalsNoCase(scheme, allowed))
            return std::nullopt;
    }
    if (allowFile && equalsNoCase(scheme, "file"))
        return std::nullopt;
    if (scheme.empty())
        return "the URL names no scheme (http, https or ftp)";
    return "URLs of the scheme \"" + std::string(scheme) + "\" are not fetched (only http, https and ftp" +
           (equalsNoCase(scheme, "file") ? "; file needs the option for local files)" : ")");
}

std::uint64_t announcedLimit(std::uint64_t announcedSize)
{
    return announcedSize + announcedSize / 100 + kLimitSlack;
}

FetchResult fetchUrlTo(const std::string &url, const FetchSink &sink, const std::string &sinkError,
                       const std::atomic<bool> &cancel, const FetchLimits &limits)
{
    initialiseOnce();
    FetchResult result;
    Transfer transfer{&sink, nullptr, &cancel, limits.maxBytes};
    const auto failWith = [&](std::string error) {
        result.error = std::move(error);
        return result;
    };
    if (const auto refused = refusedUrl(url, limits.allowFile))
        return failWith(*refused);
    CURL *curl = curl_easy_init();
    if (!curl)
        return failWith("cannot start a transfer");
    transfer.curl = curl;
    const std::string protocols = limits.allowFile ? "http,https,ftp,file" : "http,https,ftp";
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, protocols.c_str());
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https,ftp");
    curl_easy_setopt(curl, CURLOPT_USERAGENT, "Garrison, Auto-Addon Client");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(curl, CURLOPT_FTP_USE_EPSV, 1L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    if (limits.maxBytes != 0)
        curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits.maxBytes));
    // Less than a byte a second for the whole limit: the server has gone quiet.
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, static_cast<long>(limits.stallLimit.count()));
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, static_cast<long>(limits.stallLimit.count()));
    // Large blocks on a fast link: a sixteenth of the calls and writes of the 16 KB default.
    curl_easy_setopt(curl, CURLOPT_BUFFERSIZE, 256L * 1024);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, onData);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, onProgress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    const CURLcode code = curl_easy_perform(curl);
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    curl_easy_cleanup(curl);
    if (code == CURLE_OK && !cancel) {
        result.ok = true;
        return result;
    }
    if (cancel)
        return failWith("cancelled");
    if (transfer.sinkFailed)
        return failWith(sinkError);
    result.tooLarge = transfer.tooLarge || code == CURLE_FILESIZE_EXCEEDED;
    if (result.tooLarge)
        return failWith("more than " + std::to_string(limits.maxBytes) + " bytes");
    if (code == CURLE_HTTP_RETURNED_ERROR)
        return failWith("the server answered " + std::to_string(status));
    if (code == CURLE_OPERATION_TIMEDOUT)
        return failWith("nothing received for " + std::to_string(limits.stallLimit.count()) + " seconds");
    if (code == CURLE_UNSUPPORTED_PROTOCOL)
        return failWith("a redirect led to a scheme that is not fetched (only http, https and ftp)");
    return failWith(curl_easy_strerror(code));
}

FetchResult fetchUrl(const std::string &url, FileHandle file, const std::string &path, const std::atomic<bool> &cancel,
                     const std::function<void(std::size_t)> &received, const FetchLimits &limits)
{
    FetchResult result;
    if (!file.isOpen()) {
        result.error = "cannot create " + path;
    } else {
        const auto write = [&](const char *data, std::size_t size, std::uint64_t) {
            if (file.write(data, size) != static_cast<std::int64_t>(size))
                return false;
            received(size);
            return true;
        };
        result = fetchUrlTo(url, write, "cannot write " + path, cancel, limits);
        if (result.tooLarge)
            result.error = "larger than announced (" + result.error + ")";
    }
    file.close();
    if (!result.ok)
        deleteFile(path);
    return result;
}

} // namespace garrison

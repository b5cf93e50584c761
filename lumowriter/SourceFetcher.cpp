#include "lumowriter/SourceFetcher.h"

#include <curl/curl.h>

#include <cctype>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>

#include "lumowriter/MakeLumoEBook.h"

namespace lumowriter {
namespace {

constexpr int kCredentialAttempts = 3;
// No document page is this large; a bigger answer is not read whole into memory.
constexpr std::uintmax_t kMostPageBytes = 64u << 20;

bool startsWithNoCase(const std::string& text, const std::string& prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
    return true;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::string percentDecoded(const std::string& text) {
    std::string decoded;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 &&
            hexValue(text[i + 2]) >= 0) {
            decoded += static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
            i += 2;
        } else {
            decoded += text[i];
        }
    }
    return decoded;
}

size_t appendBody(char* data, size_t size, size_t count, void* body) {
    auto* text = static_cast<std::string*>(body);
    if (text->size() + size * count > kMostPageBytes) return 0;
    text->append(data, size * count);
    return size * count;
}

struct WaitingTick {
    SourceFetcher::Waiting* waiting;
    std::chrono::steady_clock::time_point last{};
};

int onTransferProgress(void* tick, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    auto* state = static_cast<WaitingTick*>(tick);
    const auto now = std::chrono::steady_clock::now();
    if (*state->waiting && now - state->last > std::chrono::milliseconds(100)) {
        state->last = now;
        (*state->waiting)();
    }
    return 0;
}

struct CurlDeleter {
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};

void initialiseCurlOnce() {
    static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    (void)initialised;
}

}  // namespace

bool IsWebUrl(const std::string& url) {
    return startsWithNoCase(url, "http://") || startsWithNoCase(url, "https://");
}

std::string FileUrlPath(const std::string& url) {
    if (!startsWithNoCase(url, "file://")) return {};
    std::string rest = url.substr(7);
    const size_t end = rest.find_first_of("?#");
    if (end != std::string::npos) rest.resize(end);
    // "file://localhost/x" and "file:///x" both name /x.
    if (startsWithNoCase(rest, "localhost/")) rest.erase(0, 9);
    return percentDecoded(rest);
}

SourceFetcher::SourceFetcher(std::string proxy, CredentialPrompt prompt, Waiting waiting)
    : proxy_(std::move(proxy)), prompt_(std::move(prompt)), waiting_(std::move(waiting)) {}

FetchedPage SourceFetcher::Fetch(const std::string& url) {
    if (startsWithNoCase(url, "file://")) return fetchFile(url);
    if (IsWebUrl(url)) return fetchWeb(url);
    FetchedPage page;
    page.url = url;
    page.result = url.find("://") == std::string::npos ? LUMOEBOOK_NOT_FOUND : LUMOEBOOK_UNREADABLE;
    return page;
}

FetchedPage SourceFetcher::fetchFile(const std::string& url) const {
    FetchedPage page;
    page.url = url;
    const std::string path = FileUrlPath(url);
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        page.result = LUMOEBOOK_NOT_FOUND;
        return page;
    }
    if (std::filesystem::file_size(path, error) > kMostPageBytes) {
        page.result = LUMOEBOOK_UNREADABLE;
        return page;
    }
    std::ifstream in(path, std::ios::binary);
    page.body.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) page.result = LUMOEBOOK_UNREADABLE;
    return page;
}

FetchedPage SourceFetcher::fetchWeb(const std::string& url) {
    initialiseCurlOnce();
    FetchedPage page;
    page.url = url;
    std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
    if (!curl) {
        page.result = LUMOEBOOK_NETWORK;
        return page;
    }
    WaitingTick tick{&waiting_};
    CURL* handle = curl.get();
    curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
    curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(handle, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT, 30L);
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, appendBody);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &page.body);
    curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, onTransferProgress);
    curl_easy_setopt(handle, CURLOPT_XFERINFODATA, &tick);
    curl_easy_setopt(handle, CURLOPT_PROXY, proxy_.c_str());
    curl_easy_setopt(handle, CURLOPT_HTTPAUTH, CURLAUTH_ANY);

    for (int attempt = 0;; ++attempt) {
        page.body.clear();
        if (haveCredentials_) {
            curl_easy_setopt(handle, CURLOPT_USERNAME, user_.c_str());
            curl_easy_setopt(handle, CURLOPT_PASSWORD, password_.c_str());
        }
        const CURLcode code = curl_easy_perform(handle);
        if (code == CURLE_COULDNT_RESOLVE_HOST) {
            page.result = LUMOEBOOK_NOT_FOUND;
            return page;
        }
        if (code == CURLE_WRITE_ERROR) {
            page.result = LUMOEBOOK_UNREADABLE;
            return page;
        }
        if (code != CURLE_OK) {
            page.result = LUMOEBOOK_NETWORK;
            return page;
        }
        long status = 0;
        curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status);
        if (status == 401) {
            if (attempt == kCredentialAttempts || !prompt_ || !prompt_(url, user_, password_)) {
                page.result = LUMOEBOOK_ACCESS_REFUSED;
                return page;
            }
            haveCredentials_ = true;
            continue;
        }
        char* type = nullptr;
        curl_easy_getinfo(handle, CURLINFO_CONTENT_TYPE, &type);
        if (type) page.contentType = type;
        char* effective = nullptr;
        curl_easy_getinfo(handle, CURLINFO_EFFECTIVE_URL, &effective);
        if (effective) page.url = effective;
        if (status == 404 || status == 410)
            page.result = LUMOEBOOK_NOT_FOUND;
        else if (status == 403)
            page.result = LUMOEBOOK_ACCESS_REFUSED;
        else if (status >= 400)
            page.result = LUMOEBOOK_NETWORK;
        return page;
    }
}

}  // namespace lumowriter

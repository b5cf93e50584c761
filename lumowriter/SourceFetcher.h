#pragma once

#include <functional>
#include <string>

namespace lumowriter {

struct FetchedPage {
    int result = 0;  // a LUMOEBOOK_ result
    std::string body;
    std::string contentType;  // from the server; empty for local files
    std::string url;          // after redirections
};

// Reads pages from local "file://" URLs and from the web. Web requests go through the proxy
// when one is given; a 401 answer asks for credentials, which are kept for the later pages.
class SourceFetcher {
public:
    using CredentialPrompt =
        std::function<bool(const std::string& url, std::string& user, std::string& password)>;
    using Waiting = std::function<void()>;

    SourceFetcher(std::string proxy, CredentialPrompt prompt, Waiting waiting);
    FetchedPage Fetch(const std::string& url);

private:
    FetchedPage fetchFile(const std::string& url) const;
    FetchedPage fetchWeb(const std::string& url);

    std::string proxy_;
    CredentialPrompt prompt_;
    Waiting waiting_;
    std::string user_;
    std::string password_;
    bool haveCredentials_ = false;
};

// The local path of a "file://" URL, with %xx decoded; empty when it is not one.
std::string FileUrlPath(const std::string& url);

bool IsWebUrl(const std::string& url);

}  // namespace lumowriter

#include "lumowriter/EditionBuild.h"

#include <cctype>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <map>
#include <optional>
#include <regex>

#include "lumowriter/EditionPacker.h"
#include "lumowriter/HtmlPage.h"
#include "lumowriter/MakeLumoEBook.h"
#include "lumowriter/SourceFetcher.h"

namespace lumowriter {
namespace {

// Links deep into a large site stop being followed here.
constexpr size_t kMostPages = 1000;

std::string lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string urlPath(const std::string& url) {
    std::string path = url.substr(0, url.find_first_of("?#"));
    const size_t scheme = path.find("://");
    if (scheme != std::string::npos) {
        const size_t slash = path.find('/', scheme + 3);
        path = slash == std::string::npos ? std::string() : path.substr(slash);
    }
    return path;
}

std::string lastSegment(const std::string& url) {
    const std::string path = urlPath(url);
    return path.substr(path.find_last_of('/') + 1);
}

bool isPlainText(const FetchedPage& page) {
    if (!page.contentType.empty()) return lower(page.contentType).rfind("text/plain", 0) == 0;
    const std::string extension = lower(std::filesystem::path(lastSegment(page.url)).extension());
    return extension == ".txt" || extension == ".text";
}

std::string pageName(size_t index) {
    char name[32];
    std::snprintf(name, sizeof name, "page%04zu.html", index + 1);
    return name;
}

struct QueuedPage {
    std::string url;
    int depth = 0;
};

class Crawl {
public:
    Crawl(const EditionRequest& request, const EditionCallbacks& callbacks)
        : request_(request),
          callbacks_(callbacks),
          fetcher_(request.proxy, callbacks.credentials, [this] { report(0); }) {}

    int Run() {
        if (!request_.subExpression.empty()) {
            try {
                subExpression_.emplace(request_.subExpression, std::regex::extended);
            } catch (const std::regex_error&) {
                return LUMOEBOOK_BAD_ARGUMENTS;
            }
        }
        enqueue(request_.source, 0);
        for (size_t index = 0; index < queue_.size(); ++index) {
            const int result = readPage(index);
            if (index == 0 && result != LUMOEBOOK_OK) return result;
        }
        return write();
    }

private:
    void report(int position) {
        if (callbacks_.progress)
            callbacks_.progress(static_cast<int>(queue_.size()), position, status_);
    }
    // What is being done goes with the progress; what came of it is the status line.
    void doing(const std::string& text) {
        status_ = text;
        report(0);
    }
    void tell(const std::string& text) {
        if (callbacks_.status) callbacks_.status(text);
    }
    size_t enqueue(const std::string& url, int depth) {
        const auto [known, added] = names_.emplace(url, queue_.size());
        if (added) queue_.push_back({url, depth});
        return known->second;
    }
    bool sameKind(const std::string& url) const {
        return IsWebUrl(url) == IsWebUrl(request_.source) &&
               FileUrlPath(url).empty() == FileUrlPath(request_.source).empty();
    }
    bool isPage(const std::string& url) const {
        if (request_.anyExtension) return true;
        const std::string extension = lower(std::filesystem::path(lastSegment(url)).extension());
        for (const std::string& wanted : request_.pageExtensions)
            if (!wanted.empty() && extension.rfind(lower(wanted), 0) == 0) return true;
        return false;
    }
    bool follows(const std::string& url, int depth) {
        if (!(request_.options & LUMOEBOOK_LINKS)) return false;
        if (names_.count(url)) return true;
        if (depth >= request_.levels || queue_.size() >= kMostPages || !sameKind(url) ||
            !isPage(url))
            return false;
        if (subExpression_ && !std::regex_search(url, *subExpression_)) return false;
        enqueue(url, depth + 1);
        return true;
    }

    int readPage(size_t index) {
        const QueuedPage page = queue_[index];
        doing("Reading " + page.url);
        const FetchedPage fetched = fetcher_.Fetch(page.url);
        if (fetched.result != LUMOEBOOK_OK) return fetched.result;
        std::string title = request_.title;
        if (isPlainText(fetched)) {
            if (title.empty()) title = lastSegment(page.url);
            pages_.emplace(index, RenderPlainText(fetched.body, title));
        } else {
            const HtmlPage html(fetched.body, fetched.url);
            if (!html.Parsed()) return LUMOEBOOK_UNREADABLE;
            if (html.HasFrames()) return LUMOEBOOK_FRAMES;
            if (title.empty()) title = html.Title();
            if (title.empty()) title = lastSegment(page.url);
            pages_.emplace(index, html.Render(title, request_.options, [&](const std::string& url) {
                return follows(url, page.depth);
            }));
        }
        if (index == 0) editionTitle_ = title;
        tell("Read " + fetched.url);
        report(static_cast<int>(index) + 1);
        return LUMOEBOOK_OK;
    }

    // Link marks become links to the packed pages, or plain text where a page was not read.
    std::string withLinks(const std::string& page) const {
        std::string out;
        bool linkOpen = false;
        for (size_t i = 0; i < page.size(); ++i) {
            if (page[i] == kLinkOpen) {
                const size_t end = page.find(kLinkUrlEnd, i);
                const auto target = names_.find(page.substr(i + 1, end - i - 1));
                linkOpen = target != names_.end() && pages_.count(target->second);
                if (linkOpen) out += "<a href=\"" + pageName(target->second) + "\">";
                i = end;
            } else if (page[i] == kLinkClose) {
                if (linkOpen) out += "</a>";
                linkOpen = false;
            } else {
                out += page[i];
            }
        }
        return out;
    }

    int write() {
        EditionLayout layout;
        const std::string identifier =
            request_.identifier.empty() ? std::filesystem::path(request_.outputPath).stem().string()
                                        : request_.identifier;
        const std::string author = CollapsedWhiteSpace(request_.author);
        editionTitle_ = CollapsedWhiteSpace(editionTitle_);
        layout.info = {{"Title", editionTitle_},
                       {"Author", author},
                       {"url", "ebook:" + identifier},
                       {"generator", CollapsedWhiteSpace(request_.generator)}};
        for (const auto& [index, page] : pages_)
            layout.contents.push_back({pageName(index), withLinks(page)});
        layout.packageXml = PackageXml(editionTitle_, author);
        status_ = "Writing " + request_.outputPath;
        report(static_cast<int>(queue_.size()));
        std::string error;
        if (!WriteEdition(layout, request_.outputPath, error)) {
            std::error_code ignored;
            std::filesystem::remove(request_.outputPath, ignored);
            return LUMOEBOOK_WRITE_FAILED;
        }
        return LUMOEBOOK_OK;
    }

    const EditionRequest& request_;
    const EditionCallbacks& callbacks_;
    SourceFetcher fetcher_;
    std::optional<std::regex> subExpression_;
    std::deque<QueuedPage> queue_;
    std::map<std::string, size_t> names_;
    std::map<size_t, std::string> pages_;
    std::string status_;
    std::string editionTitle_;
};

}  // namespace

int BuildEdition(const EditionRequest& request, const EditionCallbacks& callbacks) {
    return Crawl(request, callbacks).Run();
}

}  // namespace lumowriter

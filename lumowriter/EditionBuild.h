#pragma once

#include <functional>
#include <string>
#include <vector>

namespace lumowriter {

// What an edition is built from and where it goes.
struct EditionRequest {
    std::string source;
    std::string outputPath;
    std::string author;
    std::string title;
    std::string generator;
    std::string identifier;
    std::string proxy;
    std::vector<std::string> pageExtensions;
    bool anyExtension = false;
    std::string subExpression;
    unsigned options = 0;
    int levels = 0;
};

struct EditionCallbacks {
    std::function<void(int range, int position, const std::string& status)> progress;
    std::function<void(const std::string& text)> status;
    std::function<bool(const std::string& url, std::string& user, std::string& password)>
        credentials;
};

// Reads the source page (and the linked pages when asked), packs them and writes the edition.
// Returns a LUMOEBOOK_ result; nothing is left at outputPath unless the result is 0.
int BuildEdition(const EditionRequest& request, const EditionCallbacks& callbacks);

}  // namespace lumowriter

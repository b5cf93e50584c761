#pragma once

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace lumosim::testing {

// The title list as the library reads it: "[LumoBook]" and CR LF, then the bytes without any
// carriage return and without the last one; a field is the first "key=" in the line and the
// text between the next two double quotes.
class TitleListReader {
public:
    explicit TitleListReader(const std::vector<uint8_t>& list) {
        std::string text(list.begin(), list.end());
        text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
        if (!text.empty()) text.pop_back();
        std::size_t start = 0;
        while (start < text.size()) {
            const std::size_t end = std::min(text.find('\n', start), text.size());
            const std::string line = text.substr(start, end - start);
            const std::size_t equals = line.find('=');
            if (equals != std::string::npos)
                lines_.emplace(line.substr(0, equals), line.substr(equals + 1));
            start = end + 1;
        }
    }

    std::string Value(const std::string& key) const {
        const auto found = lines_.find(key);
        return found == lines_.end() ? std::string("<missing>") : found->second;
    }

    std::string Field(int title, const std::string& key) const {
        const std::string line = Value("Title" + std::to_string(title));
        const std::size_t at = line.find(key + "=");
        if (at == std::string::npos) return "<missing>";
        const std::size_t open = line.find('"', at);
        const std::size_t close = line.find('"', open + 1);
        if (open == std::string::npos || close == std::string::npos) return "<unclosed>";
        return line.substr(open + 1, close - open - 1);
    }

private:
    std::map<std::string, std::string> lines_;
};

}  // namespace lumosim::testing

#include "lxxmlparser/LXXMLParser.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <strings.h>

#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct DocumentCloser {
    void operator()(xmlDoc* document) const { xmlFreeDoc(document); }
};

struct TextFree {
    void operator()(xmlChar* text) const { xmlFree(text); }
};

std::vector<std::string> SplitPath(const char* path) {
    std::vector<std::string> names;
    std::stringstream stream(path);
    for (std::string name; std::getline(stream, name, '/');) {
        if (!name.empty()) names.push_back(name);
    }
    return names;
}

// A prefix that the file never declares stays part of the element's name ("dc:Title").
bool NameMatches(const xmlNode* node, const std::string& name) {
    if (node->type != XML_ELEMENT_NODE) return false;
    const char* qualified = reinterpret_cast<const char*>(node->name);
    const char* colon = std::strrchr(qualified, ':');
    return strcasecmp(colon != nullptr ? colon + 1 : qualified, name.c_str()) == 0;
}

const xmlNode* FindChild(const xmlNode* parent, const std::string& name) {
    for (const xmlNode* child = parent->children; child != nullptr; child = child->next) {
        if (NameMatches(child, name)) return child;
    }
    return nullptr;
}

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

}  // namespace

int CLXXMLParser::m_fnLXGetXMLPath(const char* xmlFile, const char* path, char* buffer,
                                   int bufferSize) {
    if (xmlFile == nullptr || path == nullptr || buffer == nullptr || bufferSize <= 0) return 1;
    const std::vector<std::string> names = SplitPath(path);
    if (names.empty()) return 1;

    // No network, no entity expansion, no DTD loading: the file may come from anywhere.
    std::unique_ptr<xmlDoc, DocumentCloser> document(
        xmlReadFile(xmlFile, nullptr, XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
    if (!document) return 1;
    const xmlNode* node = xmlDocGetRootElement(document.get());
    if (node == nullptr || !NameMatches(node, names.front())) return 1;
    for (std::size_t i = 1; i < names.size() && node != nullptr; ++i) {
        node = FindChild(node, names[i]);
    }
    if (node == nullptr) return 1;

    std::unique_ptr<xmlChar, TextFree> content(xmlNodeGetContent(node));
    const std::string text =
        Trimmed(content ? reinterpret_cast<const char*>(content.get()) : std::string());
    if (text.empty()) return 1;
    std::size_t length = std::min<std::size_t>(text.size(), bufferSize - 1);
    // The text is UTF-8: a cut inside a character would make the rest unreadable as UTF-8.
    while (length > 0 && length < text.size() && (text[length] & 0xC0) == 0x80) --length;
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return 0;
}

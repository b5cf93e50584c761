#include "lumowriter/HtmlPage.h"

#include <libxml/HTMLparser.h>
#include <libxml/uri.h>

#include <cctype>
#include <set>
#include <sstream>

#include "lumowriter/MakeLumoEBook.h"
#include "lumowriter/MarkupEscape.h"

namespace lumowriter {
namespace {

const std::set<std::string> kSkipped = {"head",   "script",   "style",  "noscript", "iframe",
                                        "object", "embed",    "applet", "input",    "select",
                                        "button", "textarea", "frame",  "frameset", "map"};
const std::set<std::string> kKept = {
    "p",          "h1",   "h2",    "h3",  "h4",  "h5",    "h6",     "ul",  "ol",
    "li",         "dl",   "dt",    "dd",  "b",   "i",     "u",      "em",  "strong",
    "pre",        "code", "tt",    "sub", "sup", "small", "big",    "div", "center",
    "blockquote", "cite", "table", "tr",  "td",  "th",    "caption"};
const std::set<std::string> kEmpty = {"br", "hr"};
const std::set<std::string> kTableFrame = {"table", "tr", "thead", "tbody", "tfoot", "caption"};

std::string nameOf(const xmlNode* node) {
    std::string name = reinterpret_cast<const char*>(node->name);
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name;
}

std::string attribute(const xmlNode* node, const char* name) {
    xmlChar* value = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name));
    if (!value) return {};
    std::string text = reinterpret_cast<const char*>(value);
    xmlFree(value);
    return text;
}

std::string contentOf(const xmlNode* node) {
    xmlChar* value = xmlNodeGetContent(node);
    if (!value) return {};
    std::string text = reinterpret_cast<const char*>(value);
    xmlFree(value);
    return text;
}

const xmlNode* findElement(const xmlNode* node, const std::set<std::string>& names) {
    for (; node; node = node->next) {
        if (node->type == XML_ELEMENT_NODE && names.count(nameOf(node))) return node;
        if (const xmlNode* found = findElement(node->children, names)) return found;
    }
    return nullptr;
}

std::string absoluteUrl(const std::string& href, const std::string& base) {
    xmlChar* built = xmlBuildURI(reinterpret_cast<const xmlChar*>(href.c_str()),
                                 reinterpret_cast<const xmlChar*>(base.c_str()));
    if (!built) return {};
    std::string url = reinterpret_cast<const char*>(built);
    xmlFree(built);
    const size_t fragment = url.find('#');
    if (fragment != std::string::npos) url.resize(fragment);
    return url;
}

class Renderer {
public:
    Renderer(const std::string& base, unsigned options,
             const std::function<bool(const std::string&)>& follow)
        : base_(base), options_(options), follow_(follow) {}

    void Nodes(const xmlNode* node) {
        for (; node; node = node->next) Node(node);
    }
    std::string Text() const { return out_.str(); }

private:
    void Node(const xmlNode* node) {
        if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) {
            out_ << MarkupEscaped(reinterpret_cast<const char*>(node->content));
            return;
        }
        if (node->type != XML_ELEMENT_NODE) return;
        const std::string name = nameOf(node);
        if (kSkipped.count(name)) return;
        if (name == "img") {
            image(node);
        } else if (name == "a") {
            link(node);
        } else if (kEmpty.count(name)) {
            out_ << "<" << name << ">";
        } else if ((options_ & LUMOEBOOK_FLAT_TABLES) && kTableFrame.count(name)) {
            Nodes(node->children);
        } else if ((options_ & LUMOEBOOK_FLAT_TABLES) && (name == "td" || name == "th")) {
            element("p", node);
        } else if (kKept.count(name)) {
            element(name, node);
        } else {
            Nodes(node->children);
        }
    }
    void element(const std::string& name, const xmlNode* node) {
        out_ << "<" << name << ">";
        Nodes(node->children);
        out_ << "</" << name << ">";
    }
    void image(const xmlNode* node) {
        if (options_ & LUMOEBOOK_NO_IMAGE_TEXT) return;
        const std::string alt = CollapsedWhiteSpace(attribute(node, "alt"));
        if (!alt.empty()) out_ << "[" << MarkupEscaped(alt) << "]";
    }
    void link(const xmlNode* node) {
        const std::string href = attribute(node, "href");
        const std::string url = href.empty() ? std::string() : absoluteUrl(href, base_);
        if (url.empty() || !follow_(url)) {
            Nodes(node->children);
            return;
        }
        out_ << kLinkOpen << url << kLinkUrlEnd;
        Nodes(node->children);
        out_ << kLinkClose;
    }

    const std::string& base_;
    unsigned options_;
    const std::function<bool(const std::string&)>& follow_;
    std::ostringstream out_;
};

std::string pageHtml(const std::string& title, const std::string& body) {
    return "<html><head><meta charset=\"utf-8\"><title>" + MarkupEscaped(title) +
           "</title></head><body>" + body + "</body></html>\n";
}

}  // namespace

struct HtmlPage::Document {
    htmlDocPtr doc;
    ~Document() { xmlFreeDoc(doc); }
};

HtmlPage::HtmlPage(const std::string& bytes, const std::string& url) : url_(url) {
    htmlDocPtr doc = htmlReadMemory(
        bytes.data(), static_cast<int>(bytes.size()), url.c_str(), nullptr,
        HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET);
    if (doc) document_.reset(new Document{doc});
}

HtmlPage::~HtmlPage() = default;

bool HtmlPage::HasFrames() const {
    return document_ && findElement(xmlDocGetRootElement(document_->doc), {"frame", "frameset"});
}

std::string HtmlPage::Title() const {
    if (!document_) return {};
    const xmlNode* title = findElement(xmlDocGetRootElement(document_->doc), {"title"});
    return title ? CollapsedWhiteSpace(contentOf(title)) : std::string();
}

std::string HtmlPage::Render(const std::string& title, unsigned options,
                             const std::function<bool(const std::string&)>& follow) const {
    Renderer renderer(url_, options, follow);
    if (document_) {
        const xmlNode* root = xmlDocGetRootElement(document_->doc);
        const xmlNode* body = findElement(root, {"body"});
        renderer.Nodes(body ? body->children : root);
    }
    return pageHtml(title, renderer.Text());
}

std::string RenderPlainText(const std::string& text, const std::string& title) {
    std::string body;
    std::string paragraph;
    std::istringstream lines(text);
    std::string line;
    auto endParagraph = [&] {
        if (!paragraph.empty()) body += "<p>" + MarkupEscaped(paragraph) + "</p>";
        paragraph.clear();
    };
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (CollapsedWhiteSpace(line).empty()) {
            endParagraph();
            continue;
        }
        if (!paragraph.empty()) paragraph += "\n";
        paragraph += line;
    }
    endParagraph();
    return pageHtml(title, body);
}

std::string CollapsedWhiteSpace(const std::string& text) {
    std::string collapsed;
    bool blank = false;
    for (char c : text) {
        if (std::isspace(static_cast<unsigned char>(c))) {
            blank = !collapsed.empty();
            continue;
        }
        if (blank) collapsed += ' ';
        blank = false;
        collapsed += c;
    }
    return collapsed;
}

}  // namespace lumowriter

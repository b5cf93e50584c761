#pragma once

#include <functional>
#include <memory>
#include <string>

namespace lumowriter {

// Marks in rendered pages where a followed link opens and closes. They are replaced once it is
// known whether the linked page made it into the edition.
constexpr char kLinkOpen = '\x01';
constexpr char kLinkUrlEnd = '\x02';
constexpr char kLinkClose = '\x03';

// One HTML page read with libxml2's forgiving HTML parser.
class HtmlPage {
public:
    HtmlPage(const std::string& bytes, const std::string& url);
    ~HtmlPage();
    HtmlPage(const HtmlPage&) = delete;
    HtmlPage& operator=(const HtmlPage&) = delete;

    bool Parsed() const { return document_ != nullptr; }
    bool HasFrames() const;
    // The <title> text with runs of white space made one blank.
    std::string Title() const;
    // The page as the edition's HTML: the body's text and structure without scripts, styles,
    // forms and images. Each link's absolute URL (without fragment) is offered to follow: links
    // for which it is true become link marks, the others plain text.
    std::string Render(const std::string& title, unsigned options,
                       const std::function<bool(const std::string&)>& follow) const;

private:
    struct Document;
    std::unique_ptr<Document> document_;
    std::string url_;
};

// A plain text document as the edition's HTML: one paragraph per block of lines.
std::string RenderPlainText(const std::string& text, const std::string& title);

// White space runs made one blank, none at either end.
std::string CollapsedWhiteSpace(const std::string& text);

}  // namespace lumowriter

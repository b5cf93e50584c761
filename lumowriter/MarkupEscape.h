#pragma once

#include <string>

namespace lumowriter {

// Text for HTML or XML content and attributes: &, <, > and " escaped, and control characters
// other than tab and line ends left out (XML cannot carry them).
std::string MarkupEscaped(const std::string& text);

}  // namespace lumowriter

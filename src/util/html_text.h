// The visible text of an HTML page's body, as a browser shows it: scripts, styles and the head
// left out, white space collapsed, line breaks (CR LF) at <br> and around block elements.
#pragma once

#include <string>
#include <string_view>

namespace util {

// html is UTF-8 text; malformed markup is parsed the way browsers recover from it.
std::string htmlBodyText(std::string_view html);

}  // namespace util

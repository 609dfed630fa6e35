// Text as XML attributes and element content take it.
#pragma once

#include <string>

namespace daisy {

// UTF-8 text with &, <, >, " escaped, line breaks and other control
// characters made spaces, and bytes that are not UTF-8 dropped, so that
// the file stays well-formed whatever a book's title holds.
std::string Escaped(const std::string& utf8);

// <meta name="name" content="content" />, with scheme="scheme" when given.
std::string MetaElement(const std::string& name, const std::string& content,
                        const std::string& scheme = "");

}  // namespace daisy

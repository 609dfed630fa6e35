// Italian text made ready for reading aloud, in Windows-1252: accents typed
// as apostrophes (perche', citta', E'), common abbreviations (sig., ecc.,
// pag.), Roman numerals of rulers and chapters written in lower case, and
// web and e-mail addresses spelled out as they are said.
#pragma once

#include <string>

namespace reading {

// The text with the rules of the table in italian_rules.cpp applied; what no
// rule matches comes back byte for byte.
std::string NormaliseItalian(const std::string& text1252);

}  // namespace reading

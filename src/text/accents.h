// Accented letters for the program's own messages, which write an accent
// the way a keyboard without them does: "e'", "gia'", "perche'".
#pragma once

#include <string>

namespace text {

// The text with every vowel that ends a word and is followed by an
// apostrophe (and then by no letter) turned into its accented letter in
// UTF-8: "e'" is "è", "gia'" is "già", "perche'" is "perché", "E'" is "È".
// An elision ("l'opzione", "un'altra") has a letter after the apostrophe
// and stays, as does "po'", which is written so. Text between double quotes
// is a name or a quotation and stays as it is.
std::string WithAccents(const std::string& text);

}  // namespace text

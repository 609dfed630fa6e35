// ncc.html on its own: well-formed XHTML in UTF-8, the metadata the DAISY
// 2.02 specification makes mandatory (and ncc:narrator, which our books
// carry), and a body of navigation points in the order and shape players
// expect.
#include <algorithm>
#include <cctype>
#include <regex>

#include "daisy/book_parts.h"

namespace daisy_check {

namespace {

const char* const kNcc = "ncc.html";

// Mandatory in the NCC of a DAISY 2.02 book, each once (dc:creator may
// name several people).
const char* const kRequiredMeta[] = {
    "dc:creator",    "dc:date",       "dc:format",      "dc:identifier",     "dc:language",
    "dc:publisher",  "dc:title",      "ncc:charset",    "ncc:depth",         "ncc:files",
    "ncc:footnotes", "ncc:generator", "ncc:kByteSize",  "ncc:maxPageNormal", "ncc:multimediaType",
    "ncc:narrator",  "ncc:pageFront", "ncc:pageNormal", "ncc:pageSpecial",   "ncc:prodNotes",
    "ncc:setInfo",   "ncc:sidebars",  "ncc:tocItems",   "ncc:totalTime"};

const char* const kCountMeta[] = {"ncc:depth",      "ncc:files",         "ncc:footnotes",
                                  "ncc:kByteSize",  "ncc:maxPageNormal", "ncc:pageFront",
                                  "ncc:pageNormal", "ncc:pageSpecial",   "ncc:prodNotes",
                                  "ncc:sidebars",   "ncc:tocItems"};

const char* const kMultimediaTypes[] = {"audioOnly",     "audioNcc",      "audioPartText",
                                        "audioFullText", "textPartAudio", "textNCC"};

// The span classes that make navigation points.
const char* const kSpanClasses[] = {"page-normal", "page-front",        "page-special",
                                    "sidebar",     "optional-prodnote", "noteref"};

bool IsCount(const std::string& text) {
  return !text.empty() && text.size() < 10 &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

bool ValidDate(const std::string& text) {
  static const std::regex date("([0-9]{4})-([0-9]{2})-([0-9]{2})");
  std::smatch parts;
  if (!std::regex_match(text, parts, date)) return false;
  const int year = std::stoi(parts[1]), month = std::stoi(parts[2]), day = std::stoi(parts[3]);
  static const int days[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12 || day < 1 || day > days[month - 1]) return false;
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return !(month == 2 && day == 29 && !leap);
}

void CheckMetaValues(const TNcc& ncc, const std::string& encoding, TProblems& problems) {
  for (const char* name : kRequiredMeta) {
    if (std::string(name) == "dc:creator" && ncc.meta.count(name) > 1) continue;
    MetaOnce(ncc.meta, name, kNcc, problems);
  }
  auto value = [&](const char* name) -> std::optional<std::string> {
    const auto found = ncc.meta.find(name);
    if (found == ncc.meta.end()) return std::nullopt;
    return Trim(found->second.content);
  };
  auto bad = [&](const char* name, const std::string& why) {
    problems.Add("bad metadata value", std::string(kNcc) + ": the metadata " + name + " is \"" +
                                           value(name).value_or("") + "\": " + why + ".");
  };

  for (const char* name : {"dc:creator", "dc:identifier", "dc:publisher", "dc:title",
                           "ncc:generator", "ncc:narrator"}) {
    if (value(name) && value(name)->empty()) bad(name, "it is empty");
  }
  if (value("dc:format") && *value("dc:format") != "Daisy 2.02") {
    bad("dc:format", "it must be \"Daisy 2.02\"");
  }
  if (value("dc:date")) {
    if (!ValidDate(*value("dc:date"))) bad("dc:date", "it is no date written yyyy-mm-dd");
    const std::string scheme = ncc.meta.find("dc:date")->second.scheme;
    if (!scheme.empty() && scheme != "yyyy-mm-dd") {
      problems.Add("bad metadata value", std::string(kNcc) + ": dc:date has the scheme \"" +
                                             scheme + "\", not \"yyyy-mm-dd\".");
    }
  }
  static const std::regex language("[A-Za-z]{2,3}(-[A-Za-z0-9]{1,8})*");
  if (value("dc:language") && !std::regex_match(*value("dc:language"), language)) {
    bad("dc:language", "it is no language code (RFC 1766, ISO 639)");
  }
  if (value("ncc:charset")) {
    const std::string declared = encoding.empty() ? "utf-8" : Lower(encoding);
    if (Lower(*value("ncc:charset")) != declared) {
      bad("ncc:charset", "the file is written in " + declared);
    } else if (declared != "utf-8") {
      bad("ncc:charset", "our books are written in utf-8");
    }
  }
  for (const char* name : kCountMeta) {
    if (value(name) && !IsCount(*value(name))) bad(name, "it is no whole number");
  }
  if (value("ncc:multimediaType")) {
    const std::string type = *value("ncc:multimediaType");
    if (std::find(std::begin(kMultimediaTypes), std::end(kMultimediaTypes), type) ==
        std::end(kMultimediaTypes)) {
      std::string types;
      for (const char* known : kMultimediaTypes)
        types += std::string(types.empty() ? "" : ", ") + known;
      bad("ncc:multimediaType", "it is none of " + types);
    }
  }
  static const std::regex setInfo("([0-9]+) of ([0-9]+)");
  std::smatch parts;
  if (value("ncc:setInfo")) {
    const std::string text = *value("ncc:setInfo");
    if (!std::regex_match(text, parts, setInfo) || std::stoi(parts[1]) < 1 ||
        std::stoi(parts[1]) > std::stoi(parts[2])) {
      bad("ncc:setInfo", "it must read \"N of M\", with 1 <= N <= M");
    }
  }
  if (value("ncc:totalTime") && !ParseClockValue(*value("ncc:totalTime"))) {
    bad("ncc:totalTime", "it is no clock value");
  }

  // What the body holds.
  auto agrees = [&](const char* name, int counted, const std::string& what) {
    if (value(name) && IsCount(*value(name)) && std::stoi(*value(name)) != counted) {
      bad(name, "ncc.html holds " + std::to_string(counted) + " " + what);
    }
  };
  agrees("ncc:tocItems", static_cast<int>(ncc.items.size()), "navigation points");
  agrees("ncc:depth", ncc.depth, "as its deepest heading level");
  agrees("ncc:pageNormal", ncc.pageNormal, "page-normal spans");
  agrees("ncc:pageFront", ncc.pageFront, "page-front spans");
  agrees("ncc:pageSpecial", ncc.pageSpecial, "page-special spans");
  agrees("ncc:maxPageNormal", ncc.maxPageNormal, "as its highest normal page");
  agrees("ncc:footnotes", ncc.noteRefs, "noteref spans");
  agrees("ncc:sidebars", ncc.sidebars, "sidebar spans");
  agrees("ncc:prodNotes", ncc.prodNotes, "optional-prodnote spans");
}

// The http-equiv Content-type meta, when there is one, names the same charset.
void CheckContentType(const xmlNode* head, const TNcc& ncc, TProblems& problems) {
  const auto charset = ncc.meta.find("ncc:charset");
  for (const xmlNode* element : ChildElements(head, "meta")) {
    if (Lower(Attr(element, "http-equiv")) != "content-type") continue;
    const std::string content = Lower(Attr(element, "content"));
    const auto at = content.find("charset=");
    if (at == std::string::npos || charset == ncc.meta.end()) continue;
    if (Trim(content.substr(at + 8)) != Lower(Trim(charset->second.content))) {
      problems.Add("charset", std::string(kNcc) + ": the Content-type meta says \"" + content +
                                  "\", but ncc:charset is \"" + charset->second.content + "\".");
    }
  }
}

void ReadItem(const xmlNode* element, TNavItem& item, TProblems& problems) {
  item.id = Attr(element, "id");
  item.text = TextOf(element);
  const std::string what = "the " + item.element + " \"" + item.text + "\"";
  if (item.id.empty()) {
    problems.Add("navigation point without id", std::string(kNcc) + ": " + what + " has no id.");
  }
  const auto links = ChildElements(element, "a");
  if (links.size() != 1) {
    problems.Add("navigation point without one link",
                 std::string(kNcc) + ": " + what + " holds " + std::to_string(links.size()) +
                     " a elements, where it must hold exactly one.");
    return;
  }
  const std::string href = Attr(links[0], "href");
  const auto hash = href.find('#');
  const std::string file = href.substr(0, hash);
  if (hash == std::string::npos || hash + 1 == href.size() || file.size() < 6 ||
      file.compare(file.size() - 5, 5, ".smil") != 0) {
    problems.Add("bad link", std::string(kNcc) + ": the link of " + what + " is \"" + href +
                                 "\", not file.smil#id.");
    return;
  }
  item.smil = file;
  item.fragment = href.substr(hash + 1);
}

void ReadBody(const xmlNode* body, TNcc& ncc, TProblems& problems) {
  const auto children = ChildElements(body);
  const xmlNode* first = children.empty() ? nullptr : children.front();
  if (first == nullptr || LocalName(first) != "h1" || Attr(first, "class") != "title") {
    std::string found = "missing";
    if (first) {
      found = "<" + LocalName(first);
      if (HasAttr(first, "class")) found += " class=\"" + Attr(first, "class") + "\"";
      found += ">";
    }
    problems.Add("first heading", std::string(kNcc) + ": the body's first element must be " +
                                      "<h1 class=\"title\">, and it is " + found + ".");
  }
  int previousLevel = 0;
  const xmlNode* insideItem = nullptr;
  for (const xmlNode* element : ElementsBelow(body)) {
    // Skip what is inside a navigation point.
    if (insideItem) {
      const xmlNode* up = element->parent;
      while (up && up != insideItem) up = up->parent;
      if (up) continue;
      insideItem = nullptr;
    }
    const std::string name = LocalName(element);
    const std::string cls = Trim(Attr(element, "class"));
    TNavItem item;
    item.element = name;
    item.cls = cls;
    if (name.size() == 2 && name[0] == 'h' && name[1] >= '1' && name[1] <= '6') {
      item.level = name[1] - '0';
      ReadItem(element, item, problems);
      if (item.level > previousLevel + 1) {
        problems.Add("heading level skipped",
                     std::string(kNcc) + ": the " + name + " \"" + item.text + "\" follows " +
                         (previousLevel ? "an h" + std::to_string(previousLevel) : "nothing") +
                         ": a heading may go only one level deeper than the one before it.");
      }
      previousLevel = item.level;
      ncc.depth = std::max(ncc.depth, item.level);
    } else if (name == "span" && std::find(std::begin(kSpanClasses), std::end(kSpanClasses), cls) !=
                                     std::end(kSpanClasses)) {
      ReadItem(element, item, problems);
      if (cls == "page-normal") {
        ++ncc.pageNormal;
        if (IsCount(item.text)) {
          ncc.maxPageNormal = std::max(ncc.maxPageNormal, std::stoi(item.text));
        } else {
          problems.Add("page number", std::string(kNcc) + ": the page-normal span \"" + item.text +
                                          "\" is no number.");
        }
      }
      ncc.pageFront += cls == "page-front";
      ncc.pageSpecial += cls == "page-special";
      ncc.sidebars += cls == "sidebar";
      ncc.prodNotes += cls == "optional-prodnote";
      ncc.noteRefs += cls == "noteref";
    } else {
      continue;
    }
    insideItem = element;
    ncc.items.push_back(item);
  }
}

}  // namespace

bool ReadNcc(const std::string& folder, TNcc& ncc, TProblems& problems) {
  TXmlFile file(folder + "/" + kNcc);
  for (const std::string& entity : file.UndeclaredEntities()) {
    problems.Add("undeclared entity", std::string(kNcc) + ": it uses the entity &" + entity +
                                          "; which only the DTD defines; write the character.");
  }
  const xmlNode* root = file.Root();
  if (root == nullptr) {
    problems.Add("not well-formed",
                 std::string(kNcc) + " is not well-formed XML: " + file.Errors().front());
    return false;
  }
  if (LocalName(root) != "html" || root->ns == nullptr ||
      std::string(reinterpret_cast<const char*>(root->ns->href)) !=
          "http://www.w3.org/1999/xhtml") {
    problems.Add("not XHTML",
                 std::string(kNcc) + ": its root is not an html element of the XHTML namespace.");
  }
  const auto heads = ChildElements(root, "head");
  const auto bodies = ChildElements(root, "body");
  if (heads.size() != 1 || bodies.size() != 1) {
    problems.Add("not XHTML", std::string(kNcc) + ": it must have one head and one body.");
    return false;
  }
  const auto titles = ChildElements(heads[0], "title");
  if (titles.size() != 1 || TextOf(titles[0]).empty()) {
    problems.Add("not XHTML", std::string(kNcc) + ": its head must hold one title, not empty.");
  }
  ncc.meta = ReadMeta(heads[0]);
  for (const xmlNode* element : ElementsBelow(root)) {
    const std::string id = Attr(element, "id");
    if (!id.empty() && !ncc.ids.insert(id).second) {
      problems.Add("repeated id", std::string(kNcc) + ": the id \"" + id + "\" is used twice.");
    }
  }
  ReadBody(bodies[0], ncc, problems);
  CheckMetaValues(ncc, file.Encoding(), problems);
  CheckContentType(heads[0], ncc, problems);
  return true;
}

}  // namespace daisy_check

#include <algorithm>

#include "daisy/clock.h"
#include "daisy/markup.h"
#include "daisy/navigation.h"

namespace daisy {

namespace {

std::string Meta(const std::string& name, const std::string& content,
                 const std::string& scheme = "") {
  return "<meta name=\"" + name + "\" content=\"" + Escaped(content) + "\"" +
         (scheme.empty() ? "" : " scheme=\"" + scheme + "\"") + " />\n";
}

}  // namespace

std::string NccFile(const TTalkingBook& book, int64_t total, size_t files, int64_t kBytes) {
  const TBookInfo& info = book.info;
  int depth = 1;
  for (const TSection& section : book.sections) depth = std::max(depth, section.level);
  const std::string language = Escaped(info.language);
  std::string ncc =
      "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
      "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\" "
      "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd\">\n"
      "<html xmlns=\"http://www.w3.org/1999/xhtml\" xml:lang=\"" + language + "\" lang=\"" +
      language + "\">\n<head>\n"
      "<meta http-equiv=\"Content-type\" content=\"text/html; charset=utf-8\" />\n"
      "<title>" + Escaped(info.title) + "</title>\n";
  // The metadata that DAISY 2.02 requires, in alphabetical order, and the
  // narrator it recommends.
  ncc += Meta("dc:creator", info.creator);
  ncc += Meta("dc:date", info.date, "yyyy-mm-dd");
  ncc += Meta("dc:format", "Daisy 2.02");
  ncc += Meta("dc:identifier", info.identifier);
  ncc += Meta("dc:language", info.language, "ISO 639");
  ncc += Meta("dc:publisher", info.publisher);
  ncc += Meta("dc:title", info.title);
  ncc += Meta("ncc:charset", "utf-8");
  ncc += Meta("ncc:depth", std::to_string(depth));
  ncc += Meta("ncc:files", std::to_string(files));
  ncc += Meta("ncc:footnotes", "0");
  ncc += Meta("ncc:generator", info.generator);
  ncc += Meta("ncc:kByteSize", std::to_string(kBytes));
  ncc += Meta("ncc:maxPageNormal", "0");
  ncc += Meta("ncc:multimediaType", "audioNcc");
  ncc += Meta("ncc:narrator", info.narrator);
  ncc += Meta("ncc:pageFront", "0");
  ncc += Meta("ncc:pageNormal", "0");
  ncc += Meta("ncc:pageSpecial", "0");
  ncc += Meta("ncc:prodNotes", "0");
  ncc += Meta("ncc:setInfo", "1 of 1");
  ncc += Meta("ncc:sidebars", "0");
  ncc += Meta("ncc:tocItems", std::to_string(book.sections.size()));
  ncc += Meta("ncc:totalTime", ClockValue(total));
  ncc += "</head>\n<body>\n";
  for (size_t n = 1; n <= book.sections.size(); ++n) {
    const TSection& section = book.sections[n - 1];
    const std::string tag = "h" + std::to_string(section.level);
    ncc += "<" + tag + (n == 1 ? " class=\"title\"" : "") + " id=\"" + NumberedId('h', n) +
           "\"><a href=\"" + SmilName(n) + "#" + NumberedId('t', n) + "\">" +
           Escaped(section.title) + "</a></" + tag + ">\n";
  }
  ncc += "</body>\n</html>\n";
  return ncc;
}

}  // namespace daisy

#include <algorithm>

#include "daisy/clock.h"
#include "daisy/markup.h"
#include "daisy/navigation.h"

namespace daisy {

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
  ncc += MetaElement("dc:creator", info.creator);
  ncc += MetaElement("dc:date", info.date, "yyyy-mm-dd");
  ncc += MetaElement("dc:format", "Daisy 2.02");
  ncc += MetaElement("dc:identifier", info.identifier);
  ncc += MetaElement("dc:language", info.language, "ISO 639");
  ncc += MetaElement("dc:publisher", info.publisher);
  ncc += MetaElement("dc:title", info.title);
  ncc += MetaElement("ncc:charset", "utf-8");
  ncc += MetaElement("ncc:depth", std::to_string(depth));
  ncc += MetaElement("ncc:files", std::to_string(files));
  ncc += MetaElement("ncc:footnotes", "0");
  ncc += MetaElement("ncc:generator", info.generator);
  ncc += MetaElement("ncc:kByteSize", std::to_string(kBytes));
  ncc += MetaElement("ncc:maxPageNormal", "0");
  ncc += MetaElement("ncc:multimediaType", "audioNcc");
  ncc += MetaElement("ncc:narrator", info.narrator);
  ncc += MetaElement("ncc:pageFront", "0");
  ncc += MetaElement("ncc:pageNormal", "0");
  ncc += MetaElement("ncc:pageSpecial", "0");
  ncc += MetaElement("ncc:prodNotes", "0");
  ncc += MetaElement("ncc:setInfo", "1 of 1");
  ncc += MetaElement("ncc:sidebars", "0");
  ncc += MetaElement("ncc:tocItems", std::to_string(book.sections.size()));
  ncc += MetaElement("ncc:totalTime", ClockValue(total));
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

#include "daisy/clock.h"
#include "daisy/markup.h"
#include "daisy/navigation.h"

namespace daisy {

namespace {

const char kSmilStart[] =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
    "<!DOCTYPE smil PUBLIC \"-//W3C//DTD SMIL 1.0//EN\" "
    "\"http://www.w3.org/TR/REC-smil/SMIL10.dtd\">\n"
    "<smil>\n<head>\n";

// The head that every SMIL file of the book has.
std::string SmilHead(const TBookInfo& info, const std::string& timeMetas) {
  return kSmilStart + MetaElement("dc:format", "Daisy 2.02") +
         MetaElement("dc:identifier", info.identifier) + MetaElement("dc:title", info.title) +
         MetaElement("ncc:generator", info.generator) + timeMetas +
         "<layout>\n<region id=\"txtView\" />\n</layout>\n</head>\n";
}

}  // namespace

int64_t SectionTime(const TSection& section) {
  int64_t time = 0;
  for (const TClip& clip : section.clips) time += clip.milliseconds;
  return time;
}

std::string SmilName(size_t n) { return NumberedId('s', n) + ".smil"; }

std::string NumberedId(char letter, size_t n) {
  std::string digits = std::to_string(n);
  if (digits.size() < 4) digits.insert(0, 4 - digits.size(), '0');
  return letter + digits;
}

std::string SmilFile(const TBookInfo& info, const TSection& section, size_t n,
                     int64_t elapsed) {
  const int64_t time = SectionTime(section);
  std::string smil = SmilHead(info, MetaElement("ncc:timeInThisSmil", ClockValue(time)) +
                                        MetaElement("ncc:totalElapsedTime", ClockValue(elapsed)));
  smil += "<body>\n<seq dur=\"" + Timecount(time) + "\">\n";
  smil += "<par endsync=\"last\" id=\"" + NumberedId('p', n) + "\">\n";
  smil += "<text src=\"ncc.html#" + NumberedId('h', n) + "\" id=\"" + NumberedId('t', n) + "\" />\n";
  const bool several = section.clips.size() > 1;
  if (several) smil += "<seq>\n";
  for (const TClip& clip : section.clips) {
    // An audio element's id is its file's own name without ".mp3".
    const std::string id = "a" + clip.file.substr(0, clip.file.find('.'));
    smil += "<audio src=\"" + Escaped(clip.file) + "\" clip-begin=\"" + NormalPlayTime(0) +
            "\" clip-end=\"" + NormalPlayTime(clip.milliseconds) + "\" id=\"" + Escaped(id) +
            "\" />\n";
  }
  if (several) smil += "</seq>\n";
  smil += "</par>\n</seq>\n</body>\n</smil>\n";
  return smil;
}

std::string MasterSmil(const TTalkingBook& book, int64_t total) {
  std::string smil = SmilHead(book.info, MetaElement("ncc:timeInThisSmil", ClockValue(total)));
  smil += "<body>\n";
  for (size_t n = 1; n <= book.sections.size(); ++n)
    smil += "<ref src=\"" + SmilName(n) + "#" + NumberedId('t', n) + "\" title=\"" +
            Escaped(book.sections[n - 1].title) + "\" id=\"" + NumberedId('m', n) + "\" />\n";
  smil += "</body>\n</smil>\n";
  return smil;
}

}  // namespace daisy

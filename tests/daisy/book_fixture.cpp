#include "daisy/book_fixture.h"

#include <gtest/gtest.h>
#include <lame/lame.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <vector>

TToneMp3 EncodeTone(double seconds, bool infoTag) {
  const int rate = 11025;
  lame_global_flags* flags = lame_init();
  lame_set_in_samplerate(flags, rate);
  lame_set_out_samplerate(flags, rate);
  lame_set_num_channels(flags, 1);
  lame_set_mode(flags, MONO);
  lame_set_VBR(flags, vbr_off);
  lame_set_brate(flags, 48);
  lame_set_bWriteVbrTag(flags, infoTag ? 1 : 0);
  lame_init_params(flags);

  TToneMp3 mp3;
  const int samples = static_cast<int>(std::lround(seconds * rate));
  mp3.inputSeconds = static_cast<double>(samples) / rate;
  std::vector<short> pcm(static_cast<std::size_t>(samples));
  for (int i = 0; i < samples; ++i)
    pcm[i] = static_cast<short>(6000 * std::sin(i * 2 * M_PI * 440 / rate));
  std::vector<unsigned char> out(static_cast<std::size_t>(samples) * 2 + 16384);
  int bytes = lame_encode_buffer(flags, pcm.data(), pcm.data(), samples, out.data(),
                                 static_cast<int>(out.size()));
  bytes += lame_encode_flush(flags, out.data() + bytes, static_cast<int>(out.size()) - bytes);
  mp3.frames = lame_get_frameNum(flags);
  if (infoTag) {
    // The Info frame was written first as a placeholder; now its values.
    unsigned char tag[4096];
    const std::size_t length = lame_get_lametag_frame(flags, tag, sizeof tag);
    std::copy(tag, tag + length, out.begin());
  }
  lame_close(flags);
  mp3.bytes.assign(reinterpret_cast<const char*>(out.data()), static_cast<std::size_t>(bytes));
  return mp3;
}

std::string FakeMp3(int frames, bool tags) {
  // MPEG 2.5, layer III, no CRC; 48 kbit/s, 11025 Hz, no padding; mono:
  // 72000 * 48 / 11025 = 313 bytes a frame.
  const std::string header("\xFF\xE3\x60\xC0", 4);
  std::string frame = header + std::string(313 - header.size(), '\x55');
  std::string bytes = tags ? Id3v2Tag("finto") : "";
  for (int i = 0; i < frames; ++i) bytes += frame;
  return tags ? bytes + Id3v1Tag("finto") : bytes;
}

std::string Id3v2Tag(const std::string& title) {
  const std::string text = std::string(1, '\0') + title;  // ISO-8859-1
  const auto size = static_cast<unsigned>(text.size());
  std::string frame = "TIT2";
  for (int shift = 24; shift >= 0; shift -= 8) frame += static_cast<char>((size >> shift) & 0xFF);
  frame += std::string(2, '\0') + text;
  const auto tagSize = static_cast<unsigned>(frame.size());
  std::string tag = std::string("ID3\x03\x00\x00", 6);
  for (int shift = 21; shift >= 0; shift -= 7) tag += static_cast<char>((tagSize >> shift) & 0x7F);
  return tag + frame;
}

std::string Id3v1Tag(const std::string& title) {
  std::string tag = "TAG" + title.substr(0, 30);
  tag.resize(127, '\0');
  return tag + '\xFF';  // no genre
}

std::string ClockText(double seconds) {
  const long ms = std::lround(seconds * 1000);
  char text[32];
  std::snprintf(text, sizeof text, "%02ld:%02ld:%02ld.%03ld", ms / 3600000, ms / 60000 % 60,
                ms / 1000 % 60, ms % 1000);
  return text;
}

namespace {

std::string Npt(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "npt=%.3fs", seconds);
  return text;
}

const char* const kXmlHead = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";
const char* const kSmilDoctype =
    "<!DOCTYPE smil PUBLIC \"-//W3C//DTD SMIL 1.0//EN\" "
    "\"http://www.w3.org/TR/REC-smil/SMIL10.dtd\">\n";

std::string SmilHead(double timeInThisSmil, double elapsed) {
  std::string head =
      "<head>\n<meta name=\"dc:format\" content=\"Daisy 2.02\" />\n"
      "<meta name=\"dc:identifier\" content=\"nvx-0123456789abcdef\" />\n"
      "<meta name=\"dc:title\" content=\"Il libro\" />\n"
      "<meta name=\"ncc:generator\" content=\"Narravox 1.06f\" />\n"
      "<meta name=\"ncc:timeInThisSmil\" content=\"" +
      ClockText(timeInThisSmil) + "\" />\n";
  if (elapsed >= 0) {
    head += "<meta name=\"ncc:totalElapsedTime\" content=\"" + ClockText(elapsed) + "\" />\n";
  }
  return head + "<layout>\n<region id=\"txtView\" />\n</layout>\n</head>\n";
}

struct THeadingPlan {
  int level;
  std::string title;
  std::vector<std::string> audio;
};

const std::vector<THeadingPlan>& Plan() {
  static const std::vector<THeadingPlan> plan{{1, "Il libro", {"001.mp3"}},
                                              {1, "Capitolo 1", {"002.mp3", "003.mp3"}},
                                              {2, "Sezione 1.1", {"004.mp3"}}};
  return plan;
}

std::string Ncc(const TFixtureBook& book, double totalTime, long kBytes) {
  std::string ncc =
      std::string(kXmlHead) +
      "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\" "
      "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd\">\n"
      "<html xmlns=\"http://www.w3.org/1999/xhtml\" xml:lang=\"it\" lang=\"it\">\n<head>\n"
      "<meta http-equiv=\"Content-type\" content=\"text/html; charset=utf-8\" />\n"
      "<title>Il libro</title>\n";
  struct TMetaLine {
    std::string name, content, scheme;
  };
  const std::string files =
      std::to_string(book.files.size() + (book.files.count("ncc.html") ? 0 : 1));
  const std::vector<TMetaLine> meta{{"dc:creator", "Autore", ""},
                                    {"dc:date", "2026-12-08", "yyyy-mm-dd"},
                                    {"dc:format", "Daisy 2.02", ""},
                                    {"dc:identifier", "nvx-0123456789abcdef", ""},
                                    {"dc:language", "it", "ISO 639"},
                                    {"dc:publisher", "Narravox", ""},
                                    {"dc:title", "Il libro", ""},
                                    {"ncc:charset", "utf-8", ""},
                                    {"ncc:depth", "2", ""},
                                    {"ncc:files", files, ""},
                                    {"ncc:footnotes", "0", ""},
                                    {"ncc:generator", "Narravox 1.06f", ""},
                                    {"ncc:kByteSize", std::to_string(kBytes), ""},
                                    {"ncc:maxPageNormal", "0", ""},
                                    {"ncc:multimediaType", "audioNcc", ""},
                                    {"ncc:narrator", "sintesi vocale", ""},
                                    {"ncc:pageFront", "0", ""},
                                    {"ncc:pageNormal", "0", ""},
                                    {"ncc:pageSpecial", "0", ""},
                                    {"ncc:prodNotes", "0", ""},
                                    {"ncc:setInfo", "1 of 1", ""},
                                    {"ncc:sidebars", "0", ""},
                                    {"ncc:tocItems", "3", ""},
                                    {"ncc:totalTime", ClockText(totalTime), ""}};
  for (const TMetaLine& line : meta) {
    ncc += "<meta name=\"" + line.name + "\" content=\"" + line.content + "\"" +
           (line.scheme.empty() ? "" : " scheme=\"" + line.scheme + "\"") + " />\n";
  }
  ncc += "</head>\n<body>\n";
  int n = 0;
  for (const THeadingPlan& heading : Plan()) {
    char ids[64];
    ++n;
    std::snprintf(ids, sizeof ids, "id=\"h%04d\"><a href=\"s%04d.smil#t%04d\">", n, n, n);
    const std::string h = "h" + std::to_string(heading.level);
    ncc +=
        "<" + h + (n == 1 ? " class=\"title\" " : " ") + ids + heading.title + "</a></" + h + ">\n";
  }
  return ncc + "</body>\n</html>\n";
}

}  // namespace

bool TFixtureBook::Replace(const std::string& file, const std::string& from,
                           const std::string& to) {
  const auto at = files[file].find(from);
  EXPECT_NE(at, std::string::npos) << "no \"" << from << "\" in " << file;
  if (at == std::string::npos) return false;
  files[file].replace(at, from.size(), to);
  return true;
}

void TFixtureBook::Write(const std::string& folder) const {
  for (const auto& [name, bytes] : files)
    std::ofstream(folder + "/" + name, std::ios::binary) << bytes;
}

TFixtureBook MakeValidBook() {
  TFixtureBook book;
  const double lengths[4] = {0.5, 0.8, 0.5, 0.8};
  for (int i = 0; i < 4; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "%03d.mp3", i + 1);
    const TToneMp3 mp3 = EncodeTone(lengths[i]);
    // Without an Info frame every frame decodes to its 576 samples.
    const double seconds = std::lround(mp3.frames * 576.0 / 11025 * 1000) / 1000.0;
    book.files[name] =
        i == 1 ? Id3v2Tag("Capitolo 1") + mp3.bytes + Id3v1Tag("Capitolo 1") : mp3.bytes;
    book.audioSeconds[name] = seconds;
  }
  double elapsed = 0;
  std::string master = std::string(kXmlHead) + kSmilDoctype + "<smil>\n";
  std::string refs;
  int n = 0;
  for (const THeadingPlan& heading : Plan()) {
    char number[16];
    ++n;
    std::snprintf(number, sizeof number, "%04d", n);
    double time = 0;
    std::string audio;
    for (const std::string& file : heading.audio) {
      const double seconds = book.audioSeconds[file];
      audio += "<audio src=\"" + file + "\" clip-begin=\"npt=0.000s\" clip-end=\"" + Npt(seconds) +
               "\" id=\"a" + file.substr(0, 3) + "\" />\n";
      time += seconds;
    }
    if (heading.audio.size() > 1) audio = "<seq>\n" + audio + "</seq>\n";
    const std::string id = number;
    char dur[32];
    std::snprintf(dur, sizeof dur, "%.3fs", time);
    book.files["s" + id + ".smil"] =
        std::string(kXmlHead) + kSmilDoctype + "<smil>\n" + SmilHead(time, elapsed) +
        "<body>\n<seq dur=\"" + dur + "\">\n<par endsync=\"last\" id=\"p" + id +
        "\">\n"
        "<text src=\"ncc.html#h" +
        id + "\" id=\"t" + id + "\" />\n" + audio + "</par>\n</seq>\n</body>\n</smil>\n";
    refs += "<ref src=\"s" + id + ".smil#t" + id + "\" title=\"" + heading.title + "\" id=\"m" +
            id + "\" />\n";
    elapsed += time;
  }
  book.files["master.smil"] =
      master + SmilHead(elapsed, -1) + "<body>\n" + refs + "</body>\n</smil>\n";
  book.files["ncc.html"] = Ncc(book, elapsed, 0);
  UpdateByteSize(book);
  return book;
}

void UpdateByteSize(TFixtureBook& book) {
  std::string& ncc = book.files["ncc.html"];
  const std::string key = "<meta name=\"ncc:kByteSize\" content=\"";
  if (ncc.find(key) == std::string::npos) return;
  const auto at = ncc.find(key) + key.size();
  const auto end = ncc.find('"', at);
  ncc.replace(at, end - at, "0");
  std::size_t bytes = 0;
  for (const auto& [name, content] : book.files) bytes += content.size();
  ncc.replace(at, 1, std::to_string(std::lround(bytes / 1024.0)));
}

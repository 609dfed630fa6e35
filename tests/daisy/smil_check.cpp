// One SMIL file on its own, as DAISY 2.02 shapes SMIL 1.0: its metadata, a
// layout with a region, one main seq of par elements, each par a text and
// its audio (one audio, or a seq of them), each clip an interval of a file.
#include <cmath>
#include <cstdio>

#include "daisy/book_parts.h"

namespace daisy_check {

namespace {

bool Exists(const std::string& path) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (file) std::fclose(file);
  return file != nullptr;
}

// The root smil element with one head and one body, or false (reported).
bool SmilShape(const TXmlFile& file, const std::string& name, const xmlNode*& head,
               const xmlNode*& body, TProblems& problems) {
  for (const std::string& entity : file.UndeclaredEntities()) {
    problems.Add("undeclared entity",
                 name + ": it uses the entity &" + entity + "; which is declared nowhere.");
  }
  const xmlNode* root = file.Root();
  if (root == nullptr) {
    problems.Add("not well-formed", name + " is not well-formed XML: " + file.Errors().front());
    return false;
  }
  const auto heads = ChildElements(root, "head");
  const auto bodies = ChildElements(root, "body");
  if (LocalName(root) != "smil" || heads.size() != 1 || bodies.size() != 1) {
    problems.Add("not SMIL", name + ": it must be a smil element with one head and one body.");
    return false;
  }
  head = heads[0];
  body = bodies[0];
  return true;
}

void CheckFormat(const TMetaSet& meta, const std::string& name, TProblems& problems) {
  const TMeta* format = MetaOnce(meta, "dc:format", name, problems);
  if (format && Trim(format->content) != "Daisy 2.02") {
    problems.Add("bad metadata value",
                 name + ": dc:format is \"" + format->content + "\", not \"Daisy 2.02\".");
  }
}

std::optional<TClock> TimeMeta(const TMetaSet& meta, const char* key, const std::string& name,
                               TProblems& problems) {
  const TMeta* found = MetaOnce(meta, key, name, problems);
  if (found == nullptr) return std::nullopt;
  auto clock = ParseClockValue(found->content);
  if (!clock) {
    problems.Add("bad time",
                 name + ": " + key + " is \"" + found->content + "\", which is no clock value.");
  }
  return clock;
}

// A par holds one text and its audio: one audio element, or one seq of
// audio elements.
void CheckPar(const xmlNode* par, const std::string& name, TProblems& problems) {
  const std::string id = Attr(par, "id");
  const std::string what = name + ": the par " + (id.empty() ? "without id" : "\"" + id + "\"");
  const auto texts = ChildElements(par, "text");
  if (texts.size() != 1) {
    problems.Add("par shape",
                 what + " holds " + std::to_string(texts.size()) + " text elements, not one.");
  }
  const auto audios = ChildElements(par, "audio");
  const auto seqs = ChildElements(par, "seq");
  bool shaped = audios.size() == 1 && seqs.empty();
  if (audios.empty() && seqs.size() == 1) {
    const auto inSeq = ChildElements(seqs[0]);
    shaped = !inSeq.empty() && ChildElements(seqs[0], "audio").size() == inSeq.size();
  }
  if (!shaped) {
    problems.Add("par shape",
                 what + " must hold its audio as one audio element or one seq of audio elements.");
  }
  if (ChildElements(par).size() != texts.size() + audios.size() + seqs.size()) {
    problems.Add("par shape", what + " holds elements other than text, audio and seq.");
  }
}

void ReadClip(const xmlNode* audio, TSmil& smil, TProblems& problems) {
  TClip clip;
  clip.id = Attr(audio, "id");
  clip.audio = Attr(audio, "src");
  const std::string what =
      smil.name + ": the audio " + (clip.id.empty() ? "of " + clip.audio : "\"" + clip.id + "\"");
  if (clip.audio.empty()) {
    problems.Add("audio without src", what + " has no src.");
    return;
  }
  smil.audioSrcs.push_back(clip.audio);
  std::optional<TClock> times[2];
  const char* names[2] = {"clip-begin", "clip-end"};
  for (int i = 0; i < 2; ++i) {
    if (!HasAttr(audio, names[i])) {
      problems.Add("clip without times", what + " has no " + names[i] + ".");
      continue;
    }
    times[i] = ParseClipValue(Attr(audio, names[i]));
    if (!times[i]) {
      problems.Add("bad time", what + " has " + names[i] + "=\"" + Attr(audio, names[i]) +
                                   "\", which is no npt= clock value.");
    }
  }
  if (!times[0] || !times[1]) return;
  clip.begin = times[0]->seconds;
  clip.end = times[1]->seconds;
  if (clip.begin >= clip.end) {
    problems.Add("empty clip", what + " begins at " + Seconds(clip.begin) + " and ends at " +
                                   Seconds(clip.end) + ": clip-begin must come before clip-end.");
    return;
  }
  smil.clips.push_back(clip);
  smil.clipSeconds += clip.end - clip.begin;
}

// ncc:timeInThisSmil and the main seq's dur are what the clips add up to.
void CheckTotals(const TSmil& smil, TProblems& problems) {
  const int clips = static_cast<int>(smil.clips.size());
  auto off = [&](const std::optional<TClock>& written) {
    return written && std::abs(written->seconds - smil.clipSeconds) > Tolerance(*written, clips);
  };
  const bool timeOff = off(smil.timeInThisSmil);
  const bool durOff = off(smil.dur);
  if (!timeOff && !durOff) return;
  std::string what;
  if (timeOff) what = "ncc:timeInThisSmil (" + Seconds(smil.timeInThisSmil->seconds) + ")";
  if (timeOff && durOff) what += " and ";
  if (durOff) what += "the dur of its main seq (" + Seconds(smil.dur->seconds) + ")";
  problems.Add("SMIL time",
               smil.name + ": " + what + (timeOff && durOff ? " disagree" : " disagrees") +
                   " with its clips, which add up to " + Seconds(smil.clipSeconds) + ".");
}

}  // namespace

double Tolerance(const TClock& written, int clips) {
  return clips * 0.001 + written.resolution / 2 + 1e-6;
}

TSmil ReadSmil(const std::string& folder, const std::string& name, const std::string& linkedFrom,
               TProblems& problems) {
  TSmil smil;
  smil.name = name;
  if (!Exists(folder + "/" + name)) {
    problems.Add("missing SMIL", name + ", which " + linkedFrom + " links to, is missing.");
    return smil;
  }
  TXmlFile file(folder + "/" + name);
  const xmlNode* head = nullptr;
  const xmlNode* body = nullptr;
  if (!SmilShape(file, name, head, body, problems)) return smil;
  smil.read = true;

  smil.meta = ReadMeta(head);
  CheckFormat(smil.meta, name, problems);
  smil.timeInThisSmil = TimeMeta(smil.meta, "ncc:timeInThisSmil", name, problems);
  smil.totalElapsedTime = TimeMeta(smil.meta, "ncc:totalElapsedTime", name, problems);

  std::set<std::string> regions;
  for (const xmlNode* layout : ChildElements(head, "layout")) {
    for (const xmlNode* region : ChildElements(layout, "region"))
      regions.insert(Attr(region, "id"));
  }
  regions.erase("");
  if (regions.empty()) {
    problems.Add("no region", name + ": its head needs a layout with a region that has an id.");
  }

  const auto seqs = ChildElements(body);
  if (seqs.size() != 1 || LocalName(seqs[0]) != "seq") {
    problems.Add("main seq", name + ": its body must hold exactly one seq.");
  } else {
    if (!HasAttr(seqs[0], "dur")) {
      problems.Add("main seq", name + ": its main seq has no dur.");
    } else if (!(smil.dur = ParseClockValue(Attr(seqs[0], "dur")))) {
      problems.Add("bad time", name + ": the dur \"" + Attr(seqs[0], "dur") +
                                   "\" of its main seq is no clock value.");
    }
    for (const xmlNode* child : ChildElements(seqs[0])) {
      if (LocalName(child) != "par") {
        problems.Add("main seq", name + ": its main seq holds a " + LocalName(child) +
                                     ", where only par elements belong.");
      }
    }
  }

  int position = 0;
  for (const xmlNode* element : ElementsBelow(file.Root())) {
    const std::string kind = LocalName(element);
    ++position;
    if (kind == "par") CheckPar(element, name, problems);
    if (kind == "text") {
      const std::string src = Attr(element, "src");
      if (src.empty())
        problems.Add("text without src", name + ": a text element has no src.");
      else
        smil.textSrcs.push_back(src);
      if (HasAttr(element, "region") && !regions.count(Attr(element, "region"))) {
        problems.Add("no region", name + ": a text element names the region \"" +
                                      Attr(element, "region") + "\", which the layout lacks.");
      }
    }
    if (kind == "audio") ReadClip(element, smil, problems);
    const std::string id = Attr(element, "id");
    if (id.empty()) continue;
    TSmilTarget target{kind, kind == "text" ? Attr(element, "src") : "", position};
    const auto texts = ChildElements(element, "text");
    if (kind == "par" && texts.size() == 1) target.textSrc = Attr(texts[0], "src");
    if (!smil.ids.emplace(id, target).second) {
      problems.Add("repeated id", name + ": the id \"" + id + "\" is used twice.");
    }
  }
  CheckTotals(smil, problems);
  return smil;
}

TMaster ReadMaster(const std::string& folder, TProblems& problems) {
  TMaster master;
  const std::string name = "master.smil";
  TXmlFile file(folder + "/" + name);
  const xmlNode* head = nullptr;
  const xmlNode* body = nullptr;
  if (!SmilShape(file, name, head, body, problems)) return master;
  master.read = true;
  master.meta = ReadMeta(head);
  CheckFormat(master.meta, name, problems);
  for (const xmlNode* element : ElementsBelow(body)) {
    if (LocalName(element) == "ref") master.refs.push_back(Attr(element, "src"));
  }
  return master;
}

}  // namespace daisy_check

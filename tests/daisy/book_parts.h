// The checker's own pieces: the list of problems, XML files read safely,
// and what it gathers from ncc.html and the SMIL files before checking how
// they fit together (daisy_checker.cpp).
#pragma once

#include <libxml/tree.h>

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "daisy/daisy_checker.h"

namespace daisy_check {

// The problems found, capped: of one kind of fault the first few are kept
// and the rest counted.
class TProblems {
 public:
  // kind names the fault in general ("clip beyond the end of its audio").
  void Add(const std::string& kind, const std::string& sentence);
  std::vector<std::string> Lines() const;

 private:
  static constexpr int kShownOfAKind = 5;
  std::vector<std::string> lines_;
  std::vector<std::string> kinds_;  // in the order first met
  std::map<std::string, int> counts_;
};

// An XML file parsed with libxml2: no network, no DTD read, so entities
// other than the predefined ones stay unknown.
class TXmlFile {
 public:
  explicit TXmlFile(const std::string& path);
  ~TXmlFile();
  TXmlFile(const TXmlFile&) = delete;
  TXmlFile& operator=(const TXmlFile&) = delete;

  // nullptr when the file is not well-formed XML (Errors() says why).
  const xmlNode* Root() const;
  // The encoding of the XML declaration, "" when it names none.
  const std::string& Encoding() const { return encoding_; }
  const std::vector<std::string>& Errors() const { return errors_; }
  // Entities used but declared nowhere the parser looked (&nbsp; and the
  // like, which only the XHTML DTD defines).
  const std::vector<std::string>& UndeclaredEntities() const { return entities_; }

 private:
  xmlDoc* doc_ = nullptr;
  std::string encoding_;
  std::vector<std::string> errors_;
  std::vector<std::string> entities_;
};

std::string LocalName(const xmlNode* node);
// The attribute without a namespace, "" when absent.
std::string Attr(const xmlNode* node, const char* name);
bool HasAttr(const xmlNode* node, const char* name);
// The child elements, all of them or those with the local name.
std::vector<const xmlNode*> ChildElements(const xmlNode* node, const char* name = nullptr);
// The elements below node, in document order.
std::vector<const xmlNode*> ElementsBelow(const xmlNode* node);
// The text below node, white space collapsed.
std::string TextOf(const xmlNode* node);
std::string Trim(const std::string& text);

struct TMeta {
  std::string content;
  std::string scheme;
};
using TMetaSet = std::multimap<std::string, TMeta>;
// The head's meta elements that have a name.
TMetaSet ReadMeta(const xmlNode* head);
// The content of the meta named name when it occurs exactly once; a
// problem (naming file) and nullptr when it is missing or repeated.
const TMeta* MetaOnce(const TMetaSet& meta, const std::string& name, const std::string& file,
                      TProblems& problems);

// A navigation point of ncc.html: a heading or a page, note reference,
// sidebar or producer's note span.
struct TNavItem {
  std::string element;  // "h1" ... "h6", "span"
  int level = 0;        // 1 to 6 for a heading
  std::string cls, id, text;
  std::string smil, fragment;  // its link's two halves; smil "" when it has no usable link
};

struct TNcc {
  TMetaSet meta;
  std::vector<TNavItem> items;
  std::set<std::string> ids;  // every id of ncc.html
  int pageNormal = 0, pageFront = 0, pageSpecial = 0, maxPageNormal = 0;
  int noteRefs = 0, sidebars = 0, prodNotes = 0;
  int depth = 0;
};
// Reads and checks ncc.html on its own; false when it cannot be read at all.
bool ReadNcc(const std::string& folder, TNcc& ncc, TProblems& problems);

struct TClip {
  std::string id, audio;
  double begin = 0, end = 0;
};

// An element of a SMIL file that has an id.
struct TSmilTarget {
  std::string element;  // "par", "text", "audio", ...
  std::string textSrc;  // a text's src, or the src of a par's text
  int position = 0;     // in document order
};

struct TSmil {
  std::string name;
  bool read = false;  // parsed
  TMetaSet meta;
  std::map<std::string, TSmilTarget> ids;
  std::vector<TClip> clips;            // in document order, those with usable times
  std::vector<std::string> audioSrcs;  // of all its audio elements
  std::vector<std::string> textSrcs;   // of all its text elements
  std::optional<TClock> timeInThisSmil, totalElapsedTime, dur;
  double clipSeconds = 0;
};
// Reads and checks one SMIL file of the book on its own; linkedFrom names
// what refers to it.
TSmil ReadSmil(const std::string& folder, const std::string& name, const std::string& linkedFrom,
               TProblems& problems);

struct TMaster {
  bool read = false;
  TMetaSet meta;
  std::vector<std::string> refs;  // the src of each ref, in order
};
TMaster ReadMaster(const std::string& folder, TProblems& problems);

// How far a written time may lie from what it sums up: 1 ms for each clip
// summed (each written to the millisecond), and half the last digit of the
// written value.
double Tolerance(const TClock& written, int clips);

std::string Seconds(double seconds);  // "2.130 s"

}  // namespace daisy_check

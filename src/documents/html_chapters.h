// The blocks of a page added to the chapters being built, shared by the
// web page reader and the EPUB reader.
#pragma once

#include "documents/document.h"
#include "documents/html_blocks.h"

namespace documents {

// A heading starts a chapter of its level when headingsStartChapters,
// otherwise it is read as a paragraph; notes go to the current chapter.
inline void AddHtmlBlock(const THtmlBlock& block, bool headingsStartChapters, TDocumentBuilder* builder) {
  switch (block.kind) {
    case THtmlBlock::TKind::Heading:
      if (headingsStartChapters) builder->StartChapter(block.text, block.level);
      else builder->AddParagraph(block.text);
      break;
    case THtmlBlock::TKind::Paragraph: builder->AddParagraph(block.text); break;
    case THtmlBlock::TKind::Note: builder->AddNote(block.text); break;
  }
}

}  // namespace documents

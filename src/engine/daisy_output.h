// A text as a DAISY 2.02 talking book (FORMATO=DAISY): its folder holds the
// MP3 files that the MP3 form makes, in lower-case 8.3 names, each chapter
// starting a file of its own, and the navigation (daisy/talking_book.h)
// written once every file is made: one heading for the book's title and
// one per chapter at its level, each tied to the whole files it takes.
#pragma once

#include <cstdint>
#include <string>

#include "daisy/talking_book.h"
#include "engine/book_text.h"
#include "engine/chapter_files.h"
#include "engine/output_layout.h"

bool DaisyForm();

// The book as a talking book is made of it, in the DAISY form: one whose
// first chapter opens it gets its title as a file of its own before that
// chapter, for the title heading (the title and a blank line go in front
// of its lines). names as NameAfterBook leaves them.
void ShapeForTalkingBook(TBookText* book, const TTextNames& names);

// An identifier of the input's bytes: the same for the same input.
std::string BookIdentifier(const std::string& bytes);

// The book as the text's plan lays it out, before its files are made: the
// headings with the files each takes, unmeasured. names as NameAfterBook
// leaves them; textPath the input, whose date dates a book without one.
daisy::TTalkingBook PlanTalkingBook(const TBookText& book, const TFilePlan& plan,
                                    const TTextNames& names, const std::string& identifier,
                                    const std::string& textPath);

// Once the text's trackCount files are made: measures each from its MPEG
// frames and writes the navigation files, each whole or not at all, the
// SMIL files first and ncc.html last. Raises "Impossibile leggere il file"
// for a file that cannot be measured, "Impossibile creare il file" for one
// that cannot be written.
void WriteTalkingBook(const TTextNames& names, int32_t trackCount, daisy::TTalkingBook book);

// Removes the navigation files of an earlier conversion from folder (which
// ends with a separator).
void RemoveTalkingBook(const std::string& folder);

// The letter case of a fragment for the Linux engine, when the case is kept.
//
// espeak-ng reads words in capitals as words when their clause is in
// capitals (a heading, a shouted line), but spells a word of two or three
// capitals inside a clause mostly in lower case, as it does an acronym.
// What espeak-ng 1.51 gives (espeak-ng -v it -q -x):
//   "CAPITOLO PRIMO", "ATTENZIONE AL CANE", "E IO NO", "NON FARLO MAI PIÙ",
//   "LA STORIA DI UN PDF": read as in lower case ("PDF" spelled in both);
//   1,500 lines of fortunes-it in capitals against the same in lower case:
//   no word spelled, only pauses and stresses differ;
//   "io NON ci vado"          -> ,Enne,O:'Enne   (spelled)
//   "dillo A ME"              -> ,Emme'e:        (spelled)
//   "ho detto GIÀ a tutti"    -> dZ,i;,i:;,a:_|g@-*'ave (spelled, accent named)
//   "ho detto C'È a tutti"    -> tS,i;ap,OstRofo,e:... (spelled)
//   "IL RE\nera buono e gentile con tutti": "IL" spelled, since a line break
//   does not end a clause (a heading runs into its first line);
//   "NON ora", "NON ora, e poi": read (three lower-case letters or fewer);
//   "CAPITOLO", "IMPORTANTE", "L'HO" in lower-case clauses: read.
// Of 235 words of two or three letters of fortunes-it, 193 are spelled in
// capitals in "ho detto ... a tutti quanti"; the others (che, chi, per,
// io, no, re ...) are read, and every one reads alike in either case.
// The rule of the engine: a word of two or three characters (letters and
// the apostrophes between them), all capitals, in a clause with more than
// three lower-case letters and no more capitals than lower-case letters.
// Clauses end at . , ; : ! ? before a blank or the end, at an ellipsis and
// at a blank line; brackets, quotes and dashes do not end them.
#pragma once

#include <string>

namespace reading {

// The text with the case kept but for the words that espeak-ng would spell
// and that are Italian words ("NON", "UN", "GIÀ", "C'È"), which are lowered.
// Acronyms ("PDF", "GNU", "USA", "UTF") and clauses in capitals stay as
// they are.
std::string CaseForEngine(const std::string& text1252);

}  // namespace reading

// The outcome of each text of a run, for scripts and schedulers: one JSON
// object a line (JSON Lines) appended to the file that RISULTATI names.
// Each line is one write at the file's end, so that the runs of a batch
// may share one file.
//
//   {"text":"/libri/a.txt","folder":"/audio/a","files":3,"seconds":912.416,
//    "status":"ok","message":""}
//
// status: "ok" (converted), "skipped" (not converted, the run went on:
// missing, not a text, empty, old files kept, folder in use) or "failed"
// (the error that ended the run). seconds counts the speech of the files
// that this run made: a text resumed with "/R" counts only those made after
// the interruption.
#pragma once

#include <cstdint>
#include <string>

struct TTextResult {
  std::string text;    // the text's file, as the JobList names it
  std::string folder;  // its folder in the destination, "" when none was made
  int32_t files = 0;
  double seconds = 0;
  const char* status = "ok";
  std::string message;  // why it was not converted, without the "* ERRORE: " mark
};

// The line of result, without its line end: names and messages as UTF-8.
std::string ResultLine(const TTextResult& result);

// Appends the line of result to the RISULTATI file, when the setting names
// one; a failure is reported as a warning (set-up has made the file).
void ReportTextResult(const TTextResult& result);

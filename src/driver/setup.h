// The set-up of a run: command line, configuration file, options, engine
// location and JobList, in that order.
#pragma once

#include <string>
#include <vector>

#include "reading/user_dictionary.h"

// What the command line asks for: a conversion (or its test or its resumption),
// the list of the engine's voices (--voci, /V=?) or a sample of a voice
// (--prova-voce).
enum class TRunRequest { Conversion, ListVoices, VoiceSample, Listing };

// args[0] is the program file's full path; the rest are the command-line
// arguments; dictionary receives the user's dictionaries (DIZIONARIO).
// Raises errors and the silent abort. A request about the voices takes the
// options and the engine library as a conversion does, and nothing else:
// no text, JobList, RecoveryFile or dictionary.
TRunRequest SetUpRun(const std::vector<std::string>& args, reading::TUserDictionary* dictionary);

// The program's entry: runs the set-up and the conversion and turns any
// error into its report. Returns the exit code.
int NarravoxMain(const std::vector<std::string>& args);

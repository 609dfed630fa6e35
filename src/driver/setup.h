// The set-up of a run: command line, configuration file, options, engine
// location and JobList, in that order.
#pragma once

#include <string>
#include <vector>

#include "reading/user_dictionary.h"

// args[0] is the program file's full path; the rest are the command-line
// arguments; dictionary receives the user's dictionaries (DIZIONARIO).
// Raises errors and the silent abort.
void SetUpRun(const std::vector<std::string>& args, reading::TUserDictionary* dictionary);

// The program's entry: runs the set-up and the conversion and turns any
// error into its report. Returns the exit code.
int NarravoxMain(const std::vector<std::string>& args);

// Questions to the user and the report of the error that ends a run.
#pragma once

#include <string>

// Asks a yes/no question (given without final punctuation), on the console
// or in a message box as AVVISIFINESTRA says. The end of console input
// counts as No.
bool AskYesNo(const std::string& question);

// Shows the message of the error that ends the run.
void ReportFatalError(const std::string& message);

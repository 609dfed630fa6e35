// Where the speech engine library lies: the set-up command that records it
// in the configuration file, and the registry search of the products that
// install it.
#pragma once

#include <string>

// Completes a file or folder name to an existing engine library and writes
// it into the configuration file as the ECIDLL= line; returns the path
// written, on POSIX the full path ("~" the home folder).
std::string SetupEciPath(const std::string& path);

// The newest engine library recorded by one product, or "".
std::string FindEciForProduct(const std::string& product);
// The engine library of the first product that has one, or "".
std::string FindEciInRegistry();

// The engine library installed with the program (POSIX), or "".
std::string FindInstalledEci();

// Decides which engine library the run uses (the configured one, else the
// one installed with the program, else the registry's, which is then
// recorded in the configuration file), or raises. On POSIX Settings.ECIDLL
// is then a full path.
void LocateEngine();

// Where the speech engine library lies: the set-up command that records it
// in the configuration file, and the registry search of the products that
// install it.
#pragma once

#include <string>

// Completes a file or folder name to an existing engine library and writes
// it into the configuration file as the ECIDLL= line.
void SetupEciPath(const std::string& path);

// The newest engine library recorded by one product, or "".
std::string FindEciForProduct(const std::string& product);
// The engine library of the first product that has one, or "".
std::string FindEciInRegistry();

// Decides which engine library the run uses, or raises.
void LocateEngine();

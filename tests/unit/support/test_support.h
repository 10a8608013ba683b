// Helpers shared by the unit tests.
#pragma once

#include <string>

// Text with every "\n" turned into CR LF.
std::string Crlf(const std::string& lfText);

// The control file most tests use: written to path on the fake machine.
void WriteControlFile(const std::string& path, const std::string& iniText);

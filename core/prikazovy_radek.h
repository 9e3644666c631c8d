// Start-up: the command line, the program directory and the built-in command files.
#pragma once

#include <string>
#include <vector>

constexpr const char* VERZE = "4.00";

// Parses the command line into the run-mode flags, tt.jmeno_cmd, tt.adresar_programu and
// fullpath; may end the process with exit code 2, 3 or 8.
void zpracuj_parametry(const std::vector<std::string>& argumenty);

// The program directory in front of the name when the command line named one.
std::string pridej_path(const std::string& jmeno);

// Creates the file in the program directory with the contents unless it exists; 0 or 1.
int TvorSoubor(const std::string& jmeno, const std::string& obsah);

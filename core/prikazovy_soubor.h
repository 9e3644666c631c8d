// Command files: loading, the header, the operation lines, data-file numbering.
#pragma once

#include <string>

extern std::string CMDbuf;   // the loaded, normalised command file
extern int CMDbufExist;

// Frees the loaded command file.
void uvolni_cmd_buffer();

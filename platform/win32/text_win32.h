// Windows-1250 texts as UTF-16 for the wide Win32 calls.
#pragma once

#include <string>

// Converts with code page 1250 itself, so the result does not depend on the machine's
// ANSI code page.
std::wstring cp1250_na_utf16(const std::string& text);
// And back; characters outside the code page become '?'.
std::string utf16_na_cp1250(const std::wstring& text);

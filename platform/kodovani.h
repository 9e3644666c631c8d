// Conversion of Windows-1250 texts to and from UTF-8 (for terminals and the window).
#pragma once

#include <string>

std::string cp1250_na_utf8(const std::string& text);
// Characters that Windows-1250 cannot hold become '?'.
std::string utf8_na_cp1250(const std::string& text);
// UTF-16 text (ending at its first zero unit) to Windows-1250; other characters become '?'.
std::string utf16_na_cp1250(const std::u16string& text);
// Lower case as Windows forms it for Windows-1250 names (ASCII and the Czech and other
// Central European capitals); other bytes are kept.
std::string mala_pismena(const std::string& text);

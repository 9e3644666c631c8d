// The register's own 8-bit character set and Windows-1250.
#pragma once

#include <cstdint>

extern const uint8_t tabKasa_W[256];  // register code -> Windows-1250
extern const uint8_t tabW_Kasa[256];  // Windows-1250 -> register code

inline uint8_t kasatowin(uint8_t znak) { return tabKasa_W[znak]; }
inline uint8_t wintokasa(uint8_t znak) { return tabW_Kasa[znak]; }

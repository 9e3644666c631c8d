// The register's printed logo from a monochrome BMP picture of 288 x 130 dots: header
// checks, the density rules of the register's printer and the text of Glogo.dat.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

constexpr int LOGO_SIRKA = 288;                          // dots
constexpr int LOGO_VYSKA = 130;                          // rows
constexpr size_t LOGO_RADEK = LOGO_SIRKA / 8;            // 36 bytes, no BMP row padding
constexpr size_t LOGO_HLAVICKA = 62;                     // file and information header, palette
constexpr size_t LOGO_DATA = LOGO_RADEK * LOGO_VYSKA;    // 4680 bytes of dots
// Black dots that make a row start a band check, the most a band of 8 rows may hold and
// the most the whole picture may hold.
constexpr int LOGO_PRAH_RADKU = 55 * LOGO_SIRKA / 100;                // 158
constexpr int LOGO_PRAH_PASU = 392 * LOGO_SIRKA / 100;                // 1128
constexpr int LOGO_PRAH_CELKU = 35 * LOGO_SIRKA * LOGO_VYSKA / 100;   // 13104

struct RozborLoga {
    bool je_bmp = false;        // starts with "BM" and the image size is at most 10000
    bool pochybny = false;      // another size, depth, compression or data offset
    int poruseni = 0;           // density rules broken (forward bands, total, backward bands)
    std::array<int, LOGO_VYSKA> cerne{};  // black dots of each stored row (bottom row first)
    std::string glogo;          // the text of Glogo.dat (130 lines of 72 digits, CR LF)
};

// The file's bytes, whole or cut short: the dots are the 4680 bytes right after the
// 62 header bytes whatever the header says; bytes missing at the end count as white.
// A 0 bit is a black dot, except when the palette holds a light colour first and a
// dark one second (then a 1 bit is black).
RozborLoga rozeber_bmp(const std::string& obsah);

// The big-endian value of the bytes (value * 256 + next byte).
double cislo(const unsigned char* bajty, int pocet);

#include "format/logo.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <initializer_list>

namespace {

// A little-endian field of four bytes, read through cislo from its last byte backwards.
uint32_t pole32(const unsigned char* h, size_t od) {
    const unsigned char obracene[4] = {h[od + 3], h[od + 2], h[od + 1], h[od]};
    return static_cast<uint32_t>(cislo(obracene, 4));
}

bool bajty_jsou(const unsigned char* h, size_t od, std::initializer_list<unsigned char> ocekavane) {
    for (unsigned char b : ocekavane)
        if (h[od++] != b) return false;
    return true;
}

// A palette entry (blue, green, red, reserved) that is light rather than dark.
bool svetla(const unsigned char* barva) { return barva[0] + barva[1] + barva[2] >= 384; }

// Sum of the counts of rows od..do_ (both included), rows outside the picture left out.
int soucet(const std::array<int, LOGO_VYSKA>& cerne, int od, int do_) {
    int s = 0;
    for (int r = od < 0 ? 0 : od; r <= do_ && r < LOGO_VYSKA; ++r) s += cerne[r];
    return s;
}

}  // namespace

double cislo(const unsigned char* bajty, int pocet) {
    double hodnota = 0;
    for (int i = 0; i < pocet; ++i) hodnota = hodnota * 256 + bajty[i];
    return hodnota;
}

RozborLoga rozeber_bmp(const std::string& obsah) {
    RozborLoga v;
    // Missing bytes read as 0xFF: white dots (and a header that fails its checks).
    unsigned char h[LOGO_HLAVICKA];
    std::memset(h, 0xFF, sizeof h);
    std::memcpy(h, obsah.data(), obsah.size() < LOGO_HLAVICKA ? obsah.size() : LOGO_HLAVICKA);
    if (h[0] != 'B' || h[1] != 'M') return v;
    uint32_t velikost = pole32(h, 34);
    if (velikost > 10000) return v;
    v.je_bmp = true;
    v.pochybny = pole32(h, 10) != LOGO_HLAVICKA || velikost != LOGO_DATA ||
                 !bajty_jsou(h, 18, {0x20, 0x01, 0, 0}) || !bajty_jsou(h, 22, {0x82, 0, 0, 0}) ||
                 !bajty_jsou(h, 26, {1, 0, 1, 0}) || !bajty_jsou(h, 30, {0, 0});

    // A 0 bit is black, unless the palette says the opposite: a light first and a dark
    // second colour (ImageMagick writes a mostly white picture so). Below, a 1 bit is white.
    const bool obracene = svetla(h + 54) && !svetla(h + 58);
    std::string data(LOGO_DATA, '\xFF');
    size_t pritomno = obsah.size() > LOGO_HLAVICKA ? std::min(obsah.size() - LOGO_HLAVICKA, LOGO_DATA) : 0;
    for (size_t i = 0; i < pritomno; ++i)
        data[i] = static_cast<char>(obracene ? ~obsah[LOGO_HLAVICKA + i] : obsah[LOGO_HLAVICKA + i]);
    for (int r = 0; r < LOGO_VYSKA; ++r) {
        int bile = 0;
        for (size_t k = 0; k < LOGO_RADEK; ++k)
            bile += std::popcount(static_cast<unsigned char>(data[r * LOGO_RADEK + k]));
        v.cerne[r] = LOGO_SIRKA - bile;
    }

    int celkem = 0;
    for (int r = 0; r < LOGO_VYSKA; ++r) {
        celkem += v.cerne[r];
        if (v.cerne[r] >= LOGO_PRAH_RADKU && soucet(v.cerne, r, r + 7) > LOGO_PRAH_PASU) ++v.poruseni;
    }
    if (celkem > LOGO_PRAH_CELKU) ++v.poruseni;
    for (int r = LOGO_VYSKA - 1; r >= 0; --r)
        if (v.cerne[r] >= LOGO_PRAH_RADKU && soucet(v.cerne, r - 7, r) > LOGO_PRAH_PASU) ++v.poruseni;

    // The top row first; a 1 bit is a black dot.
    static const char hex[] = "0123456789ABCDEF";
    v.glogo.reserve(LOGO_VYSKA * (LOGO_RADEK * 2 + 2));
    for (int r = LOGO_VYSKA - 1; r >= 0; --r) {
        for (size_t k = 0; k < LOGO_RADEK; ++k) {
            unsigned char b = static_cast<unsigned char>(~data[r * LOGO_RADEK + k]);
            v.glogo += hex[b >> 4];
            v.glogo += hex[b & 0x0F];
        }
        v.glogo += "\r\n";
    }
    return v;
}

#include "format/hex.h"

#include <cstring>
#include <string>

#include "core/chyby.h"
#include "format/sezeni_formatu.h"
#include "format/stav.h"

namespace {

constexpr int8_t hodnota_cislice(int c) {
    if (c >= '0' && c <= '9') return static_cast<int8_t>(c - '0');
    if (c >= 'A' && c <= 'F') return static_cast<int8_t>(c - 'A' + 10);
    if (c >= 'a' && c <= 'f') return static_cast<int8_t>(c - 'a' + 10);
    return -1;
}

constexpr int32_t MAX_RADEK = 200;

}  // namespace

const int8_t hex_hodnota[256] = {
#define H(i) hodnota_cislice(i)
#define H16(r) H(r), H(r + 1), H(r + 2), H(r + 3), H(r + 4), H(r + 5), H(r + 6), H(r + 7), \
    H(r + 8), H(r + 9), H(r + 10), H(r + 11), H(r + 12), H(r + 13), H(r + 14), H(r + 15)
    H16(0), H16(16), H16(32), H16(48), H16(64), H16(80), H16(96), H16(112),
    H16(128), H16(144), H16(160), H16(176), H16(192), H16(208), H16(224), H16(240),
#undef H16
#undef H
};

void preved_byte_na_ascii(uint8_t bajt, char* out) {
    out[0] = HEX_CISLICE[bajt >> 4];
    out[1] = HEX_CISLICE[bajt & 0x0F];
}

uint8_t preved_na_byte(char vyssi, char nizsi) {
    int h = hex_hodnota[static_cast<unsigned char>(vyssi)];
    if (h < 0) err(62, 2);
    int l = hex_hodnota[static_cast<unsigned char>(nizsi)];
    if (l < 0) err(62, 3);
    return static_cast<uint8_t>(h << 4 | l);
}

uint32_t preved_na_cislo(const char* text) {
    uint32_t cislo = 0;
    for (; *text; ++text) {
        int h = hex_hodnota[static_cast<unsigned char>(*text)];
        if (h < 0) err(25, 1);
        cislo = cislo << 4 | static_cast<uint32_t>(h);
    }
    return cislo;
}

void zapisCRLF(HSOUBOR f) {
    zapis_znak('\r', f);
    zapis_znak('\n', f);
}

void zapis_carku(HSOUBOR f) { zapis_znak(',', f); }

void zapis_uvozovku(HSOUBOR f) { zapis_znak('"', f); }

int32_t precti_radek(SezeniFormatu& s, HSOUBOR f) {
    std::memset(s.ss, 0, MAX_RADEK + 2);
    s.konecd = 0;
    int32_t n = 0;
    for (;;) {
        if (cti_znak_ze_souboru(s, f)) {
            if (n == 0) s.konecd = 1;
            return n;
        }
        if (n == MAX_RADEK) err(57, 2);
        s.ss[n++] = static_cast<char>(s.readchar);
        if (s.readchar == '\n') return n;
    }
}

void zapis_radek(SezeniFormatu& s, HSOUBOR f) {
    const void* nula = std::memchr(s.ss, 0, SS_KAPACITA);
    size_t delka = nula ? static_cast<size_t>(static_cast<const char*>(nula) - s.ss) : SS_KAPACITA;
    zapis_text(std::string(s.ss, delka), f);
}

void zapis_textovy_radek(HSOUBOR f, const char* text) {
    zapis_text(std::string(text) + "\r\n", f);
}

#include "ui/texty.h"

#include <algorithm>
#include <cstdio>

#include "core/prikazovy_radek.h"
#include "core/sezeni_jadra.h"  // TERM_RADKU, TERM_SLOUPCU

extern const unsigned char napoveda_kaslnk[];  // generated from ui/napoveda.txt
extern const unsigned long napoveda_delka;

std::string o_programu_nazev() {
    char text[80];
    std::snprintf(text, sizeof text, "Komunikace s pokladnou %s", TYP_POKLADNY);
    return text;
}

std::string o_programu_system() {
#ifdef _WIN32
    return "pro Microsoft Windows.";
#else
    return "pro Linux (Qt 6).";
#endif
}

std::string o_programu_verze() {
    char text[80];
    std::snprintf(text, sizeof text, "Verze %s %s", VERZE, " ");
    return text;
}

const std::string& text_napovedy() {
    static const std::string text(reinterpret_cast<const char*>(napoveda_kaslnk), napoveda_delka);
    return text;
}

OblastMrizky oblast_kresleni(int vlevo, int nahore, int vpravo, int dole, int sirka_znaku,
                             int vyska_radku, int posun_x, int posun_y) {
    if (sirka_znaku <= 0 || vyska_radku <= 0) return {0, -1, 0, -1};
    OblastMrizky o;
    o.prvni_radek = std::clamp((nahore + posun_y) / vyska_radku, 0, TERM_RADKU - 1);
    o.posledni_radek = std::min((dole + posun_y - 1) / vyska_radku, TERM_RADKU - 1);
    o.prvni_sloupec = std::clamp((vlevo + posun_x) / sirka_znaku, 0, TERM_SLOUPCU - 1);
    o.posledni_sloupec = std::min((vpravo + posun_x - 1) / sirka_znaku, TERM_SLOUPCU - 1);
    return o;
}

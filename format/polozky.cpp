#include "format/polozky.h"

#include <cstdint>

#include "core/chyby.h"
#include "format/formaty.h"
#include "format/sezeni_formatu.h"

namespace {

bool je_ukonceni(char c) { return c == '+' || c == ';'; }
bool je_cislice(char c) { return c >= '0' && c <= '9'; }

// Whether only 'C', or one P item and 'C', follows the position in the list.
bool zbyva_jen_konec(const char* formatstring, size_t pozice) {
    auto znak = [formatstring](size_t i) { return i < FORMATSTRING_DELKA ? formatstring[i] : 0; };
    if (znak(pozice) == 'C') return true;
    if (znak(pozice) != 'P') return false;
    while (znak(pozice) && !je_ukonceni(znak(pozice))) ++pozice;
    return znak(pozice) && znak(pozice + 1) == 'C';
}

}  // namespace

size_t rozeber_polozku(SezeniFormatu& s, size_t pozice, Polozka& p, int32_t podkod_pismeno,
                       int32_t podkod_sirka) {
    const char* formatstring = s.formatstring;
    auto f = [formatstring, pozice](size_t k) {
        return pozice + k < FORMATSTRING_DELKA ? formatstring[pozice + k] : 0;
    };
    p.pismeno = f(0);
    p.pozice = static_cast<uint16_t>(pozice);
    size_t dalsi;
    switch (f(0)) {
        case 'C':
            return 0;
        case 'B': {
            size_t i = 1;
            while (f(i) && !je_ukonceni(f(i))) ++i;
            if (!f(i)) err(55, podkod_sirka);
            p.sirka = 1;
            p.ukonceni = f(i);
            dalsi = pozice + i + 1;
            break;
        }
        case 'L': case 'N': case 'P': case 'S': case 'T':
            if (!je_cislice(f(1))) err(55, podkod_sirka);
            if (je_ukonceni(f(2))) {
                p.sirka = static_cast<uint8_t>(f(1) - '0');
                p.ukonceni = f(2);
                dalsi = pozice + 3;
            } else {
                if (!je_cislice(f(2)) || !je_ukonceni(f(3))) err(55, podkod_sirka);
                p.sirka = static_cast<uint8_t>((f(1) - '0') * 10 + (f(2) - '0'));
                p.ukonceni = f(3);
                dalsi = pozice + 4;
            }
            if (p.sirka == 0) err(55, podkod_sirka);
            break;
        default:
            err(54, podkod_pismeno);
    }
    p.posledni = zbyva_jen_konec(formatstring, dalsi);
    return dalsi;
}

const SeznamPolozek& seznam_polozek(SezeniFormatu& s, int32_t podkod_pismeno,
                                   int32_t podkod_sirka) {
    SeznamPolozek& seznam = s.seznam;
    if (s.seznam_verze == s.verze_formatu && s.seznam_podkod == podkod_pismeno) return seznam;
    seznam.pocet = 0;
    seznam.bajtu = 0;
    s.seznam_verze = UINT32_MAX;
    size_t pozice = 0;
    for (;;) {
        Polozka p;
        size_t dalsi = rozeber_polozku(s, pozice, p, podkod_pismeno, podkod_sirka);
        if (dalsi == 0) break;
        if (seznam.pocet == MAX_POLOZEK) err(55, podkod_sirka);
        seznam.p[seznam.pocet++] = p;
        seznam.bajtu += p.sirka;
        pozice = dalsi;
    }
    s.seznam_verze = s.verze_formatu;
    s.seznam_podkod = podkod_pismeno;
    return seznam;
}

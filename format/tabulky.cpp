#include "format/tabulky.h"

#include <string>

#include "core/chyby.h"
#include "format/formaty.h"
#include "format/hex.h"
#include "format/na_text.h"
#include "format/polozky.h"
#include "format/proudy.h"
#include "format/sezeni_formatu.h"
#include "format/stav.h"
#include "format/znaky.h"

namespace {


char znak_bloku(SezeniFormatu& s) {
    int c = cti(s, s.redf);
    if (c < 0 || c == '\r') err(31, 21);
    return static_cast<char>(c);
}

// The next digit of the table data; the data must not end before the format does.
char cislice(SezeniFormatu& s) {
    int c = cti(s, s.redf);
    if (c < 0) err(31, 22);
    return static_cast<char>(c);
}

// The separator before a field: none before the first field of the table, otherwise a
// comma for an item ended by '+' and CR LF for one ended by ';'.
void oddelovac(SezeniFormatu& s) {
    if (s.prvniS == 0) return;
    if (s.typ_ukonceni == '+') vystup_znak(s, ',');
    else vystup_text(s, "\r\n", 2);
}

void cislice_beze_zmeny(SezeniFormatu& s, int32_t n) {
    for (int32_t i = 0; i < 2 * n; ++i) vystup_znak(s, cislice(s));
}

}  // namespace

void prepis_bloky(SezeniFormatu& s) {
    zavri_soubor(s, s.work04f);
    s.work04f = nullptr;
    s.work04f = otevri_soubor(s, WORK04, 'w');
    std::string data;
    do {
        int c = cti(s, s.redf);
        if (c < 0) err(31, 20);
        if (c != STX) err(31, 1);
        if (znak_bloku(s) != s.cteny_blok) err(41, 2);
        posun_cteny_blok(s);
        for (int i = 0; i < 4; ++i) znak_bloku(s);  // offset, not used
        char pocet[5];
        for (int i = 0; i < 4; ++i) pocet[i] = znak_bloku(s);
        pocet[4] = 0;
        uint32_t bajtu = preved_na_cislo(pocet);
        znak_bloku(s);
        s.posledni_blok = znak_bloku(s) & 1;
        data.clear();
        for (uint32_t i = 0; i < 2 * bajtu; ++i) data += znak_bloku(s);
        zapis_text(data, s.work04f);
        while ((c = cti(s, s.redf)) >= 0 && c != '\r') {}
    } while (!s.posledni_blok);
    HSOUBOR f = s.work04f;
    s.work04f = nullptr;
    if (!zavri_soubor(s, f)) err(30, 4);
}

void zpracujfL(SezeniFormatu& s, int32_t n) {
    cislice_beze_zmeny(s, n);
    ++s.prvniS;
}

void zpracujfN(SezeniFormatu& s, int32_t n) {
    oddelovac(s);
    cislice_beze_zmeny(s, n);
    ++s.prvniS;
}

void zpracujfP(SezeniFormatu& s, int32_t n) {
    for (int32_t i = 0; i < 2 * n; ++i) cislice(s);
}

void zpracujfS(SezeniFormatu& s, int32_t n) {
    oddelovac(s);
    char cislo[200];
    for (int32_t i = 0; i < 2 * n; ++i) cislo[i] = cislice(s);
    vystup_znak(s, cislo[2 * n - 1] == 'D' ? '-' : '+');
    vystup_text(s, cislo, 2 * static_cast<size_t>(n) - 1);
    ++s.prvniS;
}

void zpracujfT(SezeniFormatu& s, int32_t n) {
    oddelovac(s);
    vystup_znak(s, '"');
    for (int32_t i = 0; i < n; ++i) {
        char hi = cislice(s);
        uint8_t bajt = preved_na_byte(hi, cislice(s));
        vystup_znak(s, static_cast<char>(s.konverzeW_C ? kasatowin(bajt) : bajt));
    }
    vystup_znak(s, '"');
    ++s.prvniS;
}

void zpracujfB(SezeniFormatu& s, int32_t pozice) {
    char hi = cislice(s);
    uint8_t bajt = preved_na_byte(hi, cislice(s));
    char znaky[8];
    int skupin = bitove_skupiny(s, pozice, bajt, znaky, 16, 17, 18);
    for (int i = 0; i < skupin; ++i) {
        ++s.prvniS;
        if (s.prvniS != 1) {
            if (s.typ_ukonceni == '+') vystup_znak(s, ',');
            else vystup_text(s, "\r\n", 2);
        }
        vystup_znak(s, znaky[i]);
    }
}

int konvertuj_table(SezeniFormatu& s) {
    najdi_format(s);
    const SeznamPolozek& seznam = seznam_polozek(s, 2, 33);
    otevri_datovy_soubor(s);
    prepis_bloky(s);
    zavri_cteny(s, s.redf);
    s.redf = otevri_soubor(s, WORK04, 'r');
    s.prvniS = 0;
    for (size_t i = 0; i < seznam.pocet; ++i) {
        const Polozka& p = seznam.p[i];
        s.typ_ukonceni = p.ukonceni;
        switch (p.pismeno) {
            case 'L': zpracujfL(s, p.sirka); break;
            case 'N': zpracujfN(s, p.sirka); break;
            case 'P': zpracujfP(s, p.sirka); break;
            case 'S': zpracujfS(s, p.sirka); break;
            case 'T': zpracujfT(s, p.sirka); break;
            case 'B': zpracujfB(s, p.pozice + 1); break;
        }
    }
    vystup_text(s, "\r\n", 2);
    dokonci_datovy_soubor(s);
    return 0;
}

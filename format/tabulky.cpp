#include "format/tabulky.h"

#include <string>

#include "core/chyby.h"
#include "core/globals.h"
#include "format/formaty.h"
#include "format/hex.h"
#include "format/na_text.h"
#include "format/polozky.h"
#include "format/proudy.h"
#include "format/stav.h"
#include "format/znaky.h"

namespace {


char znak_bloku() {
    int c = cti(redf);
    if (c < 0 || c == '\r') err(31, 21);
    return static_cast<char>(c);
}

// The next digit of the table data; the data must not end before the format does.
char cislice() {
    int c = cti(redf);
    if (c < 0) err(31, 22);
    return static_cast<char>(c);
}

// The separator before a field: none before the first field of the table, otherwise a
// comma for an item ended by '+' and CR LF for one ended by ';'.
void oddelovac() {
    if (prvniS == 0) return;
    if (typ_ukonceni == '+') vystup_znak(',');
    else vystup_text("\r\n", 2);
}

void cislice_beze_zmeny(int32_t n) {
    for (int32_t i = 0; i < 2 * n; ++i) vystup_znak(cislice());
}

}  // namespace

void prepis_bloky() {
    zavri_soubor(work04f);
    work04f = nullptr;
    work04f = otevri_soubor(WORK04, 'w');
    std::string data;
    do {
        int c = cti(redf);
        if (c < 0) err(31, 20);
        if (c != STX) err(31, 1);
        if (znak_bloku() != cteny_blok) err(41, 2);
        posun_cteny_blok();
        for (int i = 0; i < 4; ++i) znak_bloku();  // offset, not used
        char pocet[5];
        for (int i = 0; i < 4; ++i) pocet[i] = znak_bloku();
        pocet[4] = 0;
        uint32_t bajtu = preved_na_cislo(pocet);
        znak_bloku();
        posledni_blok = znak_bloku() & 1;
        data.clear();
        for (uint32_t i = 0; i < 2 * bajtu; ++i) data += znak_bloku();
        zapis_text(data, work04f);
        while ((c = cti(redf)) >= 0 && c != '\r') {}
    } while (!posledni_blok);
    HSOUBOR f = work04f;
    work04f = nullptr;
    if (!zavri_soubor(f)) err(30, 4);
}

void zpracujfL(int32_t n) {
    cislice_beze_zmeny(n);
    ++prvniS;
}

void zpracujfN(int32_t n) {
    oddelovac();
    cislice_beze_zmeny(n);
    ++prvniS;
}

void zpracujfP(int32_t n) {
    for (int32_t i = 0; i < 2 * n; ++i) cislice();
}

void zpracujfS(int32_t n) {
    oddelovac();
    char cislo[200];
    for (int32_t i = 0; i < 2 * n; ++i) cislo[i] = cislice();
    vystup_znak(cislo[2 * n - 1] == 'D' ? '-' : '+');
    vystup_text(cislo, 2 * static_cast<size_t>(n) - 1);
    ++prvniS;
}

void zpracujfT(int32_t n) {
    oddelovac();
    vystup_znak('"');
    for (int32_t i = 0; i < n; ++i) {
        char hi = cislice();
        uint8_t bajt = preved_na_byte(hi, cislice());
        vystup_znak(static_cast<char>(konverzeW_C ? kasatowin(bajt) : bajt));
    }
    vystup_znak('"');
    ++prvniS;
}

void zpracujfB(int32_t pozice) {
    char hi = cislice();
    uint8_t bajt = preved_na_byte(hi, cislice());
    char znaky[8];
    int skupin = bitove_skupiny(pozice, bajt, znaky, 16, 17, 18);
    for (int i = 0; i < skupin; ++i) {
        ++prvniS;
        if (prvniS != 1) {
            if (typ_ukonceni == '+') vystup_znak(',');
            else vystup_text("\r\n", 2);
        }
        vystup_znak(znaky[i]);
    }
}

int konvertuj_table() {
    najdi_format();
    const SeznamPolozek& s = seznam_polozek(2, 33);
    otevri_datovy_soubor();
    prepis_bloky();
    zavri_cteny(redf);
    redf = otevri_soubor(WORK04, 'r');
    prvniS = 0;
    for (size_t i = 0; i < s.pocet; ++i) {
        const Polozka& p = s.p[i];
        typ_ukonceni = p.ukonceni;
        switch (p.pismeno) {
            case 'L': zpracujfL(p.sirka); break;
            case 'N': zpracujfN(p.sirka); break;
            case 'P': zpracujfP(p.sirka); break;
            case 'S': zpracujfS(p.sirka); break;
            case 'T': zpracujfT(p.sirka); break;
            case 'B': zpracujfB(p.pozice + 1); break;
        }
    }
    vystup_text("\r\n", 2);
    dokonci_datovy_soubor();
    return 0;
}

#include "format/na_text.h"

#include <cstring>
#include <string>

#include "core/chyby.h"
#include "core/globals.h"
#include "format/fds.h"
#include "format/formaty.h"
#include "format/hex.h"
#include "format/polozky.h"
#include "format/proudy.h"
#include "format/stav.h"
#include "format/znaky.h"

namespace {

// Reads one character of the block; the end of the file or a CR inside the block's fixed
// part or record text means the block is shorter than it says.
char znak_bloku(HSOUBOR f) {
    int c = cti(f);
    if (c < 0 || c == '\r') err(31, 21);
    return static_cast<char>(c);
}

// The format of the data in hand, checked against the record length of its FDS header.
void format_zaznamu() {
    najdi_format();
    if (static_cast<int32_t>(seznam_polozek(1, 33).bajtu) != delka_zaznamu) err(56, 2);
}

}  // namespace

void preved_zaznam_na_text() {
    const SeznamPolozek& s = seznam_polozek(1, 33);
    for (size_t i = 0; i < s.pocet; ++i) {
        const Polozka& p = s.p[i];
        switch (p.pismeno) {
            case 'L': zpracujL(p.sirka); break;
            case 'N': zpracujN(p.sirka); break;
            case 'P': zpracujP(p.sirka); break;
            case 'S': zpracujS(p.sirka); break;
            case 'T': zpracujT(p.sirka); break;
            case 'B': zpracujB(p.pozice + 1); break;
        }
    }
    vystup_text("\r\n", 2);
}

int bitove_skupiny(int32_t pozice, uint8_t bajt, char* znaky, int32_t p_zavorka, int32_t p_prvni,
                   int32_t p_znak) {
    auto f = [](size_t i) { return i < FORMATSTRING_DELKA ? formatstring[i] : 0; };
    size_t i = static_cast<size_t>(pozice);
    if (f(i) != '(') err(54, p_zavorka);
    ++i;
    if (f(i) < '0' || f(i) > '7') err(54, p_prvni);
    int skupin = 0;
    for (;;) {
        unsigned maska = 0, posun = 0;
        bool cislice = false;
        while (f(i) >= '0' && f(i) <= '7') {
            posun = static_cast<unsigned>(f(i) - '0');
            maska |= 1u << posun;
            cislice = true;
            ++i;
        }
        if (!cislice || (f(i) != ',' && f(i) != ')') || skupin == 8) err(54, p_znak);
        znaky[skupin++] = static_cast<char>('0' + ((bajt & maska) >> posun));
        if (f(i) == ')') return skupin;
        ++i;
    }
}

void zpracujL(int32_t n) {
    vystup_text(blok + iz, 2 * static_cast<size_t>(n));
    iz += 2 * static_cast<size_t>(n);
}

void zpracujN(int32_t n) {
    vystup_znak(',');
    zpracujL(n);
}

void zpracujP(int32_t n) { iz += 2 * static_cast<size_t>(n); }

void zpracujS(int32_t n) {
    size_t delka = 2 * static_cast<size_t>(n);
    vystup_znak(',');
    vystup_znak(blok[iz + delka - 1] == 'D' ? '-' : '+');
    vystup_text(blok + iz, delka - 1);
    iz += delka;
}

void zpracujT(int32_t n) {
    char text[104];
    size_t k = 0;
    text[k++] = ',';
    text[k++] = '"';
    for (int32_t i = 0; i < n; ++i, iz += 2) {
        uint8_t bajt = preved_na_byte(blok[iz], blok[iz + 1]);
        text[k++] = static_cast<char>(konverzeW_C ? kasatowin(bajt) : bajt);
    }
    text[k++] = '"';
    vystup_text(text, k);
}

void zpracujB(int32_t pozice) {
    uint8_t bajt = preved_na_byte(blok[iz], blok[iz + 1]);
    iz += 2;
    char znaky[8];
    int skupin = bitove_skupiny(pozice, bajt, znaky, 3, 4, 5);
    for (int i = 0; i < skupin; ++i) {
        vystup_znak(',');
        vystup_znak(znaky[i]);
    }
}

void nacti_blok() {
    int c = cti(redf);
    if (c < 0) err(31, 20);  // the work file ends before the last block
    if (c != STX) err(31, 2);
    if (znak_bloku(redf) != cteny_blok) err(41, 1);
    posun_cteny_blok();
    char pocet[7];
    for (int i = 0; i < 6; ++i) pocet[i] = znak_bloku(redf);
    pocet[6] = 0;
    pocet_zaznamu_v_bloku = preved_na_cislo(pocet);
    znak_bloku(redf);
    posledni_blok = znak_bloku(redf) & 1;
    uint64_t delka = static_cast<uint64_t>(pocet_zaznamu_v_bloku) *
                     static_cast<uint64_t>(delka_zaznamu) * 2;
    if (delka > BLOK_DAT) err(66, 2);  // more record text than a block can hold
    for (size_t i = 0; i < delka; ++i) blok[i] = znak_bloku(redf);
    while ((c = cti(redf)) >= 0 && c != '\r') {}
    zaznam_v_bloku = 0;
}

void uprav_jmeno_datafile() {
    std::string& jmeno = tt.datovy_soubor;
    size_t tecka = jmeno.find('.');
    if ((tecka != std::string::npos && tecka > 8) || (tecka == std::string::npos && jmeno.size() > 9))
        err(50, 6);
    if (tecka == std::string::npos) return;
    jmeno.resize(tecka + 1);
    jmeno += '0';
    jmeno += fdsfile.poradi;
}

int konvertuj_file() {
    format_zaznamu();
    uint32_t zaznamu = 0;
    int c = cti(redf);
    if (c < 0) {  // the download held no records
        otevri_datovy_soubor();
        dokonci_datovy_soubor();
        return 0;
    }
    vrat_znak(c, redf);
    while ((c = cti(redf)) >= 0) {
        vrat_znak(c, redf);
        // The sequence field numbers the files of a download. Advanced by one it reads
        // "02" for the first file ("01"); any other value means that the next block is the
        // header block of a further file.
        ++fdsfile.poradi[1];
        if (fdsfile.poradi[1] != '2') {
            konv_fds(redf);
            napln_prijate_fdsfile();
            if (filetyp != 1) err(31, 23);
            uprav_jmeno_datafile();
            format_zaznamu();
        }
        otevri_datovy_soubor();
        do {
            nacti_blok();
            iz = 0;
            for (; zaznam_v_bloku < pocet_zaznamu_v_bloku; ++zaznam_v_bloku) {
                if (++zaznamu > MAX_ZAZNAMU) err(66, 1);
                preved_zaznam_na_text();
            }
        } while (!posledni_blok);
        dokonci_datovy_soubor();
    }
    return 0;
}

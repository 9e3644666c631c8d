#include "format/na_text.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "core/chyby.h"
#include "format/fds.h"
#include "format/formaty.h"
#include "format/hex.h"
#include "format/polozky.h"
#include "format/proudy.h"
#include "format/sezeni_formatu.h"
#include "format/stav.h"
#include "format/znaky.h"

namespace {

// Reads one character of the block; the end of the file or a CR inside the block's fixed
// part or record text means the block is shorter than it says.
char znak_bloku(SezeniFormatu& s, HSOUBOR f) {
    int c = cti(s, f);
    if (c < 0 || c == '\r') err(31, 21);
    return static_cast<char>(c);
}

// The format of the data in hand, checked against the record length of its FDS header.
void format_zaznamu(SezeniFormatu& s) {
    najdi_format(s);
    if (static_cast<int32_t>(seznam_polozek(s, 1, 33).bajtu) != s.delka_zaznamu) err(56, 2);
}

}  // namespace

void preved_zaznam_na_text(SezeniFormatu& s) {
    const SeznamPolozek& seznam = seznam_polozek(s, 1, 33);
    for (size_t i = 0; i < seznam.pocet; ++i) {
        const Polozka& p = seznam.p[i];
        switch (p.pismeno) {
            case 'L': zpracujL(s, p.sirka); break;
            case 'N': zpracujN(s, p.sirka); break;
            case 'P': zpracujP(s, p.sirka); break;
            case 'S': zpracujS(s, p.sirka); break;
            case 'T': zpracujT(s, p.sirka); break;
            case 'B': zpracujB(s, p.pozice + 1); break;
        }
    }
    vystup_text(s, "\r\n", 2);
}

int bitove_skupiny(SezeniFormatu& s, int32_t pozice, uint8_t bajt, char* znaky, int32_t p_zavorka,
                   int32_t p_prvni, int32_t p_znak) {
    auto f = [&s](size_t i) { return i < FORMATSTRING_DELKA ? s.formatstring[i] : 0; };
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

void zpracujL(SezeniFormatu& s, int32_t n) {
    vystup_text(s, s.blok + s.iz, 2 * static_cast<size_t>(n));
    s.iz += 2 * static_cast<size_t>(n);
}

void zpracujN(SezeniFormatu& s, int32_t n) {
    vystup_znak(s, ',');
    zpracujL(s, n);
}

void zpracujP(SezeniFormatu& s, int32_t n) { s.iz += 2 * static_cast<size_t>(n); }

void zpracujS(SezeniFormatu& s, int32_t n) {
    size_t delka = 2 * static_cast<size_t>(n);
    vystup_znak(s, ',');
    vystup_znak(s, s.blok[s.iz + delka - 1] == 'D' ? '-' : '+');
    vystup_text(s, s.blok + s.iz, delka - 1);
    s.iz += delka;
}

void zpracujT(SezeniFormatu& s, int32_t n) {
    char text[104];
    size_t k = 0;
    text[k++] = ',';
    text[k++] = '"';
    for (int32_t i = 0; i < n; ++i, s.iz += 2) {
        uint8_t bajt = preved_na_byte(s.blok[s.iz], s.blok[s.iz + 1]);
        text[k++] = static_cast<char>(s.konverzeW_C ? kasatowin(bajt) : bajt);
    }
    text[k++] = '"';
    vystup_text(s, text, k);
}

void zpracujB(SezeniFormatu& s, int32_t pozice) {
    uint8_t bajt = preved_na_byte(s.blok[s.iz], s.blok[s.iz + 1]);
    s.iz += 2;
    char znaky[8];
    int skupin = bitove_skupiny(s, pozice, bajt, znaky, 3, 4, 5);
    for (int i = 0; i < skupin; ++i) {
        vystup_znak(s, ',');
        vystup_znak(s, znaky[i]);
    }
}

void nacti_blok(SezeniFormatu& s) {
    int c = cti(s, s.redf);
    if (c < 0) err(31, 20);  // the work file ends before the last block
    if (c != STX) err(31, 2);
    if (znak_bloku(s, s.redf) != s.cteny_blok) err(41, 1);
    posun_cteny_blok(s);
    char pocet[7];
    for (int i = 0; i < 6; ++i) pocet[i] = znak_bloku(s, s.redf);
    pocet[6] = 0;
    s.pocet_zaznamu_v_bloku = preved_na_cislo(pocet);
    znak_bloku(s, s.redf);
    s.posledni_blok = znak_bloku(s, s.redf) & 1;
    uint64_t delka = static_cast<uint64_t>(s.pocet_zaznamu_v_bloku) *
                     static_cast<uint64_t>(s.delka_zaznamu) * 2;
    if (delka > BLOK_DAT) err(66, 2);  // more record text than a block can hold
    // The record text in whole runs out of the read-ahead buffer: a CR inside it is the
    // same error as znak_bloku's.
    for (size_t i = 0; i < delka;) {
        Cteni& zasoba = s.cteni;
        if (zasoba.f != s.redf || zasoba.pozice >= zasoba.delka) {
            s.blok[i++] = znak_bloku(s, s.redf);
            continue;
        }
        size_t n = std::min(static_cast<size_t>(delka - i), zasoba.delka - zasoba.pozice);
        const char* z = zasoba.data + zasoba.pozice;
        if (std::memchr(z, '\r', n)) err(31, 21);
        std::memcpy(s.blok + i, z, n);
        zasoba.pozice += n;
        i += n;
    }
    while ((c = cti(s, s.redf)) >= 0 && c != '\r') {}
    s.zaznam_v_bloku = 0;
}

void uprav_jmeno_datafile(SezeniFormatu& s) {
    std::string& jmeno = s.tt.datovy_soubor;
    size_t tecka = jmeno.find('.');
    if ((tecka != std::string::npos && tecka > 8) || (tecka == std::string::npos && jmeno.size() > 9))
        err(50, 6);
    if (tecka == std::string::npos) return;
    jmeno.resize(tecka + 1);
    jmeno += '0';
    jmeno += s.fdsfile.poradi;
}

int konvertuj_file(SezeniFormatu& s) {
    format_zaznamu(s);
    uint32_t zaznamu = 0;
    int c = cti(s, s.redf);
    if (c < 0) {  // the download held no records
        otevri_datovy_soubor(s);
        dokonci_datovy_soubor(s);
        return 0;
    }
    vrat_znak(s, c, s.redf);
    while ((c = cti(s, s.redf)) >= 0) {
        vrat_znak(s, c, s.redf);
        // The sequence field numbers the files of a download. Advanced by one it reads
        // "02" for the first file ("01"); any other value means that the next block is the
        // header block of a further file.
        ++s.fdsfile.poradi[1];
        if (s.fdsfile.poradi[1] != '2') {
            konv_fds(s, s.redf);
            napln_prijate_fdsfile(s);
            if (s.filetyp != 1) err(31, 23);
            uprav_jmeno_datafile(s);
            format_zaznamu(s);
        }
        otevri_datovy_soubor(s);
        do {
            nacti_blok(s);
            s.iz = 0;
            for (; s.zaznam_v_bloku < s.pocet_zaznamu_v_bloku; ++s.zaznam_v_bloku) {
                if (++zaznamu > MAX_ZAZNAMU) err(66, 1);
                preved_zaznam_na_text(s);
            }
        } while (!s.posledni_blok);
        dokonci_datovy_soubor(s);
    }
    return 0;
}

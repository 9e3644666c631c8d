#include "format/z_textu.h"

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


// ---- register files: the line in pp ----

unsigned char znak_pp(const SezeniFormatu& s) {
    return s.ppindex < s.pp_delka ? static_cast<unsigned char>(s.pp[s.ppindex]) : 0;
}

void do_ss(SezeniFormatu& s, char znak) {
    if (s.ssindex >= SS_KAPACITA - 1) err(66, 3);
    s.ss[s.ssindex++] = znak;
}

void bajt_do_ss(SezeniFormatu& s, uint8_t bajt) {
    do_ss(s, HEX_CISLICE[bajt >> 4]);
    do_ss(s, HEX_CISLICE[bajt & 0x0F]);
}

// Copies `pocet` hexadecimal digits of the line to the record, in upper case. Anything
// else would go to the register as garbage: err(59, podkod).
// The indices are kept in locals (the stores into ss could otherwise alias them) and
// written back before an error: the digit is checked first, then the room in ss.
void cislice_z_pp(SezeniFormatu& s, size_t pocet, int32_t podkod) {
    size_t p = s.ppindex, k = s.ssindex;
    const size_t delka = s.pp_delka;
    for (size_t i = 0; i < pocet; ++i, ++p) {
        int h = hex_hodnota[p < delka ? static_cast<unsigned char>(s.pp[p]) : 0];
        if (h < 0 || k >= SS_KAPACITA - 1) {
            s.ppindex = p, s.ssindex = k;
            if (h < 0) err(59, podkod);
            err(66, 3);
        }
        s.ss[k++] = HEX_CISLICE[h];
    }
    s.ppindex = p, s.ssindex = k;
}

// After a field: a comma, unless the field is the last of the record.
void za_polem(SezeniFormatu& s, int32_t kod, int32_t podkod) {
    if (s.nexttyp != 'C' && znak_pp(s) != ',') err(kod, podkod);
    ++s.ppindex;
}

// ---- register tables: the data file dataf ----

int znak_d(SezeniFormatu& s) { return cti(s, s.dataf); }

unsigned char znak_pole_d(SezeniFormatu& s) {
    int c = znak_d(s);
    if (c < 0) err(58, 2);  // the data file ends inside a field
    return static_cast<unsigned char>(c);
}

void do_bloku(SezeniFormatu& s, char znak) {
    if (s.b >= BLOK_KAPACITA - 1) err(66, 4);
    s.blok[s.b++] = znak;
}

void cislice_z_dat(SezeniFormatu& s, size_t pocet, int32_t podkod) {
    for (size_t i = 0; i < pocet; ++i) {
        int h = hex_hodnota[znak_pole_d(s)];
        if (h < 0) err(59, podkod);
        do_bloku(s, HEX_CISLICE[h]);
    }
}

// After a table field: a comma or CR LF. The last field of the table may be followed by
// anything, the end of the file included.
void za_polem_d(SezeniFormatu& s, int32_t kod, int32_t p_jiny, int32_t p_cr) {
    int c = znak_d(s);
    if (s.nexttyp == 'C' || c == ',') return;
    if (c == '\r') {
        if (znak_d(s) == '\n') return;
        err(kod, p_cr);
    }
    err(kod, p_jiny);
}

// ---- B items ----

struct Skupina {
    unsigned maska, posun;
};

// The bit groups of the B item at '(' (formatstring[pozice]). A group is a run of bit
// numbers from the highest down, each one less than the one before.
int skupiny_b(const SezeniFormatu& s, int32_t pozice, Skupina* sk, int32_t p_zavorka,
              int32_t p_prvni, int32_t p_nula, int32_t p_jiny) {
    auto f = [&s](size_t i) { return i < FORMATSTRING_DELKA ? s.formatstring[i] : 0; };
    auto bit = [](char c) { return c >= '0' && c <= '7'; };
    size_t i = static_cast<size_t>(pozice);
    if (f(i) != '(') err(54, p_zavorka);
    ++i;
    if (!bit(f(i))) err(54, p_prvni);
    int n = 0;
    for (;;) {
        if (n == 8) err(54, p_jiny);
        unsigned posun = static_cast<unsigned>(f(i) - '0'), maska = 1;
        bool od_nuly = posun == 0;
        for (++i; bit(f(i)); ++i) {
            if (posun == 0 || static_cast<unsigned>(f(i) - '0') != posun - 1) err(54, p_jiny);
            --posun;
            maska = maska << 1 | 1;
        }
        sk[n++] = {maska, posun};
        if (f(i) == ')') return n;
        if (f(i) != ',') err(54, p_jiny);
        if (od_nuly) err(54, p_nula);  // a group from bit 0 must be the last
        ++i;
        if (!bit(f(i))) err(54, p_jiny);
    }
}

// The bits of one group taken from its character: the low bits the mask selects, so '0'
// and '1' give the bit values and '0'..'9' those of wider groups, whatever the character.
unsigned hodnota_skupiny(unsigned char znak, const Skupina& sk) {
    return (znak & sk.maska) << sk.posun;
}

}  // namespace

void zpracujLd(SezeniFormatu& s, int32_t n) {
    cislice_z_pp(s, 2 * static_cast<size_t>(n), 15);
    za_polem(s, 59, 1);
}

void zpracujNd(SezeniFormatu& s, int32_t n) {
    cislice_z_pp(s, 2 * static_cast<size_t>(n), 16);
    za_polem(s, 59, 2);
}

void zpracujPd(SezeniFormatu& s, int32_t n) {
    for (int32_t i = 0; i < 2 * n; ++i) do_ss(s, '0');
}

void zpracujSd(SezeniFormatu& s, int32_t n) {
    unsigned char znamenko = znak_pp(s);
    ++s.ppindex;
    cislice_z_pp(s, 2 * static_cast<size_t>(n) - 1, 17);
    do_ss(s, znamenko == '+' ? '0' : 'D');  // every sign but '+' is negative
    za_polem(s, 59, 3);
}

void zpracujTd(SezeniFormatu& s, int32_t n) {
    if (znak_pp(s) != '"') err(59, 4);
    ++s.ppindex;
    for (int32_t i = 0; i < n; ++i, ++s.ppindex) {
        if (s.ppindex >= s.pp_delka) err(59, 5);
        uint8_t znak = static_cast<uint8_t>(s.pp[s.ppindex]);
        bajt_do_ss(s, s.konverzeW_C ? wintokasa(znak) : znak);
    }
    if (znak_pp(s) != '"') err(59, 5);
    ++s.ppindex;
    za_polem(s, 59, 6);
}

void zpracujBd(SezeniFormatu& s, int32_t pozice) {
    Skupina sk[8];
    int n = skupiny_b(s, pozice, sk, 6, 7, 8, 9);
    unsigned bajt = 0;
    for (int i = 0; i < n; ++i) {
        bajt |= hodnota_skupiny(znak_pp(s), sk[i]);
        ++s.ppindex;
        if (i + 1 < n || s.nexttyp != 'C') {
            if (znak_pp(s) != ',') err(54, 10);
        }
        ++s.ppindex;
    }
    bajt_do_ss(s, static_cast<uint8_t>(bajt));
}

void zpracujfLd(SezeniFormatu& s, int32_t n) {
    cislice_z_dat(s, 2 * static_cast<size_t>(n), 19);
    za_polem_d(s, 59, 7, 7);
}

void zpracujfNd(SezeniFormatu& s, int32_t n) {
    cislice_z_dat(s, 2 * static_cast<size_t>(n), 20);
    za_polem_d(s, 59, 9, 8);
}

void zpracujfPd(SezeniFormatu& s, int32_t n) {
    for (int32_t i = 0; i < 2 * n; ++i) do_bloku(s, '0');
}

void zpracujfSd(SezeniFormatu& s, int32_t n) {
    unsigned char znamenko = znak_pole_d(s);
    cislice_z_dat(s, 2 * static_cast<size_t>(n) - 1, 21);
    do_bloku(s, znamenko == '+' ? '0' : 'D');
    za_polem_d(s, 59, 10, 10);
}

void zpracujfTd(SezeniFormatu& s, int32_t n) {
    if (znak_pole_d(s) != '"') err(59, 11);
    for (int32_t i = 0; i < n; ++i) {
        uint8_t znak = znak_pole_d(s);
        uint8_t bajt = s.konverzeW_C ? wintokasa(znak) : znak;
        do_bloku(s, HEX_CISLICE[bajt >> 4]);
        do_bloku(s, HEX_CISLICE[bajt & 0x0F]);
    }
    if (znak_pole_d(s) != '"') err(59, 12);
    za_polem_d(s, 59, 13, 14);
}

void zpracujfBd(SezeniFormatu& s, int32_t pozice) {
    Skupina sk[8];
    int n = skupiny_b(s, pozice, sk, 11, 12, 13, 14);
    unsigned bajt = 0;
    char puvodni = s.nexttyp;
    for (int i = 0; i < n; ++i) {
        bajt |= hodnota_skupiny(znak_pole_d(s), sk[i]);
        s.nexttyp = i + 1 < n ? 0 : puvodni;  // only the last group can end the table
        za_polem_d(s, 54, 15, 15);
    }
    s.nexttyp = puvodni;
    do_bloku(s, HEX_CISLICE[(bajt >> 4) & 0x0F]);
    do_bloku(s, HEX_CISLICE[bajt & 0x0F]);
}

int nacti_radek_dat(SezeniFormatu& s, HSOUBOR f) {
    int c = cti(s, f);
    if (c < 0) return 0;
    s.pp_delka = 0;
    while (c != '\n') {
        if (s.pp_delka == PP_MAX) err(57, 1);
        s.pp[s.pp_delka++] = static_cast<char>(c);
        if ((c = cti(s, f)) < 0) err(58, 1);
    }
    s.pp[s.pp_delka] = 0;
    s.ppindex = 0;
    return 1;
}

size_t preved_radek_na_zaznam(SezeniFormatu& s) {
    const SeznamPolozek& seznam = seznam_polozek(s, 19, 33);
    if (seznam.bajtu > MAX_DELKA_ZAZNAMU) err(66, 3);
    if (static_cast<int32_t>(seznam.bajtu) != s.delka_zaznamu) err(56, 2);
    s.ppindex = 0;
    s.ssindex = 0;
    for (size_t i = 0; i < seznam.pocet; ++i) {
        const Polozka& p = seznam.p[i];
        s.nexttyp = p.posledni ? 'C' : seznam.p[i + 1].pismeno;
        switch (p.pismeno) {
            case 'L': zpracujLd(s, p.sirka); break;
            case 'N': zpracujNd(s, p.sirka); break;
            case 'P': zpracujPd(s, p.sirka); break;
            case 'S': zpracujSd(s, p.sirka); break;
            case 'T': zpracujTd(s, p.sirka); break;
            case 'B': zpracujBd(s, p.pozice + 1); break;
        }
    }
    s.ss[s.ssindex] = 0;
    return s.ssindex;
}

int preved_polozku_tabulky(SezeniFormatu& s, size_t& pozice) {
    Polozka p;
    size_t dalsi = rozeber_polozku(s, pozice, p, 20, 32);
    if (dalsi == 0) return 1;
    s.typ_ukonceni = p.ukonceni;
    s.nexttyp = p.posledni ? 'C' : s.formatstring[dalsi];
    switch (p.pismeno) {
        case 'L': zpracujfLd(s, p.sirka); break;
        case 'N': zpracujfNd(s, p.sirka); break;
        case 'P': zpracujfPd(s, p.sirka); break;
        case 'S': zpracujfSd(s, p.sirka); break;
        case 'T': zpracujfTd(s, p.sirka); break;
        case 'B': zpracujfBd(s, p.pozice + 1); break;
    }
    pozice = dalsi;
    return 0;
}

#include "link/zvlastni.h"

#include "core/chyby.h"
#include "core/soubory.h"
#include "format/fds.h"
#include "format/hex.h"
#include "format/proudy.h"
#include "link/cteni.h"
#include "link/odesilani.h"
#include "link/protokol.h"
#include "link/serial.h"

namespace {

// The next byte of the work file, or -1 at its end.
int dalsi(Sezeni& s, HSOUBOR f) { return cti_znak_ze_souboru(s, f) ? -1 : s.readchar; }

bool je_cislice(int c) { return c >= '0' && c <= '9'; }

// One header block after its STX: sequence digit, "/HDR1/", the fields, checksum, CR.
void preved_blok_fds(Sezeni& s, HSOUBOR f, std::string& vystup) {
    int c = dalsi(s, f);
    if (!je_cislice(c)) err(46, 2);
    c = dalsi(s, f);
    if (c < 0) err(46, 3);
    if (c != '/') err(46, 4);
    std::string hlavicka = "/";
    for (;;) {
        c = dalsi(s, f);
        if (c < 0) err(46, hlavicka.size() == 1 ? 5 : 6);
        hlavicka += static_cast<char>(c);
        if (c == '/') break;
    }
    if (hlavicka.size() != 6) err(63, 1);
    vystup += hlavicka;
    for (int pole = 0; pole < POLI_FDS; ++pole) {
        if (pole > 0) vystup += ',';
        for (int k = 0; k < SIRKY_POLI_FDS[pole]; ++k) {
            c = dalsi(s, f);
            // The block ends inside the fields: at its end, or at a CR.
            if (c < 0 || c == '\r') err(63, pole + 2 < 19 ? pole + 2 : 19);
            vystup += static_cast<char>(c);
        }
    }
    if (dalsi(s, f) < 0) err(63, 20);
    if (dalsi(s, f) < 0) err(63, 21);
    do {
        c = dalsi(s, f);
        if (c < 0) err(63, 22);
    } while (c != '\r');
    vystup += "\r\n";
}

// Copies `pocet` hexadecimal characters of the work file; a missing or other one is
// err(45, podkod).
void kopiruj_hex(Sezeni& s, HSOUBOR f, int pocet, int32_t podkod, std::string& vystup) {
    for (int i = 0; i < pocet; ++i) {
        int c = dalsi(s, f);
        if (c < 0 || !je_hex(static_cast<unsigned char>(c))) err(45, podkod);
        vystup += static_cast<char>(c);
    }
}

// The receive step, then the conversion of work01.tmp into the data file.
void prijmi_a_preved(Sezeni& s, std::string (*prevod)(Sezeni&, HSOUBOR)) {
    cti_data_do_souboru(s);
    HSOUBOR f = otevri_soubor(s, WORK01, 'r');
    std::string text = prevod(s, f);
    zavri_soubor(s, f);
    zapis_soubor_naraz(s, s.tt.datovy_soubor, text);
    uklid_work01(s);
}

}  // namespace

std::string preved_seznam_fds(Sezeni& s, HSOUBOR f) {
    std::string vystup;
    for (;;) {
        int c = dalsi(s, f);
        if (c < 0) return vystup;
        if (c != STX) err(46, 1);
        preved_blok_fds(s, f, vystup);
    }
}

std::string preved_stav(Sezeni& s, HSOUBOR f) {
    std::string vystup;
    int c = dalsi(s, f);
    if (c < 0) err(45, 1);
    if (c != STX) err(45, 2);
    c = dalsi(s, f);
    if (c < 0) err(45, 3);
    if (c != '0') err(45, 4);
    kopiruj_hex(s, f, 4, 5, vystup);
    for (int i = 0; i < 18; ++i) {
        vystup += ',';
        kopiruj_hex(s, f, 1, 6, vystup);
        kopiruj_hex(s, f, 1, 7, vystup);
    }
    return vystup;
}

void fdsupload(Sezeni& s) { prijmi_a_preved(s, preved_seznam_fds); }

void statusinq(Sezeni& s, int32_t) { prijmi_a_preved(s, preved_stav); }

void ramdown(Sezeni& s) {
    if (!kopiruj_soubor(pridej_path(s, s.tt.datovy_soubor), pridej_path(s, WORK02))) err(60, 1);
    posli_data2(s);
}

void ramup(Sezeni& s) {
    cti_data_do_souboru(s);
    if (!kopiruj_soubor(pridej_path(s, WORK01), pridej_path(s, s.tt.datovy_soubor))) err(60, 2);
    uklid_work01(s);
}

void delej_special(Sezeni& s) {
    switch (s.kod_specialni) {
        case '0': fdsupload(s); break;
        case '9': statusinq(s, 1); break;
        case '7':
            s.JenomZavesLinku = 1;
            if (!s.nokomun) JenomZaves(s);
            break;
        default: err(51, 14);
    }
}

int stav_po_odeslani(Sezeni& s) {
    statusinq(s, 1);
    HSOUBOR f = otevri_soubor(s, "sts.dat", 'r');
    // The first four characters as a decimal number, as far as they are digits.
    int hodnota = 0;
    for (int i = 0; i < 4; ++i) {
        int c = dalsi(s, f);
        if (!je_cislice(c)) break;
        hodnota = hodnota * 10 + (c - '0');
    }
    zavri_soubor(s, f);
    return hodnota;
}

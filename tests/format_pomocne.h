// Helpers of the format-engine tests: FDS headers, received blocks and a fixture that
// leaves no file of the engine open after a failure.
#pragma once

#include "pomocne.h"
#include "format/fds.h"
#include "format/formaty.h"
#include "format/prevod.h"
#include "format/stav.h"

using Chyba = std::pair<int, int>;  // ERROR1, ERROR2; {0, 0} when nothing failed

// The text `ok` when nothing failed, else "chyba kod/podkod".
inline std::string vysledek(Chyba c, const std::string& ok) {
    return c == Chyba{0, 0} ? ok : "chyba " + std::to_string(c.first) + "/" + std::to_string(c.second);
}
// Bytes as hexadecimal text, two upper-case digits each.
inline std::string hex(const std::string& bajty) {
    static const char cislice[] = "0123456789ABCDEF";
    std::string s;
    for (unsigned char c : bajty) s += {cislice[c >> 4], cislice[c & 15]};
    return s;
}

// The 23 fields of an FDS header.
struct Hlavicka {
    std::string soubor = "11", tabulka = "00", kapacita = "0FA0", pole4 = "00", pole5 = "0000",
                poradi = "01", pole7 = "00";
    std::vector<std::string> delky = {"07", "02", "02", "04", "10", "00", "00", "00",
                                      "0B", "00", "00", "00", "00", "00", "00", "00"};

    std::string pole(const char* oddelovac) const {
        std::string s = soubor + oddelovac + tabulka + oddelovac + kapacita + oddelovac + pole4 +
                        oddelovac + pole5 + oddelovac + poradi + oddelovac + pole7;
        for (const auto& d : delky) s += oddelovac + d;
        return s;
    }
    std::string fds_soubor() const { return pole(",") + "\r\n"; }
};

inline Hlavicka hlavicka_plu() { return {}; }
// A file's header from its code and group lengths ("01,03,..."); a table's from its code.
inline Hlavicka hlavicka_souboru(const std::string& kod, const std::string& delky) {
    Hlavicka h;
    h.soubor = kod;
    h.delky.clear();
    for (size_t i = 0; i < delky.size(); i += 3) h.delky.push_back(delky.substr(i, 2));
    return h;
}
inline Hlavicka hlavicka_tabulky(const std::string& kod) {
    Hlavicka h = hlavicka_souboru("00", "00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00");
    h.tabulka = kod;
    return h;
}
// The record layouts of the built-in table: its file definitions and its table codes.
inline const std::vector<Hlavicka>& vestavene_soubory() {
    static const std::vector<Hlavicka> s = {
        hlavicka_plu(),
        hlavicka_souboru("01", "01,03,00,04,10,00,00,00,0B,0B,00,00,00,00,00,00"),
        hlavicka_souboru("01", "01,00,00,04,10,00,00,00,0B,0B,00,00,00,00,00,00"),
        hlavicka_souboru("A4", "02,08,00,00,00,00,00,00,00,00,00,00,00,00,00,00"),
        hlavicka_souboru("41", "01,01,00,00,08,00,00,00,0B,00,00,00,00,00,00,00"),
        hlavicka_souboru("21", "02,00,00,00,00,00,00,00,0B,0B,00,00,00,00,00,00"),
        hlavicka_souboru("61", "01,00,00,00,00,00,00,00,0B,00,00,00,00,00,00,00")};
    return s;
}
inline const char* const VESTAVENE_TABULKY[] = {"D0", "D2", "D7", "C9", "D1", "D8", "C4", "C8"};

inline std::string blok_hlavicky(const Hlavicka& h, char poradi = '0') {
    return ramec(std::string(1, poradi) + "/HDR1/" + h.pole(""));
}

inline std::string blok_souboru(char poradi, const std::vector<std::string>& zaznamy, bool posledni) {
    char zahlavi[16];
    std::snprintf(zahlavi, sizeof zahlavi, "%c%06X0%c", poradi, static_cast<unsigned>(zaznamy.size()),
                  posledni ? '1' : '0');
    std::string s = zahlavi;
    for (const auto& z : zaznamy) s += z;
    return ramec(s);
}

inline std::string blok_tabulky(char poradi, unsigned posun, const std::string& data, bool posledni) {
    char zahlavi[16];
    std::snprintf(zahlavi, sizeof zahlavi, "%c%04X%04X0%c", poradi, posun,
                  static_cast<unsigned>(data.size() / 2), posledni ? '1' : '0');
    return ramec(zahlavi + data);
}

inline char dalsi_poradi(char c) { return c == '9' ? '0' : static_cast<char>(c + 1); }

// A whole download: header block and the records in blocks of `na_blok`.
inline std::string stazeni(const Hlavicka& h, const std::vector<std::string>& zaznamy, size_t na_blok,
                           char& poradi) {
    std::string s = blok_hlavicky(h, poradi);
    poradi = dalsi_poradi(poradi);
    size_t i = 0;
    do {
        std::vector<std::string> kus;
        for (; i < zaznamy.size() && kus.size() < na_blok; ++i) kus.push_back(zaznamy[i]);
        s += blok_souboru(poradi, kus, i == zaznamy.size());
        poradi = dalsi_poradi(poradi);
    } while (i < zaznamy.size());
    return s;
}

class FormatTest : public ProgramovyAdresar {
protected:
    void SetUp() override {
        ProgramovyAdresar::SetUp();
        s.ShowProgress = 0;
        s.tt.datovy_soubor = "p_plu.dat";
        s.tt.fds_soubor = "p_plu.fds";
    }
    // Runs the code at the session's boundary and returns the error it ended with. The
    // report has closed every open file, so the engine forgets its handles.
    Chyba chyba_z(const std::function<void()>& kod) {
        if (kod_konce(s, kod) < 0) return {0, 0};
        zapomen_soubory_formatu(s);
        return {s.ERROR1, s.ERROR2};
    }
    // Writes the FDS file of the header and parses it.
    void popis(const Hlavicka& h) {
        zapis(s.tt.fds_soubor, h.fds_soubor());
        napln_fdsfile(s);
    }
    // Receives the work file and converts it; returns the error it ended with.
    Chyba prijmi(const std::string& work01) {
        zapis(WORK01, work01);
        return chyba_z([&] { preved_prijata_data(s); });
    }
};

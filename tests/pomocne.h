// Test helpers: err() turned into an exception, message boxes collected, a fresh program
// directory for every test, and the frames of the line.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "core/chyby.h"
#include "core/globals.h"
#include "core/prikazovy_soubor.h"
#include "core/soubory.h"
#include "core/zpravy.h"

// Thrown by the test exit hook instead of ending the process.
struct KonecProcesu {
    int kod;
};

// Message boxes shown during a test; zpravy() joins them, each followed by a line break.
inline std::vector<std::string>& zachycene_boxy() {
    static std::vector<std::string> boxy;
    return boxy;
}
inline std::string zpravy() {
    std::string vse;
    for (const std::string& box : zachycene_boxy()) vse += box + "\n";
    return vse;
}
// The terminal screen, row after row.
inline std::string obrazovka() { return std::string(tt.obrazovka[0], sizeof tt.obrazovka); }

inline std::string precti_soubor(const std::filesystem::path& cesta) {
    std::ifstream f(cesta, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}
inline void zapis_soubor(const std::filesystem::path& cesta, const std::string& obsah) {
    std::ofstream(cesta, std::ios::binary) << obsah;
}

// A new empty directory under the system's temporary directory.
inline std::filesystem::path novy_docasny_adresar() {
    static std::atomic<unsigned> citac{0};
    static std::random_device rd;
    for (;;) {
        auto p = std::filesystem::temp_directory_path() /
                 ("kaslnk-test-" + std::to_string(rd()) + "-" + std::to_string(citac++));
        if (std::filesystem::create_directory(p)) return p;
    }
}

// A line as the register sends it: STX, the text, its checksum, CR.
inline std::string ramec(const std::string& text) {
    unsigned soucet = 0;
    for (unsigned char c : text) soucet += c;
    char kontrola[3];
    std::snprintf(kontrola, sizeof kontrola, "%02X", (256 - soucet % 256) % 256);
    return "\x02" + text + kontrola + "\r";
}

// Every test starts with the globals reset and a fresh program directory; err() throws
// KonecProcesu and message boxes are collected.
class ProgramovyAdresar : public ::testing::Test {
protected:
    std::filesystem::path adresar;

    void SetUp() override {
        adresar = novy_docasny_adresar();
        nuluj_stav();
        uvolni_cmd_buffer();
        nastav_exit_hook([](int kod) { throw KonecProcesu{kod}; });
        nastav_box_sink([](const std::string& text, uint32_t) {
            zachycene_boxy().push_back(text);
            return 1;
        });
        zachycene_boxy().clear();
    }
    void TearDown() override {
        zavri_vsechny_soubory();
        uvolni_cmd_buffer();
        nastav_exit_hook(nullptr);
        nastav_box_sink(nullptr);
        std::error_code ec;
        std::filesystem::remove_all(adresar, ec);
    }

    // The globals reset; the program directory stays.
    void nuluj_stav() { nuluj_globalni_stav(), fullpath = 1, tt.adresar_programu = adresar.string() + "/"; }
    // The name as the program forms it in the program directory.
    std::string cesta(const std::string& jmeno) const { return tt.adresar_programu + jmeno; }
    void zapis(const std::string& jmeno, const std::string& obsah) const { zapis_soubor(cesta(jmeno), obsah); }
    std::string precti(const std::string& jmeno) const { return precti_soubor(cesta(jmeno)); }
    bool existuje(const std::string& jmeno) const { return std::filesystem::exists(adresar / jmeno); }
    // The lines of era.log without date and time (16 characters and a comma).
    std::vector<std::string> radky_logu() const {
        std::vector<std::string> v;
        std::string log = precti("era.log");
        for (size_t i = 0, k; (k = log.find("\r\n", i)) != std::string::npos; i = k + 2)
            v.push_back(log.substr(i + 17, k - i - 17));
        return v;
    }

    // False where file names ignore letter case (Windows).
    bool rozlisuje_pismena() const {
        zapis("Velikost.pismen", "");
        bool rozlisuje = !existuje("velikost.PISMEN");
        std::filesystem::remove(adresar / "Velikost.pismen");
        return rozlisuje;
    }
};

// Runs the code and returns the exit code it ended with (-1: it did not end).
inline int kod_konce(const std::function<void()>& kod) {
    try {
        kod();
    } catch (const KonecProcesu& k) {
        return k.kod;
    }
    return -1;
}
#define KONEC(prikaz) kod_konce([&] { prikaz; })

// Expects the statement to end in err(kod, podkod), podkod -1 accepting any subcode; with
// kod 0, not to end at all.
#define OCEKAVEJ_CHYBU(prikaz, kod, podkod)                               \
    do {                                                                  \
        SCOPED_TRACE(#prikaz);                                            \
        EXPECT_EQ(KONEC(prikaz), (kod) != 0 ? 1 : -1);                    \
        if ((kod) != 0) { EXPECT_EQ(ERROR1, (kod)); }                     \
        if ((kod) != 0 && (podkod) >= 0) { EXPECT_EQ(ERROR2, (podkod)); } \
    } while (0)

// Test helpers: a fresh session and program directory for every test, its message boxes
// collected, errors caught at the session's boundary, and the frames of the line.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "core/chyby.h"
#include "core/soubory.h"
#include "link/sezeni.h"

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

// Every test starts with a fresh session and a fresh program directory; the session's
// message boxes are collected.
class ProgramovyAdresar : public ::testing::Test {
protected:
    std::filesystem::path adresar = novy_docasny_adresar();
    std::optional<Sezeni> sezeni{std::in_place};
    Sezeni& s = *sezeni;  // stays valid when nuluj_stav() makes the session anew in place
    std::vector<std::string> boxy;

    void SetUp() override { nuluj_stav(); }
    // Ends the session (its worker waited for, its files and the directory closed) while
    // what its port may reach still lives.
    void TearDown() override {
        sezeni.reset();
        std::error_code ec;
        std::filesystem::remove_all(adresar, ec);
    }

    // A fresh session in the same program directory.
    void nuluj_stav() {
        sezeni.reset();
        sezeni.emplace();
        s.fullpath = 1;
        s.tt.adresar_programu = adresar.string() + "/";
        s.sluzby.box = [this](const std::string& text, uint32_t) { return boxy.push_back(text), 1; };
    }
    // The boxes, each followed by a line break; the terminal screen, row after row.
    std::string zpravy() const {
        std::string vse;
        for (const std::string& box : boxy) vse += box + "\n";
        return vse;
    }
    std::string obrazovka() const { return std::string(s.tt.obrazovka[0], sizeof s.tt.obrazovka); }
    // The name as the program forms it in the program directory.
    std::string cesta(const std::string& jmeno) const { return s.tt.adresar_programu + jmeno; }
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

// Runs the code at the session's boundary and returns the exit code it ended with (err:
// 1, after its report), or -1 when it did not end.
inline int kod_konce(SezeniJadra& s, const std::function<void()>& kod) {
    return hranice_sezeni(s, [&] { return kod(), -1; });
}
#define KONEC(prikaz) kod_konce(s, [&] { prikaz; })

// Expects the statement to end in err(kod, podkod), podkod -1 accepting any subcode; with
// kod 0, not to end at all.
#define OCEKAVEJ_CHYBU(prikaz, kod, podkod)                                 \
    do {                                                                    \
        SCOPED_TRACE(#prikaz);                                              \
        EXPECT_EQ(KONEC(prikaz), (kod) != 0 ? 1 : -1);                      \
        if ((kod) != 0) { EXPECT_EQ(s.ERROR1, (kod)); }                     \
        if ((kod) != 0 && (podkod) >= 0) { EXPECT_EQ(s.ERROR2, (podkod)); } \
    } while (0)

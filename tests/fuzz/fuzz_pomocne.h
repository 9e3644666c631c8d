// Shared part of the fuzz entry points: a program directory of their own, and err()
// turned into an exception so that one input's failure ends only that input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "core/chyby.h"
#include "core/globals.h"
#include "format/fds.h"
#include "format/formaty.h"
#include "format/stav.h"

namespace fuzz {

struct Konec {
    int kod;
};

inline std::filesystem::path& adresar() {
    static std::filesystem::path a;
    return a;
}

inline void priprav(const char* cil) {
    nuluj_globalni_stav();
    ShowProgress = 0;
    nastav_exit_hook([](int kod) { throw Konec{kod}; });
    adresar() = std::filesystem::temp_directory_path() /
                (std::string("kaslnk-fuzz-") + cil + "-" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(adresar());
    fullpath = 1;
    tt.adresar_programu = adresar().string() + "/";
}

inline void zapis(const std::string& jmeno, const char* data, size_t delka) {
    std::ofstream(adresar() / jmeno, std::ios::binary).write(data, static_cast<std::streamsize>(delka));
}

// Runs one input with fresh state; an err() inside it only ends the input.
template <typename F>
void spust(F&& kod) {
    static unsigned pocet = 0;
    if (++pocet % 1000 == 0) std::filesystem::remove(adresar() / tt.logovy_soubor);
    nuluj_stav_formatu();
    nastav_formatarea(nullptr, 0);
    tt.datovy_soubor = "f.dat";
    tt.fds_soubor = "f.fds";
    ERROR1 = ERROR2 = 0;
    konverzeW_C = 0;
    filetyp = 1;
    try {
        kod();
    } catch (const Konec&) {
        zapomen_soubory_formatu();  // err() has closed every open file
    }
    zavri_soubory_formatu();
}

// Definitions of the built-in table: an FDS header line for each.
inline const char* const hlavicky[] = {
    "11,00,0FA0,00,0000,01,00,07,02,02,04,10,00,00,00,0B,00,00,00,00,00,00,00\r\n",
    "01,00,0FA0,00,0000,01,00,01,03,00,04,10,00,00,00,0B,0B,00,00,00,00,00,00\r\n",
    "01,00,0FA0,00,0000,01,00,01,00,00,04,10,00,00,00,0B,0B,00,00,00,00,00,00\r\n",
    "A4,00,0FA0,00,0000,01,00,02,08,00,00,00,00,00,00,00,00,00,00,00,00,00,00\r\n",
    "41,00,0FA0,00,0000,01,00,01,01,00,00,08,00,00,00,0B,00,00,00,00,00,00,00\r\n",
    "21,00,0FA0,00,0000,01,00,02,00,00,00,00,00,00,00,0B,0B,00,00,00,00,00,00\r\n",
    "61,00,0FA0,00,0000,01,00,01,00,00,00,00,00,00,00,0B,00,00,00,00,00,00,00\r\n",
    "00,D0,0001,00,0000,01,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00\r\n",
    "00,D2,0001,00,0000,01,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00\r\n",
    "00,D7,0001,00,0000,01,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00\r\n",
    "00,C9,0001,00,0000,01,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00\r\n",
    "00,D1,0001,00,0000,01,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00\r\n",
    "00,D8,0001,00,0000,01,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00\r\n",
    "00,C4,0001,00,0000,01,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00\r\n",
    "00,C8,0001,00,0000,01,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00\r\n",
};
constexpr size_t POCET_HLAVICEK = sizeof hlavicky / sizeof hlavicky[0];

// The header block the register sends for the FDS line.
inline std::string blok_hlavicky(const std::string& fds) {
    std::string s = "\x02" "0/HDR1/";
    for (char c : fds)
        if (c != ',' && c != '\r' && c != '\n') s += c;
    return s + "00\r";
}

// The FDS file of one built-in definition, parsed, and its format found.
inline void popis(size_t volba) {
    std::string h = hlavicky[volba % POCET_HLAVICEK];
    zapis(tt.fds_soubor, h.data(), h.size());
    napln_fdsfile();
    najdi_format();
}

}  // namespace fuzz

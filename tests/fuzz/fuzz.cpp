// libFuzzer entry points of the format engine's parsers; KASLNK_FUZZ_CIL names the one
// this executable runs (bloky, fds, radky or format). Each input runs with fresh state in a program directory of its own,
// and err() throws, so that one input's failure ends only that input.
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "core/chyby.h"
#include "core/globals.h"
#include "format/fds.h"
#include "format/formaty.h"
#include "format/na_text.h"
#include "format/polozky.h"
#include "format/prevod.h"
#include "format/proudy.h"
#include "format/stav.h"
#include "format/z_textu.h"

namespace fuzz {

struct Konec {
    int kod;
};

const std::filesystem::path ADRESAR =
    std::filesystem::temp_directory_path() / ("kaslnk-fuzz-" + std::to_string(std::random_device{}()));

void zapis(const std::string& jmeno, const char* data, size_t delka) {
    std::ofstream(ADRESAR / jmeno, std::ios::binary).write(data, static_cast<std::streamsize>(delka));
}

template <typename F>
void spust(F&& kod) {
    static unsigned pocet = 0;
    if (++pocet % 1000 == 0) std::filesystem::remove(ADRESAR / tt.logovy_soubor);
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

// The definitions of the built-in table: files (code, group lengths), then tables.
const char* const SOUBORY[][2] = {{"11", "07,02,02,04,10,00,00,00,0B"},   {"01", "01,03,00,04,10,00,00,00,0B,0B"},
                                  {"01", "01,00,00,04,10,00,00,00,0B,0B"}, {"A4", "02,08"},
                                  {"41", "01,01,00,00,08,00,00,00,0B"},   {"21", "02,00,00,00,00,00,00,00,0B,0B"},
                                  {"61", "01,00,00,00,00,00,00,00,0B"}};
const char TABULKY[] = "D0D2D7C9D1D8C4C8";
constexpr size_t DEFINIC = 7 + 8;

// The FDS line of one built-in definition.
std::string fds_radek(size_t volba) {
    volba %= DEFINIC;
    std::string delky = volba < 7 ? SOUBORY[volba][1] : "00";
    while (delky.size() < 47) delky += ",00";
    if (volba < 7) return std::string(SOUBORY[volba][0]) + ",00,0FA0,00,0000,01,00," + delky + "\r\n";
    return "00," + std::string(TABULKY + 2 * (volba - 7), 2) + ",0001,00,0000,01,00," + delky + "\r\n";
}

// The header block the register sends for the FDS line.
std::string blok_hlavicky(const std::string& fds) {
    std::string s = "\x02" "0/HDR1/";
    for (char c : fds)
        if (c != ',' && c != '\r' && c != '\n') s += c;
    return s + "00\r";
}

// Received work file. The first byte chooses the header block of a built-in definition put
// before the rest (or none) and the character conversion.
void bloky(const uint8_t* data, size_t size) {
    unsigned volba = data[0] & 0x3F;
    std::string prace = volba < DEFINIC ? blok_hlavicky(fds_radek(volba)) : "";
    prace.append(reinterpret_cast<const char*>(data) + 1, size - 1);
    spust([&] {
        konverzeW_C = data[0] >> 7;
        zapis(WORK01, prace.data(), prace.size());
        preved_prijata_data();
    });
}

// FDS headers. Odd first byte: the rest is a header block in the work file, converted to
// the FDS file; even: the rest is an FDS file. It is parsed and selects a definition.
void fds(const uint8_t* data, size_t size) {
    const char* zbytek = reinterpret_cast<const char*>(data) + 1;
    spust([&] {
        if (data[0] & 1) {
            zapis(WORK01, zbytek, size - 1);
            cteny_blok = '0';
            redf = otevri_soubor(WORK01, 'r');
            konvertuj_fds();
            zavri_cteny(redf);
        } else {
            zapis(tt.fds_soubor, zbytek, size - 1);
        }
        napln_fdsfile();
        najdi_format();
    });
}

// Text data file read back into records. The first byte chooses a built-in definition and
// the character conversion; register files are read line by line, tables item by item.
void radky(const uint8_t* data, size_t size) {
    spust([&] {
        konverzeW_C = data[0] >> 7;
        std::string h = fds_radek(data[0] & 0x7F);
        zapis(tt.fds_soubor, h.data(), h.size());
        napln_fdsfile();
        najdi_format();
        zapis(tt.datovy_soubor, reinterpret_cast<const char*>(data) + 1, size - 1);
        dataf = otevri_soubor(tt.datovy_soubor, 'r');
        if (filetyp == 1) {
            while (nacti_radek_dat(dataf)) preved_radek_na_zaznam();
        } else {
            b = 12;
            size_t pozice = 0;
            while (!preved_polozku_tabulky(pozice))
                if (b > 876) b = 12;  // the block goes out; the next one starts
        }
        zavri_cteny(dataf);
    });
}

// Format search. Input: one line with the FDS values the search compares (a flag character
// for file data, the code, sixteen group lengths, two characters each), then the text of a
// format table. A definition found carries a record of zero bytes through both directions.
void format(const uint8_t* data, size_t size) {
    std::string vstup(reinterpret_cast<const char*>(data), size);
    size_t konec = vstup.find('\n');
    std::string popis = konec == std::string::npos ? "" : vstup.substr(0, konec);
    std::string tabulka = konec == std::string::npos ? vstup : vstup.substr(konec + 1);
    spust([&] {
        auto dvojice = [&](size_t i, char* cil) {
            cil[0] = i < popis.size() ? popis[i] : '0';
            cil[1] = i + 1 < popis.size() ? popis[i + 1] : '0';
            cil[2] = 0;
        };
        std::memset(&fdsfile, 0, sizeof fdsfile);
        filetyp = !popis.empty() && (popis[0] & 1);
        dvojice(1, fdsfile.kod_souboru);
        dvojice(1, fdsfile.kod_tabulky);
        for (int g = 0; g < 16; ++g) dvojice(3 + 2 * static_cast<size_t>(g), fdsfile.delky[g]);
        nastav_formatarea(tabulka.data(), tabulka.size());
        najdi_format();

        const SeznamPolozek& s = seznam_polozek(1, 33);
        if (s.bajtu * 2 > BLOK_DAT || s.bajtu > MAX_DELKA_ZAZNAMU) return;
        std::string nuly(s.bajtu * 2, '0');
        std::memcpy(blok, nuly.data(), nuly.size());
        iz = 0;
        writf = otevri_soubor("f.out", 'w');
        preved_zaznam_na_text();
        vystup_zapis();
        zavri_soubor(writf);
        writf = nullptr;
        dataf = otevri_soubor("f.out", 'r');
        nacti_radek_dat(dataf);
        zavri_cteny(dataf);
        delka_zaznamu = static_cast<int32_t>(s.bajtu);
        preved_radek_na_zaznam();
        if (std::string(ss) != nuly) std::abort();  // text that loads but differs
    });
}

}  // namespace fuzz

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    nuluj_globalni_stav();
    ShowProgress = 0;
    nastav_exit_hook([](int kod) { throw fuzz::Konec{kod}; });
    std::filesystem::create_directories(fuzz::ADRESAR);
    fullpath = 1;
    tt.adresar_programu = fuzz::ADRESAR.string() + "/";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 0) fuzz::KASLNK_FUZZ_CIL(data, size);
    return 0;
}

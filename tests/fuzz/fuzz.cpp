// libFuzzer entry points of the format engine's parsers; KASLNK_FUZZ_CIL names the one
// this executable runs (bloky, fds, radky or format). Each input runs with fresh state in
// a program directory of its own, and err() throws, so that one input's failure ends only
// that input.
#include "tests/format_pomocne.h"  // first: see there

#include <cstdlib>
#include <cstring>

#include "format/na_text.h"
#include "format/polozky.h"
#include "format/proudy.h"
#include "format/z_textu.h"

namespace fuzz {

const std::filesystem::path ADRESAR = novy_docasny_adresar();

void zapis(const std::string& jmeno, const std::string& obsah) { zapis_soubor(ADRESAR / jmeno, obsah); }

// The input after its first byte, which chooses how the rest is taken.
std::string zbytek(const uint8_t* data, size_t size) { return {reinterpret_cast<const char*>(data) + 1, size - 1}; }

void spust(const std::function<void()>& kod) {
    static unsigned pocet = 0;
    if (++pocet % 1000 == 0) std::filesystem::remove(ADRESAR / tt.logovy_soubor);
    nuluj_stav_formatu();
    nastav_formatarea(nullptr, 0);
    tt.datovy_soubor = "f.dat";
    tt.fds_soubor = "f.fds";
    ERROR1 = ERROR2 = 0;
    konverzeW_C = 0;
    filetyp = 1;
    chyba_z(kod);
    zavri_soubory_formatu();
}

// The built-in definitions, files first, then tables.
const size_t DEFINIC = vestavene_soubory().size() + std::size(VESTAVENE_TABULKY);
Hlavicka definice(size_t volba) {
    const std::vector<Hlavicka>& s = vestavene_soubory();
    volba %= DEFINIC;
    return volba < s.size() ? s[volba] : hlavicka_tabulky(VESTAVENE_TABULKY[volba - s.size()]);
}

// Received work file. The first byte chooses the header block of a built-in definition put
// before the rest (or none) and the character conversion.
void bloky(const uint8_t* data, size_t size) {
    unsigned volba = data[0] & 0x3F;
    std::string prace = (volba < DEFINIC ? blok_hlavicky(definice(volba)) : "") + zbytek(data, size);
    spust([&] {
        konverzeW_C = data[0] >> 7;
        zapis(WORK01, prace);
        preved_prijata_data();
    });
}

// FDS headers. Odd first byte: the rest is a header block in the work file, converted to
// the FDS file; even: the rest is an FDS file. It is parsed and selects a definition.
void fds(const uint8_t* data, size_t size) {
    spust([&] {
        if (data[0] & 1) {
            zapis(WORK01, zbytek(data, size));
            cteny_blok = '0';
            redf = otevri_soubor(WORK01, 'r');
            konvertuj_fds();
            zavri_cteny(redf);
        } else {
            zapis(tt.fds_soubor, zbytek(data, size));
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
        zapis(tt.fds_soubor, definice(data[0] & 0x7F).fds_soubor());
        napln_fdsfile();
        najdi_format();
        zapis(tt.datovy_soubor, zbytek(data, size));
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
    std::string tabulka = vstup.substr(konec + 1);  // no line: npos + 1 is 0, all of it
    spust([&] {
        std::memset(&fdsfile, 0, sizeof fdsfile);
        filetyp = !popis.empty() && (popis[0] & 1);
        popis.resize(std::max<size_t>(popis.size(), 35), '0');  // missing values are "00"
        auto dvojice = [&](size_t i, char* cil) { std::memcpy(cil, &popis[i], 2); };
        dvojice(1, fdsfile.kod_souboru);
        dvojice(1, fdsfile.kod_tabulky);
        for (size_t g = 0; g < 16; ++g) dvojice(3 + 2 * g, fdsfile.delky[g]);
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
    nastav_exit_hook([](int kod) { throw KonecProcesu{kod}; });
    std::atexit([] {
        std::error_code ec;
        std::filesystem::remove_all(fuzz::ADRESAR, ec);
    });
    fullpath = 1;
    tt.adresar_programu = fuzz::ADRESAR.string() + "/";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 0) fuzz::KASLNK_FUZZ_CIL(data, size);
    return 0;
}

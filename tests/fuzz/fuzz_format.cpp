// Fuzz entry point of the format search. Input: one line with the FDS values the search
// compares (a flag character for file data, the code, sixteen group lengths, two
// characters each), then the text of a format table. A definition found drives the
// converters of both directions over a record of zero bytes, which must come back as it was.
#include <cstdlib>
#include <cstring>

#include "format/na_text.h"
#include "format/polozky.h"
#include "format/proudy.h"
#include "format/z_textu.h"
#include "fuzz_pomocne.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::priprav("format");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string vstup(reinterpret_cast<const char*>(data), size);
    size_t konec = vstup.find('\n');
    std::string popis = konec == std::string::npos ? "" : vstup.substr(0, konec);
    std::string tabulka = konec == std::string::npos ? vstup : vstup.substr(konec + 1);
    fuzz::spust([&] {
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
        if (s.bajtu * 2 > BLOK_DAT) return;
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
        if (s.bajtu > MAX_DELKA_ZAZNAMU) return;
        preved_radek_na_zaznam();
        if (std::string(ss) != nuly) std::abort();  // text that loads but differs
    });
    return 0;
}

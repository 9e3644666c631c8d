// Fuzz entry point of the text data file read back into records. The first byte chooses
// one of the built-in definitions and the character conversion; the rest is the data file.
// Register files are read line by line, tables item by item into blocks.
#include "format/proudy.h"
#include "format/z_textu.h"
#include "fuzz_pomocne.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::priprav("radky");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    fuzz::spust([&] {
        konverzeW_C = data[0] >> 7;
        fuzz::popis(data[0] & 0x7F);
        fuzz::zapis(tt.datovy_soubor, reinterpret_cast<const char*>(data) + 1, size - 1);
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
    return 0;
}

// Fuzz entry point of FDS headers. Odd first byte: the rest is a header block in the work
// file, converted to the FDS file and parsed; even: the rest is an FDS file, parsed and
// used to select a built-in definition.
#include "format/proudy.h"
#include "format/prevod.h"
#include "fuzz_pomocne.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::priprav("fds");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const char* zbytek = reinterpret_cast<const char*>(data) + 1;
    fuzz::spust([&] {
        if (data[0] & 1) {
            fuzz::zapis(WORK01, zbytek, size - 1);
            cteny_blok = '0';
            redf = otevri_soubor(WORK01, 'r');
            konvertuj_fds();
            zavri_cteny(redf);
        } else {
            fuzz::zapis(tt.fds_soubor, zbytek, size - 1);
        }
        napln_fdsfile();
        najdi_format();
    });
    return 0;
}

// Fuzz entry point of the received-data work file. The first byte chooses the start: the
// header block of one of the built-in definitions (or none: the input is the whole work
// file) and the character conversion; the rest is the work file after it.
#include "format/prevod.h"
#include "fuzz_pomocne.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::priprav("bloky");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    unsigned volba = data[0] & 0x3F;
    std::string prace = volba < fuzz::POCET_HLAVICEK ? fuzz::blok_hlavicky(fuzz::hlavicky[volba]) : "";
    prace.append(reinterpret_cast<const char*>(data) + 1, size - 1);
    fuzz::spust([&] {
        konverzeW_C = data[0] >> 7;
        fuzz::zapis(WORK01, prace.data(), prace.size());
        preved_prijata_data();
    });
    return 0;
}

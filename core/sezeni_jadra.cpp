#include "core/sezeni_jadra.h"

#include <cstring>

#include "core/prenos.h"
#include "core/soubory.h"

TTYINFO::TTYINFO() { std::memset(obrazovka, ' ', sizeof obrazovka); }

SezeniJadra::SezeniJadra() = default;

SezeniJadra::~SezeniJadra() {
    pockej_na_vlakna();
    // What the session still holds: its open files and the program directory.
    zavri_vsechny_soubory(*this);
    uvolni_adresar(*this);
}

void SezeniJadra::pockej_na_vlakna() noexcept {
    // The batch first: it waits for the worker of its current file itself.
    for (std::thread* t : {&vlakno_davky, &vlakno_prenosu})
        if (t->joinable() && t->get_id() != std::this_thread::get_id()) t->join();
}

void aktualizuj_asci_promenne(SezeniJadra& s) {
    s.tt.znak_portu = static_cast<char>('0' + s.tt.cislo_portu);
    static constexpr uint32_t rychlosti[] = {600, 1200, 2400, 4800, 9600, 19200, 38400};
    for (int i = 0; i < 7; ++i)
        if (s.tt.rychlost == rychlosti[i]) s.tt.znak_rychlosti = static_cast<char>('1' + i);
}

#include "core/hodiny.h"

#include <chrono>
#include <thread>

#include "core/sezeni_jadra.h"
#include "platform/platform.h"

void cekej_ms(SezeniJadra& s, uint32_t ms) {
    if (s.sluzby.cekani)
        s.sluzby.cekani(ms);
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

bool cekej_ms_nebo(SezeniJadra& s, uint32_t ms, Udalost& udalost) {
    if (!s.sluzby.cekani) return udalost.cekej(ms);
    s.sluzby.cekani(ms);
    return udalost.nastavena();
}

void pipni(SezeniJadra& s, int32_t typ) {
    if (s.sluzby.pip)
        s.sluzby.pip(typ);
    else
        plat_pipni(typ);
}

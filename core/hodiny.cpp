#include "core/hodiny.h"

#include <chrono>
#include <thread>

#include "platform/platform.h"

namespace {
Cekani g_cekani;
PipSink g_pip;
}  // namespace

void nastav_cekani(Cekani cekani) { g_cekani = std::move(cekani); }

void cekej_ms(uint32_t ms) {
    if (g_cekani)
        g_cekani(ms);
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

bool cekej_ms_nebo(uint32_t ms, Udalost& udalost) {
    if (!g_cekani) return udalost.cekej(ms);
    g_cekani(ms);
    return udalost.nastavena();
}

void nastav_pip_sink(PipSink sink) { g_pip = std::move(sink); }

void pipni(int32_t typ) {
    if (g_pip)
        g_pip(typ);
    else
        plat_pipni(typ);
}

#include "link/hodiny.h"

#include <chrono>
#include <thread>

#include "platform/platform.h"

namespace {
Hodiny* g_hodiny = nullptr;
PipSink g_pip = nullptr;
}  // namespace

void nastav_hodiny(Hodiny* hodiny) { g_hodiny = hodiny; }

void cekej_ms(uint32_t ms) {
    if (g_hodiny)
        g_hodiny->cekej(ms);
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void nastav_pip_sink(PipSink sink) { g_pip = sink; }

void pipni(int32_t typ) {
    if (g_pip)
        g_pip(typ);
    else
        plat_pipni(typ);
}

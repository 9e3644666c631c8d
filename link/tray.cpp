#include "link/tray.h"

int32_t StavZapnuto;
int ikonaRED, ikonaGREEN;

namespace {
int bez_okna(int, int, int) { return 1; }
TraySink g_sink = bez_okna;
}  // namespace

void nastav_tray_sink(TraySink sink) { g_sink = sink ? sink : bez_okna; }

int TrayMessage(int operace, int ikona, const char*) { return g_sink(operace, ID_IKONY_TRAY, ikona); }

void NotifyAdd() {
    ikonaRED = IKONA_CERVENA;
    ikonaGREEN = IKONA_ZELENA;
    TrayMessage(TRAY_PRIDAT, 0, nullptr);
    StateChange();
}

void StateChange() {
    StavZapnuto = !StavZapnuto;
    TrayMessage(TRAY_ZMENIT, StavZapnuto ? ikonaRED : ikonaGREEN, nullptr);
}

void NotifyDelete() { TrayMessage(TRAY_ODEBRAT, 0, nullptr); }

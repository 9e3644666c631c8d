#include "link/tray.h"

#include "core/chyby.h"
#include "core/globals.h"

int32_t StavZapnuto;
int ikonaRED, ikonaGREEN;

namespace {
TraySink g_sink;

// err() removes the icon of a transfer that fails.
void odeber_po_chybe() {
    if (ShowProgress) NotifyDelete();
}
}  // namespace

void nastav_tray_sink(TraySink sink) { g_sink = std::move(sink); }

int TrayMessage(int operace, int ikona, const char*) { return g_sink ? g_sink(operace, ID_IKONY_TRAY, ikona) : 1; }

void NotifyAdd() {
    pri_chybe(odeber_po_chybe);
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

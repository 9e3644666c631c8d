#include "link/tray.h"

int TrayMessage(Sezeni& s, int operace, int ikona, const char*) {
    return s.sluzby.tray ? s.sluzby.tray(operace, ID_IKONY_TRAY, ikona) : 1;
}

void NotifyAdd(Sezeni& s) {
    s.ikona_pri_chybe = true;
    s.ikonaRED = IKONA_CERVENA;
    s.ikonaGREEN = IKONA_ZELENA;
    TrayMessage(s, TRAY_PRIDAT, 0, nullptr);
    StateChange(s);
}

void StateChange(Sezeni& s) {
    s.StavZapnuto = !s.StavZapnuto;
    TrayMessage(s, TRAY_ZMENIT, s.StavZapnuto ? s.ikonaRED : s.ikonaGREEN, nullptr);
}

void NotifyDelete(Sezeni& s) { TrayMessage(s, TRAY_ODEBRAT, 0, nullptr); }

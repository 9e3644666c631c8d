// The tray progress icon shown while data moves: red and green in turn, one change per
// block. The icon itself is drawn by the session's service s.sluzby.tray: the window
// installs the notification-area one; without one nothing is shown.
#pragma once

#include <cstdint>

#include "link/sezeni.h"

constexpr int IKONA_CERVENA = 401;  // icon resources
constexpr int IKONA_ZELENA = 402;
constexpr int ID_IKONY_TRAY = 773;  // identifier of the notification entry

// Operations of TrayMessage, numbered as NIM_ADD, NIM_MODIFY, NIM_DELETE.
enum TrayOperace : int { TRAY_PRIDAT = 0, TRAY_ZMENIT = 1, TRAY_ODEBRAT = 2 };

// The session keeps s.StavZapnuto (alternates with every block; kept between transfers)
// and s.ikonaRED, s.ikonaGREEN (the icons loaded by NotifyAdd, 0 = none).

// Adds the entry and shows the first colour at once.
void NotifyAdd(Sezeni& s);
// Switches s.StavZapnuto and shows red when it is now set, green when clear.
void StateChange(Sezeni& s);
// Removes the entry.
void NotifyDelete(Sezeni& s);
// One call of s.sluzby.tray with the operation, ID_IKONY_TRAY and the icon (0 = none); the
// tip is unused. 1 without a tray service.
int TrayMessage(Sezeni& s, int operace, int ikona, const char* tip);

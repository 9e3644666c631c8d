// The tray progress icon shown while data moves: red and green in turn, one change per
// block. The icon itself is drawn by a sink: the window installs the notification-area
// one; without a window the default sink shows nothing.
#pragma once

#include <cstdint>
#include <functional>

constexpr int IKONA_CERVENA = 401;  // icon resources
constexpr int IKONA_ZELENA = 402;
constexpr int ID_IKONY_TRAY = 773;  // identifier of the notification entry

// Operations of TrayMessage, numbered as NIM_ADD, NIM_MODIFY, NIM_DELETE.
enum TrayOperace : int { TRAY_PRIDAT = 0, TRAY_ZMENIT = 1, TRAY_ODEBRAT = 2 };

extern int32_t StavZapnuto;          // alternates with every block; kept between transfers
extern int ikonaRED, ikonaGREEN;     // the icons loaded by NotifyAdd (0 = none)

// Adds the entry and shows the first colour at once.
void NotifyAdd();
// Switches StavZapnuto and shows red when it is now set, green when clear.
void StateChange();
// Removes the entry.
void NotifyDelete();
// One call of the notification sink: the operation, the icon (0 = none), the tip (unused).
int TrayMessage(int operace, int ikona, const char* tip);

// The sink gets the operation, the entry identifier and the icon; returns the system's result.
using TraySink = std::function<int(int operace, int id, int ikona)>;
void nastav_tray_sink(TraySink sink);  // empty = the default sink (shows nothing)

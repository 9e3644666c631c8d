// The progress icon of runs without a window on a Linux desktop: an item of the
// desktop's StatusNotifierItem service on the session bus (platform/posix/tray_posix.cpp).
// Windows draws the icon with its own resources in the window layer (ui/win32).
#pragma once

// Operations, numbered as the notification entry's add, modify and delete.
enum PlatIkonaOperace : int { PLAT_IKONA_PRIDAT = 0, PLAT_IKONA_ZMENIT = 1, PLAT_IKONA_ODEBRAT = 2 };

// Adds the item, shows the red (cervena) or the green icon, or removes the item. Never
// waits for the bus: a thread of its own does the talking. Without a session bus, without
// a desktop that shows such items, or in a build without libsystemd: nothing. 1 when the
// request was taken, 0 when there is nowhere to show the icon.
int plat_ikona_prubehu(int operace, bool cervena);

// The tray progress icon in the notification area: one entry (id 773) per owner window.
#pragma once

#include <windows.h>

// Adds, changes or removes the entry of `vlastnik` (TrayOperace); `ikona` is the icon
// resource (401, 402) or 0. The system's result.
int tray_win32(HWND vlastnik, int operace, int ikona);

// The hidden window that owns the icon in runs without the main window; it lives on a
// thread of its own that serves its messages. Null when it cannot be made.
HWND skryty_vlastnik_tray();

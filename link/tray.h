// The tray progress icon shown while data moves.
#pragma once

// Removes the icon.
void NotifyDelete();

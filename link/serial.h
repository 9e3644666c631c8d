// The serial port of the transfer: open, configure, write, read, close.
#pragma once

// Hangs up if asked, drops DTR and closes the port. Always 1.
int CloseConnection();

// The logo converter: a 288 x 130 monochrome BMP picture becomes "Glogo.dat" in the
// program directory, and on request it is loaded into the register.
#pragma once

#include <string>

#include "link/sezeni.h"

enum class KonecLoga {
    ZRUSENO,       // no file chosen
    NENI_BMP,      // "Format souboru neni BMP.", nothing written
    PRILIS_TMAVE,  // the density rules are broken, nothing written (outside debug mode)
    ZAPSANO,       // Glogo.dat written, not loaded (the answer No)
    NAHRANO,       // written and loaded
    NENAHRANO,     // written, the load did not finish
};

// Converts the picture at `cesta` (as given, not in the program directory): the header
// checks with their messages, the density rules, Glogo.dat, then the question whether to
// load it (NahrajGlogoRS with `argument` on Yes). A file that cannot be read, or a
// Glogo.dat that cannot be written, ends in err(30).
KonecLoga preved_glogo(Sezeni& s, const std::string& cesta, int argument);

// The window command: the choice (s.sluzby.vyber_bmp, the window's open dialog: the path,
// or empty when cancelled; without it no choice is offered), then preved_glogo. 1 when
// cancelled or not a BMP, otherwise 0.
int konvertuj_glogo(Sezeni& s, int argument);

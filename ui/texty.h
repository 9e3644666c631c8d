// The about and help texts and the terminal grid's paint arithmetic (Windows-1250).
#pragma once

#include <string>

constexpr const char* TYP_POKLADNY = "ER-A227E";

// The three lines of the about box, each formatted from its template.
std::string o_programu_nazev();    // "Komunikace s pokladnou %s" with the register type
std::string o_programu_system();   // the system line
std::string o_programu_verze();    // "Verze %s %s" with the version and a blank

// The built-in user guide, Windows-1250 with CR LF, shown unchanged.
const std::string& text_napovedy();

// The cells of the 25 x 80 grid to repaint for an invalid rectangle (right and bottom
// exclusive): the first row and column clamped into the grid, the last ones at most its
// last row and column. A rectangle beside the grid repaints its edge row or column.
struct OblastMrizky {
    int prvni_radek, posledni_radek, prvni_sloupec, posledni_sloupec;
};
OblastMrizky oblast_kresleni(int vlevo, int nahore, int vpravo, int dole, int sirka_znaku,
                             int vyska_radku, int posun_x = 0, int posun_y = 0);

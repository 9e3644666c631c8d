#include "core/terminal.h"

#include <cstring>
#include <mutex>

#include "core/sezeni_jadra.h"
#include "platform/platform.h"

namespace {

void odradkuj(TTYINFO& tt) {
    ++tt.radek;
    if (tt.radek >= TERM_RADKU) {
        std::memmove(tt.obrazovka[0], tt.obrazovka[1], sizeof tt.obrazovka[0] * (TERM_RADKU - 1));
        std::memset(tt.obrazovka[TERM_RADKU - 1], ' ', TERM_SLOUPCU);
        tt.radek = TERM_RADKU - 1;
    }
}

}  // namespace

int WriteTTYBlock(SezeniJadra& s, const char* text, int pocet) {
    std::lock_guard<std::recursive_mutex> lock(s.obrazovka_mutex);
    TTYINFO& tt = s.tt;
    for (int i = 0; i < pocet; ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        switch (c) {
            case 7:
                plat_pipni(-1);
                break;
            case 8:
                if (tt.sloupec > 0) --tt.sloupec;
                break;
            case 13:
                tt.sloupec = 0;
                if (tt.novy_radek) odradkuj(tt);
                break;
            case 10:
                odradkuj(tt);
                break;
            default:
                if (tt.radek < 0 || tt.radek >= TERM_RADKU) tt.radek = 0;
                if (tt.sloupec < 0 || tt.sloupec >= TERM_SLOUPCU) tt.sloupec = 0;
                tt.obrazovka[tt.radek][tt.sloupec] = static_cast<char>(c);
                if (tt.sloupec < TERM_SLOUPCU - 1)
                    ++tt.sloupec;
                else if (tt.autowrap) {  // to the start of the next row, one row only
                    tt.sloupec = 0;
                    odradkuj(tt);
                }
                break;
        }
    }
    return 1;
}

const char* radek_obrazovky(const SezeniJadra& s, int radek) { return s.tt.obrazovka[radek]; }

void SetTTYFocus(SezeniJadra& s) {
    if (s.sluzby.stav_portu) s.sluzby.stav_portu(1);
}
void KillTTYFocus(SezeniJadra& s) {
    if (s.sluzby.stav_portu) s.sluzby.stav_portu(0);
}

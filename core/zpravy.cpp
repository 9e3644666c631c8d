#include "core/zpravy.h"

#include <cstdio>
#include <mutex>

#include "core/sezeni_jadra.h"
#include "core/terminal.h"
#include "platform/platform.h"

int VypisBox(SezeniJadra& s, const std::string& text, uint32_t styl) {
    std::lock_guard<std::recursive_mutex> lock(s.box_mutex);
    return s.sluzby.box ? s.sluzby.box(text, styl) : plat_message_box(text, styl);
}

int VypisBoxH(SezeniJadra& s, const char* format, int32_t cislo, uint32_t styl) {
    char text[1024];
    std::snprintf(text, sizeof text, format, cislo);
    return VypisBox(s, text, styl);
}

int VypisBoxDebug(SezeniJadra& s, const std::string& text) { return s.debug ? VypisBox(s, text, 48) : 1; }
int VypisBoxRawDebug(SezeniJadra& s, const std::string& text) { return s.rawdebug ? VypisBox(s, text, 48) : 1; }

void VypisBlok(SezeniJadra& s, const std::string& text, int novy_radek) {
    WriteTTYBlock(s, text.data(), static_cast<int>(text.size()));
    if (novy_radek) WriteTTYBlock(s, "\r", 1);
    if (s.sluzby.text) s.sluzby.text(novy_radek ? text + "\r" : text);
    if (s.sluzby.prekresli) s.sluzby.prekresli();
}

void VypisBlokDebug(SezeniJadra& s, const std::string& text, int novy_radek) {
    if (s.debug) VypisBlok(s, text, novy_radek);
}

void VypisBlokRawDebug(SezeniJadra& s, const std::string& text, int novy_radek) {
    if (s.rawdebug) VypisBlok(s, text, novy_radek);
}

void oznam_spusteni(SezeniJadra& s, const std::string& text) {
    if (s.WINDOW || s.hlasky || s.debug)
        VypisBox(s, text, 48);
    else if (s.sluzby.chybovy_radek)
        s.sluzby.chybovy_radek(text);
    else
        plat_radek_na_stderr(text);
}

int32_t bezpecna_odpoved(uint32_t styl) {
    switch (styl & 0x0F) {
        case 1: case 3: case 5: return 2;  // OK or retry or yes/no, cancel: IDCANCEL
        case 2: return 3;                  // abort, retry, ignore: IDABORT
        case 4: return 7;                  // yes, no: IDNO
        default: return 1;                 // IDOK
    }
}

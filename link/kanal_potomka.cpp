// The child's side of the window's channel: message boxes, terminal text, tray events
// and the port state go to the window as frames on standard output (core/kanal.h).
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>

#include "core/chyby.h"
#include "core/globals.h"
#include "core/kanal.h"
#include "core/zpravy.h"
#include "core/terminal.h"
#include "link/tray.h"
#include "platform/platform.h"

namespace {

bool g_zapnuto = false;
std::mutex g_zapis;

void posli(const ZpravaKanalu& z) {
    std::string ramec = zabal_zpravu(z);
    std::lock_guard<std::mutex> lock(g_zapis);
    std::fwrite(ramec.data(), 1, ramec.size(), stdout);  // a window gone is no error here
    std::fflush(stdout);
}

// The answer to a question nobody can be asked any more (the window is gone): the one that
// does nothing, never one that acts on the register or the files.
int32_t bezpecna_odpoved(uint32_t styl) {
    switch (styl & 0x0F) {
        case 1: case 3: case 5: return 2;  // OK or retry or yes/no, cancel: IDCANCEL
        case 2: return 3;                  // abort, retry, ignore: IDABORT
        case 4: return 7;                  // yes, no: IDNO
        default: return 1;                 // IDOK
    }
}

int box_do_kanalu(const std::string& text, uint32_t styl) {
    posli({KANAL_BOX, static_cast<int32_t>(styl), 0, text});
    unsigned char odpoved[4];
    if (std::fread(odpoved, 1, 4, stdin) != 4) return bezpecna_odpoved(styl);
    return static_cast<int32_t>(odpoved[0] | odpoved[1] << 8 | odpoved[2] << 16 | static_cast<uint32_t>(odpoved[3]) << 24);
}

void text_do_kanalu(const std::string& text) { posli({KANAL_TEXT, 0, 0, text}); }
int tray_do_kanalu(int operace, int, int ikona) {
    posli({KANAL_TRAY, operace, ikona, {}});
    return 1;
}
void port_do_kanalu(int otevreno) { posli({KANAL_PORT, otevreno, 0, {}}); }

// The port, speed and terminal a command file or a search left: the window's own from
// now on, as when a transfer or a search runs inside the window. A child without either
// (rewriting the command files, Komunikuj! without a file) has only the ini file's.
void linka_do_kanalu() {
    if (tt.linka_urcena) posli({KANAL_LINKA, static_cast<int32_t>(tt.cislo_portu), static_cast<int32_t>(tt.rychlost), tt.terminal});
}

}  // namespace

bool zapni_kanal_okna() {
    const char* v = std::getenv(PROMENNA_KANALU);
    if (!v || std::string(v) != "1") return false;
    plat_ignoruj_zavrenou_rouru();
    plat_binarni_stdio();  // the frames are binary
    g_zapnuto = true;
    nastav_box_sink(box_do_kanalu);
    nastav_tray_sink(tray_do_kanalu);
    nastav_text_sink(text_do_kanalu);
    nastav_port_sink(port_do_kanalu);
    // Every end: through ukonci_proces (a transfer, err) or by returning from main (a tool).
    nastav_exit_hook([](int) { linka_do_kanalu(); });
    std::atexit(linka_do_kanalu);
    return true;
}

bool kanal_okna() { return g_zapnuto; }


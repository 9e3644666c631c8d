// The child's side of the window's channel: the session's message boxes, terminal text,
// tray events and port state go to the window as frames on standard output
// (core/kanal.h), and at the session's end the line it used.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>

#include "core/kanal.h"
#include "core/zpravy.h"
#include "link/sezeni.h"
#include "platform/platform.h"

namespace {

// Frames from the worker and the session's own thread go out whole, one after another.
void posli(std::mutex& zamek, const ZpravaKanalu& z) {
    std::string ramec = zabal_zpravu(z);
    std::lock_guard<std::mutex> lock(zamek);
    std::fwrite(ramec.data(), 1, ramec.size(), stdout);  // a window gone is no error here
    std::fflush(stdout);
}

int box_do_kanalu(std::mutex& zamek, const std::string& text, uint32_t styl) {
    posli(zamek, {KANAL_BOX, static_cast<int32_t>(styl), 0, text});
    unsigned char odpoved[4];
    if (std::fread(odpoved, 1, 4, stdin) != 4) return bezpecna_odpoved(styl);  // the window is gone
    return static_cast<int32_t>(odpoved[0] | odpoved[1] << 8 | odpoved[2] << 16 | static_cast<uint32_t>(odpoved[3]) << 24);
}

// The port, speed and terminal a command file or a search left: the window's own from
// now on, as when a transfer or a search runs inside the window. A child without either
// (rewriting the command files, Komunikuj! without a file) has only the ini file's.
void linka_do_kanalu(std::mutex& zamek, const TTYINFO& tt) {
    if (tt.linka_urcena)
        posli(zamek, {KANAL_LINKA, static_cast<int32_t>(tt.cislo_portu), static_cast<int32_t>(tt.rychlost),
                      tt.terminal});
}

}  // namespace

bool zapni_kanal_okna(SezeniJadra& s) {
    const char* v = std::getenv(PROMENNA_KANALU);
    if (!v || std::string(v) != "1") return false;
    Sezeni& sezeni = sezeni_linky(s);
    plat_ignoruj_zavrenou_rouru();
    plat_binarni_stdio();  // the frames are binary
    sezeni.kanal_zapnut = true;
    auto zamek = std::make_shared<std::mutex>();
    s.sluzby.box = [zamek](const std::string& text, uint32_t styl) { return box_do_kanalu(*zamek, text, styl); };
    s.sluzby.tray = [zamek](int operace, int, int ikona) {
        posli(*zamek, {KANAL_TRAY, operace, ikona, {}});
        return 1;
    };
    s.sluzby.text = [zamek](const std::string& text) { posli(*zamek, {KANAL_TEXT, 0, 0, text}); };
    s.sluzby.stav_portu = [zamek](int otevreno) { posli(*zamek, {KANAL_PORT, otevreno, 0, {}}); };
    // Every end of the session, by an error, the end of a transfer or a tool's return.
    s.sluzby.konec = [zamek, &s](int) { linka_do_kanalu(*zamek, s.tt); };
    return true;
}

bool kanal_okna(SezeniJadra& s) {
    auto* sezeni = dynamic_cast<Sezeni*>(&s);
    return sezeni && sezeni->kanal_zapnut;
}

#include "core/kanal.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <system_error>

#include "core/globals.h"
#include "core/zpravy.h"
#include "link/terminal.h"
#include "link/tray.h"
#include "platform/platform.h"

namespace {

void pridej_cislo(std::string& out, int32_t n) {
    uint32_t u = static_cast<uint32_t>(n);
    for (int i = 0; i < 4; ++i) out += static_cast<char>((u >> (8 * i)) & 0xFF);
}

int32_t cti_cislo(const std::string& s, size_t od) {
    uint32_t u = 0;
    for (int i = 0; i < 4; ++i) u |= static_cast<uint32_t>(static_cast<unsigned char>(s[od + i])) << (8 * i);
    return static_cast<int32_t>(u);
}

bool g_zapnuto = false;
std::mutex g_zapis;

void posli(const ZpravaKanalu& z) {
    std::string ramec = zabal_zpravu(z);
    std::lock_guard<std::mutex> lock(g_zapis);
    std::fwrite(ramec.data(), 1, ramec.size(), stdout);  // a window gone is no error here
    std::fflush(stdout);
}

// The box's first button, as without anybody to answer.
int32_t vychozi_tlacitko(uint32_t styl) {
    switch (styl & 0x0F) {
        case 2: return 3;
        case 3: case 4: return 6;
        case 5: return 4;
        default: return 1;
    }
}

int box_do_kanalu(const std::string& text, uint32_t styl) {
    posli({KANAL_BOX, static_cast<int32_t>(styl), 0, text});
    unsigned char odpoved[4];
    if (std::fread(odpoved, 1, 4, stdin) != 4) return vychozi_tlacitko(styl);
    return cti_cislo(std::string(reinterpret_cast<char*>(odpoved), 4), 0);
}

void text_do_kanalu(const std::string& text) { posli({KANAL_TEXT, 0, 0, text}); }
int tray_do_kanalu(int operace, int, int ikona) {
    posli({KANAL_TRAY, operace, ikona, {}});
    return 1;
}
void port_do_kanalu(int otevreno) { posli({KANAL_PORT, otevreno, 0, {}}); }

}  // namespace

std::string zabal_zpravu(const ZpravaKanalu& z) {
    std::string out(1, z.druh);
    pridej_cislo(out, z.a);
    pridej_cislo(out, z.b);
    pridej_cislo(out, static_cast<int32_t>(z.text.size()));
    return out + z.text;
}

std::string zabal_odpoved(int32_t odpoved) {
    std::string out;
    pridej_cislo(out, odpoved);
    return out;
}

bool CtenarKanalu::dalsi(ZpravaKanalu& z) {
    constexpr size_t HLAVA = 13;
    if (poskozeny_ || buf_.size() - pozice_ < HLAVA) return false;
    char druh = buf_[pozice_];
    uint32_t delka = static_cast<uint32_t>(cti_cislo(buf_, pozice_ + 9));
    if ((druh != KANAL_TEXT && druh != KANAL_PORT && druh != KANAL_TRAY && druh != KANAL_BOX) ||
        delka > MAX_TEXT_KANALU) {
        poskozeny_ = true;
        buf_.clear();
        pozice_ = 0;
        return false;
    }
    if (buf_.size() - pozice_ < HLAVA + delka) return false;
    z.druh = druh;
    z.a = cti_cislo(buf_, pozice_ + 1);
    z.b = cti_cislo(buf_, pozice_ + 5);
    z.text = buf_.substr(pozice_ + HLAVA, delka);
    pozice_ += HLAVA + delka;
    if (pozice_ == buf_.size()) {
        buf_.clear();
        pozice_ = 0;
    }
    return true;
}

bool zapni_kanal_okna() {
    const char* v = std::getenv(PROMENNA_KANALU);
    if (!v || std::string(v) != "1") return false;
    plat_ignoruj_zavrenou_rouru();
    g_zapnuto = true;
    nastav_box_sink(box_do_kanalu);
    nastav_tray_sink(tray_do_kanalu);
    nastav_text_sink(text_do_kanalu);
    nastav_port_sink(port_do_kanalu);
    return true;
}

bool kanal_okna() { return g_zapnuto; }

std::string jmeno_soketu_okna() {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path adresar = tt.adresar_programu.empty() ? fs::path(".") : fs::path(tt.adresar_programu);
    fs::path plna = fs::weakly_canonical(fs::absolute(adresar, ec), ec);
    // FNV-1a over the absolute directory: a short name that stays within socket limits.
    uint64_t h = 1469598103934665603ull;
    for (unsigned char c : plna.string()) {
        h ^= c;
        h *= 1099511628211ull;
    }
    char jmeno[40];
    std::snprintf(jmeno, sizeof jmeno, "kaslnk-okno-%016llx", static_cast<unsigned long long>(h));
    return plat_adresar_soketu() + plat_oddelovac() + jmeno;
}

int posli_prikaz_oknu(const std::string& cislo) {
    char* konec = nullptr;
    long id = std::strtol(cislo.c_str(), &konec, 10);
    if (cislo.empty() || *konec || id <= 0 || id > 65535) {
        VypisBox("--command chce \xE8\xEDslo p\xF8\xEDkazu okna (nap\xF8\xEDklad 40005).", 48);
        return KOD_OKNO_NEBEZI;
    }
    if (!plat_posli_na_soket(jmeno_soketu_okna(), std::to_string(id) + "\n")) {
        VypisBox("V tomto adres\xE1\xF8i neb\xEC\x9E\xED okno programu kaslnk.", 48);
        return KOD_OKNO_NEBEZI;
    }
    return 0;
}

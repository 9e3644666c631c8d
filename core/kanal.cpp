#include "core/kanal.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "core/sezeni_jadra.h"
#include "core/zpravy.h"
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
    if ((druh != KANAL_TEXT && druh != KANAL_PORT && druh != KANAL_TRAY && druh != KANAL_BOX && druh != KANAL_LINKA) ||
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

std::string jmeno_soketu_okna(const SezeniJadra& s) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path adresar = s.tt.adresar_programu.empty() ? fs::path(".") : fs::path(s.tt.adresar_programu);
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

int posli_prikaz_oknu(SezeniJadra& s, const std::string& cislo, int cas_ms) {
    char* konec = nullptr;
    long id = std::strtol(cislo.c_str(), &konec, 10);
    if (cislo.empty() || *konec || id <= 0 || id > 65535) {
        oznam_spusteni(s, "--command chce \xE8\xEDslo p\xF8\xEDkazu okna (nap\xF8\xEDklad 40005).");
        return KOD_OKNO_NEBEZI;
    }
    std::string odpoved;
    switch (plat_posli_na_soket(jmeno_soketu_okna(s), std::to_string(id) + "\n", cas_ms, odpoved)) {
        case OdeslaniOknu::PRIJATO:
            if (odpoved.empty()) return 0;
            oznam_spusteni(s, odpoved);  // the window's reason for refusing it
            return KOD_OKNO_NEBEZI;
        case OdeslaniOknu::BEZ_ODPOVEDI:
            oznam_spusteni(s, "Okno programu kaslnk v tomto adres\xE1\xF8i neodpov\xED" "d\xE1.");
            return KOD_OKNO_NEODPOVIDA;
        default:
            oznam_spusteni(s, "V tomto adres\xE1\xF8i neb\xEC\x9E\xED okno programu kaslnk.");
            return KOD_OKNO_NEBEZI;
    }
}

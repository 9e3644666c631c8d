#include "ui/okno.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "core/nastroje.h"
#include "core/prenos.h"
#include "core/prikazovy_radek.h"
#include "core/zpravy.h"
#include "core/terminal.h"
#include "format/logo.h"
#include "link/hledani.h"
#include "link/tray.h"
#include "ui/editor.h"
#include "ui/prikazy.h"

namespace {

constexpr const char* TEXT_NENALEZEN = "Text nenalezen!";

}  // namespace

Okno::Okno(PohledOkna& pohled, SezeniJadra& s, std::vector<std::string> argumenty)
    : v_(pohled), s_(s), argumenty_(std::move(argumenty)) {}

void Okno::titulek(const std::string& nazev) {
    v_.nastav_titulek(std::string(TITULEK) + " - " + (nazev.empty() ? BEZ_NAZVU : nazev));
}

void Okno::ok_zprava(const char* format, const std::string& nazev) {
    char text[600];
    std::snprintf(text, sizeof text, format, (nazev.empty() ? BEZ_NAZVU : nazev.c_str()));
    v_.box(text, MB_ICONEXCLAMATION_);
}

int Okno::zeptej_se_na_ulozeni() {
    char text[600];
    std::snprintf(text, sizeof text, "M\xE1m ulo\x9Eit zm\xECny proveden\xE9 v souboru %s?",
                  nazev_.empty() ? BEZ_NAZVU : nazev_.c_str());
    int odpoved = v_.box(text, MB_YESNOCANCEL_ | MB_ICONQUESTION_);
    if (odpoved == IDYES_ && proved(ID_ULOZ) != 1) odpoved = IDCANCEL_;
    return odpoved;
}

int Okno::uloz() {
    if (!okno_edit_) return 0;
    if (soubor_.empty()) return uloz_jako();
    if (zapis_soubor_editoru(soubor_, v_.text_editoru())) {
        potreba_ulozit_ = false;
        return 1;
    }
    ok_zprava("Nelze zapsat soubor %s", nazev_);
    return 0;
}

int Okno::uloz_jako() {
    if (!okno_edit_) return 0;
    std::string cesta = soubor_, jmeno = nazev_;
    if (!v_.dialog_ulozit(s_.tt.adresar_programu, cesta, jmeno)) return 0;
    soubor_ = cesta;
    nazev_ = jmeno;
    titulek(nazev_);
    return uloz();
}

void Okno::nacti() {
    std::string text;
    Nacteni n = nacti_soubor_editoru(soubor_, text);
    if (n == Nacteni::OK) {
        v_.nastav_text_editoru(text);
        return;
    }
    if (n == Nacteni::PRILIS_VELKY) VypisBox(s_, "Soubor je prilis velky.", MB_ICONEXCLAMATION_);
    ok_zprava("Nemohu otev\xF8\xEDt soubor %s!", nazev_);
    soubor_.clear();
    nazev_.clear();
}

bool Okno::vyber_prikazovy_soubor() {
    std::string cesta = s_.tt.cesta_cmd, jmeno;
    bool vybran = v_.dialog_otevrit(s_.tt.pripona_cmd, s_.tt.adresar_programu, cesta, jmeno);
    if (vybran) {
        s_.tt.jmeno_cmd = jmeno;
        s_.tt.cesta_cmd = jmeno;
    }
    titulek(s_.tt.jmeno_cmd);
    return vybran;
}

std::vector<std::string> Okno::argumenty_potomka(const std::vector<std::string>& operace) const {
    std::vector<std::string> out{argumenty_.empty() ? std::string("kaslnk") : argumenty_[0]};
    // The switches of the window's own start, but not those that chose the window or the clock.
    for (size_t i = 1; i < argumenty_.size(); ++i) {
        const std::string& a = argumenty_[i];
        if (je_prepinac(a) && a.find("/w") == std::string::npos && a.find("/t") == std::string::npos)
            out.push_back(a);
    }
    // The serial settings confirmed in the window beat the ini file the child reads.
    if (linka_zvolena_) {
        out.push_back("--line-format");
        out.push_back(popis_linky(s_));
    }
    out.insert(out.end(), operace.begin(), operace.end());
    return out;
}

bool Okno::volno() {
    if (bezi_potomek_) v_.box(TEXT_PRENOS_BEZI, MB_ICONEXCLAMATION_);
    return !bezi_potomek_;
}

void Okno::nastav_linku() {
    DialogLinky d = otevri_dialog_linky(s_);
    if (!v_.dialog_linky(d)) return;
    uloz_dialog_linky(s_, d);
    linka_zvolena_ = true;
    // The open port belongs to the running child, which keeps the settings it started
    // with: the new ones cannot be applied to it now (they hold from the next start).
    if (s_.tt.pripojeno) v_.box("Settings failed!", MB_ICONEXCLAMATION_);
}

void Okno::prepis_cmd(int id) {
    if (!volno()) return;
    DialogPortu d = otevri_dialog_portu(s_);
    if (!v_.dialog_portu(d)) return;
    uloz_dialog_portu(s_, d);
    if (id == ID_NASTAV_PORT) {
        spust({"--set-port", std::to_string(s_.tt.cislo_portu)});
    } else if (d.rychlost.vybrano >= 0) {
        // Without a chosen speed the speed digits of the files stay as they are.
        spust({"--set-speed", std::to_string(s_.tt.rychlost)});
    }
}

void Okno::logo() {
    std::string cesta;
    if (!volno() || !v_.dialog_souboru("*.BMP", "bmp", s_.tt.adresar_programu, cesta)) return;
    std::ifstream f(cesta, std::ios::binary);
    std::string obsah(LOGO_HLAVICKA + LOGO_DATA, '\0');
    f.read(obsah.data(), static_cast<std::streamsize>(obsah.size()));
    obsah.resize(static_cast<size_t>(f.gcount()));
    if (!f && !f.eof()) {
        ok_zprava("Nemohu otev\xF8\xEDt soubor %s!", cesta);
        return;
    }
    NahledLoga n = nahled_loga(obsah);
    if (!n.je_bmp) {
        v_.box("Format souboru neni BMP.", MB_ICONEXCLAMATION_);
        return;
    }
    // The child converts with its warnings and asks whether to load the logo.
    if (v_.nahled_loga(n)) spust({"--logo", cesta});
}

void Okno::spust(const std::vector<std::string>& operace) {
    if (!volno()) return;
    if (v_.spust_potomka(argumenty_potomka(operace)))
        bezi_potomek_ = true;
    else
        v_.box("Nelze spustit program kaslnk.", MB_ICONEXCLAMATION_);
}

void Okno::start() {
    titulek("");
    if (s_.datumcas)
        spust({"/t"});
    else if (s_.AUTOMAT)
        spust({s_.tt.jmeno_cmd});
}

int Okno::proved(int id) {
    switch (id) {
        case ID_NOVY:
            if (potreba_ulozit_ && zeptej_se_na_ulozeni() == IDCANCEL_) return 0;
            v_.ukaz_editor();
            okno_edit_ = true;
            v_.nastav_text_editoru("");
            soubor_.clear();
            nazev_.clear();
            titulek(nazev_);
            potreba_ulozit_ = false;
            return 0;
        case ID_OTEVRI:
            if (potreba_ulozit_ && zeptej_se_na_ulozeni() == IDCANCEL_) return 0;
            v_.ukaz_editor();
            okno_edit_ = true;
            {
                std::string cesta = soubor_, jmeno = nazev_;
                if (v_.dialog_otevrit(s_.tt.pripona_cmd, s_.tt.adresar_programu, cesta, jmeno)) {
                    soubor_ = cesta;
                    nazev_ = jmeno;
                    nacti();
                }
            }
            titulek(nazev_);
            potreba_ulozit_ = false;
            return 0;
        case ID_ULOZ:
            return uloz();
        case ID_ULOZ_JAKO:
            return uloz_jako();
        case ID_TISKNI:
            if (okno_edit_ && !v_.tiskni(nazev_.empty() ? BEZ_NAZVU : nazev_))
                ok_zprava("Could not print file %s", nazev_);
            return 0;
        case ID_KONEC:
            if (potreba_ulozit_ && zeptej_se_na_ulozeni() == IDCANCEL_) return 0;
            v_.zavri();
            fronta_.clear();  // nothing runs after Konec
            return 0;
        case ID_ZPET: case ID_VYJMI: case ID_KOPIRUJ: case ID_VLOZ: case ID_SMAZ: case ID_VYBER_VSE:
            v_.uprav(id);
            return 0;
        case ID_NAJDI:
        case ID_NAHRAD:
            pozice_ = v_.konec_vyberu();
            v_.dialog_hledani(id == ID_NAHRAD);
            return 0;
        case ID_NAJDI_DALSI:
            pozice_ = v_.konec_vyberu();
            if (hledany_.empty()) {
                v_.dialog_hledani(false);
            } else {
                size_t zacatek = 0;
                if (najdi(v_.text_editoru(), hledany_, pozice_, zacatek)) v_.vyber(zacatek, pozice_);
            }
            return 0;
        case ID_PISMO:
            v_.dialog_pisma();
            return 0;
        case ID_VYBER_SOUBOR:
            vyber_prikazovy_soubor();
            return 0;
        case ID_OTEVRI_A_KOMUNIKUJ:
            if (vyber_prikazovy_soubor()) spust({s_.tt.jmeno_cmd});
            return 0;
        case ID_KOMUNIKUJ:
        case ID_PRENOS_PRIPRAVENY:
            // Without a chosen command file the transfer ends in its error 50/1, as the
            // command-file rules have it; the picker is Proved's.
            if (s_.tt.jmeno_cmd.empty())
                spust({"--window-op", std::to_string(OKNO_KOMUNIKUJ)});
            else
                spust({s_.tt.jmeno_cmd});
            return 0;
        case ID_DATUM_CAS:
            spust({"/t"});
            return 0;
        case ID_NASTAVENI_LINKY:
            nastav_linku();
            return 0;
        case ID_NASTAV_PORT:
        case ID_NASTAV_RYCHLOST:
            prepis_cmd(id);
            return 0;
        case ID_NAJDI_KASU:
            spust({"--find-register"});
            return 0;
        case ID_NAJDI_KASY:
            if (volno() && v_.box(TEXT_POTVRZENI_HLEDANI, MB_YESNO_ | MB_ICONEXCLAMATION_ | MB_DEFBUTTON2_) == IDYES_)
                spust({"--find-register", "10"});
            return 0;
        case ID_ANALYZA_PLU:
        case ID_VSECHNY_SOUBORY:
            spust({"--window-op", std::to_string(id)});
            return 0;
        case ID_DAVKA: {
            std::string cesta;
            if (volno() && v_.dialog_souboru("D\xE1vky", s_.tt.pripona_davky, s_.tt.adresar_programu, cesta))
                // By its bare name in the program directory, as command files are run.
                spust({"--window-op", std::to_string(id), cesta.substr(cesta.find_last_of("/\\") + 1)});
            return 0;
        }
        case ID_LOGO:
            logo();
            return 0;
        case ID_NAPOVEDA:
            v_.ukaz_napovedu();
            return 0;
        case ID_O_PROGRAMU:
            v_.ukaz_o_programu();
            return 0;
        default:
            return 0;
    }
}

void Okno::hledani(Hledani co, const std::string& hledany, const std::string& nahrada) {
    if (co == Hledani::ZAVRENO) return;
    hledany_ = hledany;
    auto jednou = [&] {
        size_t zacatek = 0;
        if (!najdi(v_.text_editoru(), hledany_, pozice_, zacatek)) return false;
        v_.vyber(zacatek, pozice_);
        if (co != Hledani::NAJDI_DALSI) {
            v_.nahrad_vyber(nahrada);
            pozice_ = zacatek + nahrada.size();
        }
        return true;
    };
    if (!jednou()) {
        ok_zprava(TEXT_NENALEZEN, "");
        return;
    }
    if (co == Hledani::NAHRAD_VSE)
        while (jednou()) {
        }
}

void Okno::zprava_potomka(const ZpravaKanalu& z) {
    switch (z.druh) {
        case KANAL_TEXT:
            WriteTTYBlock(s_, z.text.data(), static_cast<int>(z.text.size()));
            v_.prekresli_terminal();
            break;
        case KANAL_PORT:
            s_.tt.pripojeno = z.a != 0;
            v_.kurzor(z.a != 0);
            break;
        case KANAL_TRAY:
            v_.tray(z.a, z.b);
            break;
        case KANAL_BOX:
            v_.odpovez_potomkovi(v_.box(z.text, static_cast<uint32_t>(z.a)));
            break;
        case KANAL_LINKA:
            // What a command file or a search can leave: ports 1..9, a speed, a terminal of
            // up to six characters.
            if (z.a >= 1 && z.a <= 9) s_.tt.cislo_portu = static_cast<uint32_t>(z.a);
            if (z.b > 0) s_.tt.rychlost = static_cast<uint32_t>(z.b);
            if (z.text.size() <= 6) {
                s_.tt.terminal = z.text;
                s_.tt.cislo_terminalu = static_cast<uint32_t>(std::strtoul(z.text.c_str(), nullptr, 10));
            }
            aktualizuj_asci_promenne(s_);
            break;
    }
}

void Okno::konec_potomka(int kod) {
    bezi_potomek_ = false;
    s_.tt.pripojeno = 0;
    v_.kurzor(false);
    v_.tray(TRAY_ODEBRAT, 0);  // also when the child could not remove it itself
    // A tool's "nothing found", "refused" or "not loaded" was reported by its own message.
    if (kod != 0 && kod != KOD_NENALEZENO) {
        char text[160];
        std::snprintf(text, sizeof text, "\rP\xF8" "enos skon\xE8il chybou (k\xF3" "d %d), podrobnosti v logu.\r", kod);
        WriteTTYBlock(s_, text, static_cast<int>(std::string(text).size()));
        v_.prekresli_terminal();
    }
}

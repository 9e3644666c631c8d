#include "link/vestavene.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include "core/chyby.h"
#include "core/prenos.h"
#include "core/prikazovy_soubor.h"
#include "core/soubory.h"
#include "core/zpravy.h"
#include "format/fds.h"
#include "format/hex.h"
#include "link/cteni.h"

namespace {

enum class Konec { HOTOVO, ODMITNUTO, VYPRSELO };

// Runs a fixed command file silently through the transfer worker and waits for it. When
// the wait runs out, the worker is stopped and waited for: an operation it had to cut
// off is VYPRSELO (the port and its files are closed then); one it finished is HOTOVO.
Konec spust_pevny_soubor(Sezeni& s, const char* jmeno, bool bez_automatu, long cekani_ms) {
    uloz_flagy(s);
    s.WINDOW = s.debug = s.hlasky = 0;
    if (bez_automatu) s.AUTOMAT = 0;
    s.tt.pripona_cmd = "cmx";
    s.tt.jmeno_cmd = jmeno;
    if (!komunikuj(s)) {
        obnov_flagy(s);
        return Konec::ODMITNUTO;
    }
    bool skoncil = s.eventKonecRSPrenosu.cekej(cekani_ms);
    s.eventKonecRSPrenosu.zrus();
    bool preruseno = false;
    if (skoncil)
        dokonci_vlakno(s);
    else
        preruseno = zastav_vlakno(s);
    obnov_flagy(s);
    return preruseno ? Konec::VYPRSELO : Konec::HOTOVO;
}

// One line of fds.dat without its line end (at most 83 characters, else 52/33);
// false at the end of the file.
bool cti_radek_fds(Sezeni& s, HSOUBOR f, std::string& radek) {
    radek.clear();
    bool neco = false;
    while (!cti_znak_ze_souboru(s, f)) {
        neco = true;
        if (s.readchar == '\n') break;
        if (s.readchar == '\r') continue;
        if (radek.size() == 83) err(52, 33);
        radek += static_cast<char>(s.readchar);
    }
    return neco;
}

// A field of exactly `sirka` characters at `i`, followed by a comma (else 52/podkod).
void pole_s_carkou(const std::string& radek, size_t& i, char* cil, size_t sirka, int32_t podkod) {
    if (i + sirka >= radek.size() || radek[i + sirka] != ',') err(52, podkod);
    std::memcpy(cil, radek.data() + i, sirka);
    cil[sirka] = 0;
    i += sirka + 1;
}

// The lines of the analysis for one register file of fds.dat.
void vypis_soubor(Sezeni& s, const char* kod, const char* nazev, bool s_nazvem, int32_t podkod_nazvu,
                  const char* chybi) {
    char text[128];
    if (!napln_fdsfile_z_fdsu(s, kod)) {
        VypisBlok(s, chybi, 0);
        return;
    }
    if (s_nazvem) {
        uint32_t delka = preved_na_cislo(s.fdsfile.delky[4]);
        if (delka != 12 && delka != 16) err(46, podkod_nazvu);
        std::snprintf(text, sizeof text, "\rSoubor %s ma nazev dlouhy %u znaku.", nazev, delka);
        VypisBlok(s, text, 0);
    }
    std::snprintf(text, sizeof text, "\rV pameti je misto pro %u %s. \r", preved_na_cislo(s.fdsfile.kapacita),
                  nazev);
    VypisBlok(s, text, 0);
}

}  // namespace

std::string text_datumu(const MistniCas& t) {
    int rok = t.rok >= 2000 ? t.rok - 2000 : t.rok - 1900;
    char text[40];
    std::snprintf(text, sizeof text, "%02d,%02d,%02d,%02d,%02d\r\n", rok, t.mesic, t.den, t.hodina,
                  t.minuta);
    return text;
}

bool vytvor_datum(Sezeni& s, const std::string& jmeno) {
    std::string radek = text_datumu(s.sluzby.cas ? s.sluzby.cas() : plat_mistni_cas());
    std::FILE* f = plat_otevri_soubor(skutecne_jmeno(pridej_path(s, jmeno)), "wb");
    if (!f) {
        if (s.debug) VypisBox(s, "Nepodarilo se otevrit soubor data a casu.", 48);
        return false;
    }
    bool zapsano = std::fwrite(radek.data(), 1, radek.size(), f) == radek.size();
    if (std::fclose(f) != 0) zapsano = false;
    if (!zapsano && (s.debug || s.WINDOW)) VypisBox(s, "\nNepodarilo se zapsat do souboru data a casu.", 48);
    return zapsano;
}

void Sezeni::nastav_cas_datum() {
    Sezeni& s = *this;
    // p_time.dat is written only when this process may work in the directory.
    if (bezi_prenos(s)) {
        komunikuj(s);  // only shows why it cannot start
        return;
    }
    if (!zamkni_adresar(s)) {
        if (s.AUTOMAT && !s.WINDOW) ukonci(KOD_OBSAZENY_ADRESAR);
        return;
    }
    // Sending an older p_time.dat would set a wrong time.
    if (!vytvor_datum(s, "p_time.dat")) err(26, 2);
    switch (spust_pevny_soubor(s, "timd.cmx", false, s.sluzby.cekani_na_cas_ms)) {
        case Konec::VYPRSELO: err(109, 3);
        case Konec::HOTOVO: VypisBox(s, "\xC8" "as je v pokladn\xEC.", 48); break;
        case Konec::ODMITNUTO: break;
    }
}

int NahrajGlogoRS(Sezeni& s, int) {
    return spust_pevny_soubor(s, "glog.cmx", false, s.sluzby.cekani_na_logo_ms) == Konec::HOTOVO ? 0 : 1;
}

bool stahni_fds(Sezeni& s) {
    Konec k = spust_pevny_soubor(s, "fdsu.cmx", true, s.sluzby.cekani_na_fds_ms);
    if (k == Konec::VYPRSELO) err(109, 2);
    return k == Konec::HOTOVO;
}

int napln_fdsfile_z_fdsu(Sezeni& s, const char* kod) {
    const std::string klic = std::string("/HDR1/") + kod;
    HSOUBOR f = otevri_soubor(s, "fds.dat", 'r');
    std::string radek;
    bool nalezeno = false;
    while (cti_radek_fds(s, f, radek)) {
        if (radek.compare(0, klic.size(), klic) == 0) {
            nalezeno = true;
            break;
        }
    }
    zavri_soubor(s, f);
    if (!nalezeno) return 0;

    std::memset(&s.fdsfile, 0, sizeof s.fdsfile);
    size_t i = 6;
    pole_s_carkou(radek, i, s.fdsfile.kod_souboru, 2, 21);
    pole_s_carkou(radek, i, s.fdsfile.kod_tabulky, 2, 22);
    pole_s_carkou(radek, i, s.fdsfile.kapacita, 4, 23);
    pole_s_carkou(radek, i, s.fdsfile.pole4, 2, 24);
    pole_s_carkou(radek, i, s.fdsfile.pole5, 4, 25);
    pole_s_carkou(radek, i, s.fdsfile.poradi, 2, 26);
    pole_s_carkou(radek, i, s.fdsfile.pole7, 2, 27);
    size_t zacatek_delek = i;
    pole_s_carkou(radek, i, s.fdsfile.delky[0], 2, 28);
    // The later group lengths: one or two characters each, up to a comma or the end.
    for (int g = 1; g < 16; ++g) {
        size_t konec = radek.find(',', i);
        if (konec == std::string::npos) konec = radek.size();
        size_t delka = konec - i;
        bool posledni = g == 15;
        if (delka < 1 || delka > 2 || (posledni != (konec == radek.size()))) err(52, 29);
        std::memcpy(s.fdsfile.delky[g], radek.data() + i, delka);
        s.fdsfile.delky[g][delka] = 0;
        i = konec + 1;
    }
    std::string delky = radek.substr(zacatek_delek);
    std::memcpy(s.fdsfile.delky_text, delky.c_str(), std::min(delky.size(), sizeof s.fdsfile.delky_text - 1));
    return 1;
}

void analyzuj_PLUfds(Sezeni& s) {
    if (!stahni_fds(s)) return;  // an older fds.dat would describe another state
    vypis_soubor(s, "11", "PLU", true, 10, "\rSoubor PLU neexisuje.");
    vypis_soubor(s, "31", "EAN", true, 11, "\rSoubor EAN neexisuje.");
    vypis_soubor(s, "12", "Link PLU", false, 0, "\rSoubor Link PLU neexistuje.");
    vypis_soubor(s, "36", "Link EAN", false, 0, "\rSoubor Link EAN neexistuje.");
}

int Zkus_vsechny_soubory(Sezeni& s) {
    if (bezi_prenos(s)) {
        VypisBox(s, TEXT_PRENOS_BEZI, 48);
        return 0;
    }
    if (!zamkni_adresar(s)) return 0;
    // The first command file by name (the order of a directory listing is not fixed).
    std::error_code ec;
    std::vector<std::string> nalezene = soubory_s_priponou(s, s.tt.pripona_cmd, ec);
    if (nalezene.empty()) err(89, 17);
    s.tt.jmeno_cmd = nalezene.front();
    if (s.debug) VypisBlok(s, "Pracuji podle souboru " + s.tt.jmeno_cmd + ".\r", 0);
    uvolni_cmd_buffer(s);
    s.tt.pokracovani = 0;
    ctiCMD(s);
    s.tt.prikazovy_paket = "/20-00/00/;test";
    for (int i = 0; i < 16; ++i) {
        for (int j = 0; j < 16; ++j) {
            preved_byte_na_ascii(static_cast<uint8_t>(j * 16 + i), &s.tt.prikazovy_paket[7]);
            precti_data(s);
        }
    }
    uvolni_adresar(s);
    return 1;
}

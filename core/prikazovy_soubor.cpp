#include "core/prikazovy_soubor.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <system_error>
#include <utility>
#include <vector>

#include "core/chyby.h"
#include "core/sezeni_jadra.h"
#include "platform/kodovani.h"
#include "core/soubory.h"
#include "core/zpravy.h"
#include "platform/platform.h"

namespace {

namespace fs = std::filesystem;

// A relative name of the command file with '\\' and '/' as the system's separator.
std::string cesta_systemu(std::string jmeno) {
    for (char& c : jmeno)
        if (c == '\\' || c == '/') c = plat_oddelovac();
    return jmeno;
}

// Operations that read or write a data file: send, read, raw memory both ways, the FDS
// list and the status (not a command without data or a hang-up).
bool potrebuje_data(char prikaz, char kod) {
    return prikaz == '1' || prikaz == '2' || prikaz == '4' || prikaz == '5' ||
           (prikaz == '9' && (kod == '0' || kod == '9'));
}

// A control character (NUL included) or DEL: such a byte would go out on the line or into
// the log line as it is.
bool je_ridici(char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }
bool ma_ridici_znak(const std::string& text) { return std::any_of(text.begin(), text.end(), je_ridici); }

// True when the directories of a relative name (in the system's form) resolve, symbolic
// links followed, to the program directory or below it. A directory that does not exist
// yet resolves by its name.
bool adresare_v_programu(const SezeniJadra& s, const std::string& jmeno) {
    const size_t lomitko = jmeno.rfind(plat_oddelovac());
    if (lomitko == std::string::npos) return true;
    const std::string program = pridej_path(s, "");
    std::error_code ec;
    const fs::path koren = fs::canonical(program.empty() ? fs::path(".") : fs::path(program), ec);
    if (ec) return true;  // no program directory: nothing can be written into it anyway
    const fs::path cil = fs::weakly_canonical(fs::path(pridej_path(s, jmeno.substr(0, lomitko))), ec);
    if (ec) return false;
    return std::mismatch(koren.begin(), koren.end(), cil.begin(), cil.end()).first == koren.end();
}

// A field with a control character or DEL is refused (51/64); the log line of the error
// report shows such a byte as '?'.
void bez_ridicich_znaku(std::string& pole) {
    if (!ma_ridici_znak(pole)) return;
    std::replace_if(pole.begin(), pole.end(), je_ridici, '?');
    err(51, CHYBA_RIDICI_ZNAK);
}

// The character at i of the loaded text; 0 past its end.
char znak(const SezeniJadra& s, size_t i) { return i < s.CMDbuf.size() ? s.CMDbuf[i] : '\0'; }

// The decimal value of the leading digits.
long hodnota_cislic(const std::string& text) {
    long v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') break;
        v = v * 10 + (c - '0');
        if (v > 1000000) break;  // already out of every range checked
    }
    return v;
}

// A header field of exactly one character followed by ','.
char jednoznakove_pole(const SezeniJadra& s, size_t& i, int bez_carky) {
    char c = znak(s, i);
    if (znak(s, i + 1) != ',') err(51, bez_carky);
    i += 2;
    return c;
}

// A text field ended by ','; more than `max` characters is error 51/`prilis_dlouhe`.
std::string pole_do_carky(const SezeniJadra& s, size_t& i, size_t max, int prilis_dlouhe) {
    std::string pole;
    while (znak(s, i) != ',') {
        if (pole.size() == max) err(51, prilis_dlouhe);
        pole += znak(s, i++);
    }
    ++i;
    return pole;
}

// The log name: 1 to 120 characters ended by ',', CR or '.'; i stays on the end character.
void cti_jmeno_logu(SezeniJadra& s, size_t& i) {
    std::string jmeno;
    while (znak(s, i) != ',' && znak(s, i) != '\r' && znak(s, i) != '.') {
        if (jmeno.size() == MAX_LOG_JMENO || i >= s.CMDbuf.size()) err(51, 33);
        jmeno += znak(s, i++);
    }
    if (jmeno.empty()) err(51, 33);
    if (!jmeno_v_adresari(s, jmeno)) err(51, CHYBA_LOG_JMENO_MIMO);
    s.tt.logovy_soubor = cesta_systemu(jmeno) + ".log";
}

void cti_hlavicku_seriovou(SezeniJadra& s, size_t& i) {
    std::string terminal;
    while (znak(s, i) != ',') {
        if (terminal.size() == 6) err(51, 17);
        terminal += znak(s, i++);
    }
    if (terminal.empty()) err(51, 19);
    ++i;
    s.tt.terminal = terminal;
    bez_ridicich_znaku(s.tt.terminal);
    long cislo = hodnota_cislic(terminal);
    if (cislo > 255) err(51, 20);
    s.tt.cislo_terminalu = static_cast<uint32_t>(cislo);

    char port = jednoznakove_pole(s, i, 27);
    if (port < '1' || port > '9') err(51, 28);
    s.tt.cislo_portu = static_cast<uint32_t>(port - '0');
    s.tt.znak_portu = port;

    char rychlost = jednoznakove_pole(s, i, 29);
    if (rychlost < '0' || rychlost > '7') err(51, 30);
    s.tt.rychlost = 300u << (rychlost - '0');
    s.tt.znak_rychlosti = rychlost;
    s.tt.linka_urcena = true;

    char duplex = jednoznakove_pole(s, i, 31);
    if (duplex != '0' && duplex != '1') err(51, 32);
    s.tt.duplex = duplex - '0';

    cti_jmeno_logu(s, i);
}

void cti_hlavicku_sitovou(SezeniJadra& s, size_t& i) {
    s.tt.prvni_ip_adresa = pole_do_carky(s, i, 21, 22);
    s.tt.druha_ip_adresa = pole_do_carky(s, i, 21, 25);
    bez_ridicich_znaku(s.tt.prvni_ip_adresa);
    bez_ridicich_znaku(s.tt.druha_ip_adresa);
    cti_jmeno_logu(s, i);
}

void nacti_soubor(SezeniJadra& s) {
    std::string jmeno = s.tt.jmeno_cmd;
    if (jmeno.empty()) err(50, 1);
    if (jmeno.size() > MAX_JMENO_CMD) err(50, 2);
    jmeno = mala_pismena(jmeno);
    size_t tecka = jmeno.find('.');
    if (tecka == std::string::npos)
        jmeno += "." + s.tt.pripona_cmd;
    else if (jmeno.substr(tecka + 1) != s.tt.pripona_cmd)
        err(50, 3);
    s.tt.jmeno_cmd = jmeno;

    HSOUBOR f = otevri_soubor(s, jmeno, 'r');
    uint64_t velikost = velikost_souboru(f);
    if (velikost < MIN_DELKA_CMD) err(50, 4);
    if (velikost > MAX_DELKA_CMD) err(50, 5);
    if (s.CMDbufExist) err(100, 3);
    std::string text;
    text.reserve(static_cast<size_t>(velikost));
    while (!cti_znak_ze_souboru(s, f)) text += static_cast<char>(s.readchar);
    zavri_soubor(s, f);

    s.CMDbuf = normalizuj_konce_radku(text);
    s.CMDbufExist = 1;
    s.tt.delka_cmd = s.CMDbuf.size();
}

void cti_hlavicku(SezeniJadra& s) {
    // The form: whichever of ',' and '.' comes first among the first 10 characters.
    s.SIT = -1;
    for (size_t k = 0; k < 10 && k < s.CMDbuf.size() && s.SIT < 0; ++k) {
        if (s.CMDbuf[k] == ',') s.SIT = 0;
        else if (s.CMDbuf[k] == '.') s.SIT = 1;
    }
    if (s.SIT < 0) {
        s.SIT = 0;
        err(51, 15);
    }
    size_t i = 0;
    if (s.SIT) cti_hlavicku_sitovou(s, i);
    else cti_hlavicku_seriovou(s, i);

    // Skip the rest of the header up to the first operation.
    size_t preskoceno = 0;
    while (znak(s, i) != '/' && znak(s, i) != '$') {
        if (i >= s.CMDbuf.size() || ++preskoceno > MAX_PRESKOK) err(51, 34);
        ++i;
    }
    s.tt.pokracovani = 1;
    s.tt.pozice_v_cmd = i;
}

void cti_datove_jmeno(SezeniJadra& s, size_t& i) {
    std::string jmeno;
    while (znak(s, i) != '\r' && znak(s, i) != '.' && i < s.CMDbuf.size()) {
        if (jmeno.size() == MAX_DATOVE_JMENO) err(51, 44);
        jmeno += znak(s, i++);
    }
    jmeno = mala_pismena(jmeno);  // the name as the files are named
    if (!jmeno_v_adresari(s, jmeno)) err(51, CHYBA_DATOVE_JMENO_MIMO);
    jmeno = cesta_systemu(jmeno);
    if (jmeno.find("xxxx") != std::string::npos) jmeno = nove_jmeno(s, jmeno);
    s.tt.datovy_soubor = jmeno + ".dat";
    s.tt.fds_soubor = jmeno + ".fds";
}

}  // namespace

void uvolni_cmd_buffer(SezeniJadra& s) {
    s.CMDbuf.clear();
    s.CMDbuf.shrink_to_fit();
    s.CMDbufExist = 0;
}

std::string normalizuj_konce_radku(const std::string& text) {
    std::string s = text;
    size_t i = 0;
    while (i < s.size()) {
        if (s[i] == '\r' || s[i] == '\n') {
            if (i > 0 && s[i - 1] == '\r') {
                s.erase(i, 1);
                ++i;  // the character that moved here is passed over
                continue;
            }
            s[i] = '\r';
        }
        ++i;
    }
    if (s.empty() || s.back() != '\r') s += '\r';
    return s;
}

bool jmeno_v_adresari(const SezeniJadra& s, const std::string& jmeno) {
    // Absolute names, drive letters (and stream names after ':') leave the directory.
    if (jmeno.empty() || jmeno[0] == '/' || jmeno[0] == '\\' ||
        jmeno.find(':') != std::string::npos)
        return false;
    size_t zacatek = 0;
    for (;;) {
        size_t konec = jmeno.find_first_of("/\\", zacatek);
        std::string cast = jmeno.substr(zacatek, konec == std::string::npos ? konec : konec - zacatek);
        // An empty part (a name ending in a separator) or one of dots alone ("..") would
        // name a hidden file or climb out of the directory.
        if (cast.find_first_not_of('.') == std::string::npos || ma_ridici_znak(cast)) return false;
        if (konec == std::string::npos) break;
        zacatek = konec + 1;
    }
    // A subdirectory that is a symbolic link to elsewhere leaves it too.
    return adresare_v_programu(s, cesta_systemu(jmeno));
}

int ctiCMD(SezeniJadra& s) {
    if (s.tt.pokracovani == 0) {
        nacti_soubor(s);
        cti_hlavicku(s);
        s.tt.datovy_soubor.clear();  // a data name holds for the lines after it in its own file only
    }
    size_t i = s.tt.pozice_v_cmd;
    if (i >= s.tt.delka_cmd) return 0;

    s.tt.prikazovy_paket.clear();
    if (znak(s, i) == '$') {
        ++s.ZavesLinku;
        ++i;
    } else {
        s.ZavesLinku = 0;
    }
    while (znak(s, i) != ';' && znak(s, i) != '\r' && i < s.CMDbuf.size()) {
        if (s.tt.prikazovy_paket.size() == MAX_PRIKAZ) err(51, 35);
        s.tt.prikazovy_paket += znak(s, i++);
    }
    bez_ridicich_znaku(s.tt.prikazovy_paket);

    s.noterminate = 0;
    s.bez_pracovniho_souboru = 0;
    const std::string& p = s.tt.prikazovy_paket;
    char prikaz = p.size() > 1 ? p[1] : '\0';
    s.kod_specialni = p.size() > 2 ? p[2] : '\0';
    switch (prikaz) {
        case '1': case '4': case '5': case '9': break;
        case '2': if (s.kod_specialni == '1') s.noterminate = 1; break;
        case '3': s.bez_pracovniho_souboru = 1; break;
        default: err(51, 36);
    }

    if (znak(s, i) == ';') {
        ++i;
        cti_datove_jmeno(s, i);
    }
    // Without a name the data would go to a file named only by its extension.
    if (potrebuje_data(prikaz, s.kod_specialni) && s.tt.datovy_soubor.empty())
        err(51, CHYBA_DATOVE_JMENO_CHYBI);
    if (s.debug) {
        std::string text = "Pracuji se souborem " + s.tt.datovy_soubor + ".";
        VypisBlok(s, text, 1);
    }
    while (znak(s, i) != '\r') {
        if (i >= s.CMDbuf.size()) err(51, 45);
        ++i;
    }
    s.tt.pozice_v_cmd = i + 1;
    return 1;
}

std::string nove_jmeno(SezeniJadra& s, const std::string& jmeno) {
    size_t x = jmeno.find("xxxx");
    if (x == std::string::npos) err(100, 4);
    const std::string predpona = jmeno.substr(0, x);
    // The directory part of the name (a subdirectory of the program directory) is listed.
    const size_t lomitko = predpona.rfind(plat_oddelovac());
    const std::string podadresar = lomitko == std::string::npos ? "" : predpona.substr(0, lomitko + 1);
    const std::string zacatek = predpona.substr(podadresar.size());

    const fs::path adresar = pridej_path(s, podadresar).empty() ? fs::path(".") : fs::path(pridej_path(s, podadresar));
    // Files prefix*.dat, whatever their letter case, newest birth time first. The list is
    // taken in descending name order, so among files of the same time the highest number
    // stays (a birth time has a resolution of one second).
    std::vector<std::string> nalezene;
    std::error_code ec;
    fs::directory_iterator it(adresar, ec);
    if (ec && ec != std::errc::no_such_file_or_directory) err(89, 13);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::string nazev = it->path().filename().string();
        std::string male = mala_pismena(nazev);
        if (male.size() >= zacatek.size() + 4 && male.compare(0, zacatek.size(), zacatek) == 0 &&
            male.compare(male.size() - 4, 4, ".dat") == 0)
            nalezene.push_back(podadresar + nazev);
    }
    if (ec && ec != std::errc::no_such_file_or_directory) err(89, 14);
    if (nalezene.empty()) return predpona + "0000";

    std::sort(nalezene.begin(), nalezene.end(), std::greater<>());
    const std::string* nejnovejsi = nullptr;
    int64_t nejcas = 0;
    for (const std::string& nazev : nalezene) {
        if (s.debug) VypisBlok(s, "Nasel jsem soubor " + nazev + ".\r", 0);
        int64_t cas = plat_cas_vytvoreni(pridej_path(s, nazev));
        if (!nejnovejsi || cas > nejcas) {
            nejnovejsi = &nazev;
            nejcas = cas;
        }
    }
    long cislo = hodnota_cislic(nejnovejsi->substr(predpona.size(), 4));
    if (cislo > 9998) cislo = 0;

    for (int pokus = 1;; ++pokus) {
        if (pokus > 10000) err(89, 16);
        ++cislo;  // past 9999 the number grows a digit: an older file is never overwritten
        char cislice[24];
        std::snprintf(cislice, sizeof cislice, "%04ld", cislo);
        std::string nove = predpona + cislice;
        fs::file_status st = fs::status(skutecne_jmeno(pridej_path(s, nove + ".dat")), ec);
        if (st.type() == fs::file_type::not_found) return nove;
        if (ec) err(89, 15);
    }
}

void uloz_flagy(SezeniJadra& s) {
    s.debugf.hodnota = s.debug;
    s.tichof.hodnota = s.ticho;
    s.nokomunf.hodnota = s.nokomun;
    s.nodtrf.hodnota = s.nodtr;
    s.hlaskyf.hodnota = s.hlasky;
    s.WINDOWf.hodnota = s.WINDOW;
    s.AUTOMATf.hodnota = s.AUTOMAT;
    s.tt.pripona_zaloha = s.tt.pripona_cmd;
}

void obnov_flagy(SezeniJadra& s) {
    s.debug = s.debugf.hodnota;
    s.ticho = s.tichof.hodnota;
    s.nokomun = s.nokomunf.hodnota;
    s.nodtr = s.nodtrf.hodnota;
    s.hlasky = s.hlaskyf.hodnota;
    s.WINDOW = s.WINDOWf.hodnota;
    s.AUTOMAT = s.AUTOMATf.hodnota;
    s.tt.pripona_cmd = s.tt.pripona_zaloha;
}

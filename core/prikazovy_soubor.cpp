#include "core/prikazovy_soubor.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <system_error>
#include <utility>
#include <vector>

#include "core/chyby.h"
#include "platform/kodovani.h"
#include "core/soubory.h"
#include "core/zpravy.h"
#include "platform/platform.h"

std::string CMDbuf;
int CMDbufExist = 0;
Twin AUTOMATf;

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
bool adresare_v_programu(const std::string& jmeno) {
    const size_t lomitko = jmeno.rfind(plat_oddelovac());
    if (lomitko == std::string::npos) return true;
    const std::string program = pridej_path("");
    std::error_code ec;
    const fs::path koren = fs::canonical(program.empty() ? fs::path(".") : fs::path(program), ec);
    if (ec) return true;  // no program directory: nothing can be written into it anyway
    const fs::path cil = fs::weakly_canonical(fs::path(pridej_path(jmeno.substr(0, lomitko))), ec);
    if (ec) return false;
    return std::mismatch(koren.begin(), koren.end(), cil.begin(), cil.end()).first == koren.end();
}

// A field with a control character or DEL is refused (51/64); the log line that err()
// writes shows such a byte as '?'.
void bez_ridicich_znaku(std::string& pole) {
    if (!ma_ridici_znak(pole)) return;
    std::replace_if(pole.begin(), pole.end(), je_ridici, '?');
    err(51, CHYBA_RIDICI_ZNAK);
}

// The character at i of the loaded text; 0 past its end.
char znak(size_t i) { return i < CMDbuf.size() ? CMDbuf[i] : '\0'; }

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
char jednoznakove_pole(size_t& i, int bez_carky) {
    char c = znak(i);
    if (znak(i + 1) != ',') err(51, bez_carky);
    i += 2;
    return c;
}

// A text field ended by ','; more than `max` characters is error 51/`prilis_dlouhe`.
std::string pole_do_carky(size_t& i, size_t max, int prilis_dlouhe) {
    std::string pole;
    while (znak(i) != ',') {
        if (pole.size() == max) err(51, prilis_dlouhe);
        pole += znak(i++);
    }
    ++i;
    return pole;
}

// The log name: 1 to 120 characters ended by ',', CR or '.'; i stays on the end character.
void cti_jmeno_logu(size_t& i) {
    std::string jmeno;
    while (znak(i) != ',' && znak(i) != '\r' && znak(i) != '.') {
        if (jmeno.size() == MAX_LOG_JMENO || i >= CMDbuf.size()) err(51, 33);
        jmeno += znak(i++);
    }
    if (jmeno.empty()) err(51, 33);
    if (!jmeno_v_adresari(jmeno)) err(51, CHYBA_LOG_JMENO_MIMO);
    tt.logovy_soubor = cesta_systemu(jmeno) + ".log";
}

void cti_hlavicku_seriovou(size_t& i) {
    std::string terminal;
    while (znak(i) != ',') {
        if (terminal.size() == 6) err(51, 17);
        terminal += znak(i++);
    }
    if (terminal.empty()) err(51, 19);
    ++i;
    tt.terminal = terminal;
    bez_ridicich_znaku(tt.terminal);
    long cislo = hodnota_cislic(terminal);
    if (cislo > 255) err(51, 20);
    tt.cislo_terminalu = static_cast<uint32_t>(cislo);

    char port = jednoznakove_pole(i, 27);
    if (port < '1' || port > '9') err(51, 28);
    tt.cislo_portu = static_cast<uint32_t>(port - '0');
    tt.znak_portu = port;

    char rychlost = jednoznakove_pole(i, 29);
    if (rychlost < '0' || rychlost > '7') err(51, 30);
    tt.rychlost = 300u << (rychlost - '0');
    tt.znak_rychlosti = rychlost;
    tt.linka_urcena = true;

    char duplex = jednoznakove_pole(i, 31);
    if (duplex != '0' && duplex != '1') err(51, 32);
    tt.duplex = duplex - '0';

    cti_jmeno_logu(i);
}

void cti_hlavicku_sitovou(size_t& i) {
    tt.prvni_ip_adresa = pole_do_carky(i, 21, 22);
    tt.druha_ip_adresa = pole_do_carky(i, 21, 25);
    bez_ridicich_znaku(tt.prvni_ip_adresa);
    bez_ridicich_znaku(tt.druha_ip_adresa);
    cti_jmeno_logu(i);
}

void nacti_soubor() {
    std::string jmeno = tt.jmeno_cmd;
    if (jmeno.empty()) err(50, 1);
    if (jmeno.size() > MAX_JMENO_CMD) err(50, 2);
    jmeno = mala_pismena(jmeno);
    size_t tecka = jmeno.find('.');
    if (tecka == std::string::npos)
        jmeno += "." + tt.pripona_cmd;
    else if (jmeno.substr(tecka + 1) != tt.pripona_cmd)
        err(50, 3);
    tt.jmeno_cmd = jmeno;

    HSOUBOR f = otevri_soubor(jmeno, 'r');
    uint64_t velikost = velikost_souboru(f);
    if (velikost < MIN_DELKA_CMD) err(50, 4);
    if (velikost > MAX_DELKA_CMD) err(50, 5);
    if (CMDbufExist) err(100, 3);
    std::string text;
    text.reserve(static_cast<size_t>(velikost));
    while (!cti_znak_ze_souboru(f)) text += static_cast<char>(readchar);
    zavri_soubor(f);

    CMDbuf = normalizuj_konce_radku(text);
    CMDbufExist = 1;
    tt.delka_cmd = CMDbuf.size();
}

void cti_hlavicku() {
    // The form: whichever of ',' and '.' comes first among the first 10 characters.
    SIT = -1;
    for (size_t k = 0; k < 10 && k < CMDbuf.size() && SIT < 0; ++k) {
        if (CMDbuf[k] == ',') SIT = 0;
        else if (CMDbuf[k] == '.') SIT = 1;
    }
    if (SIT < 0) {
        SIT = 0;
        err(51, 15);
    }
    size_t i = 0;
    if (SIT) cti_hlavicku_sitovou(i);
    else cti_hlavicku_seriovou(i);

    // Skip the rest of the header up to the first operation.
    size_t preskoceno = 0;
    while (znak(i) != '/' && znak(i) != '$') {
        if (i >= CMDbuf.size() || ++preskoceno > MAX_PRESKOK) err(51, 34);
        ++i;
    }
    tt.pokracovani = 1;
    tt.pozice_v_cmd = i;
}

void cti_datove_jmeno(size_t& i) {
    std::string jmeno;
    while (znak(i) != '\r' && znak(i) != '.' && i < CMDbuf.size()) {
        if (jmeno.size() == MAX_DATOVE_JMENO) err(51, 44);
        jmeno += znak(i++);
    }
    jmeno = mala_pismena(jmeno);  // the name as the files are named
    if (!jmeno_v_adresari(jmeno)) err(51, CHYBA_DATOVE_JMENO_MIMO);
    jmeno = cesta_systemu(jmeno);
    if (jmeno.find("xxxx") != std::string::npos) jmeno = nove_jmeno(jmeno);
    tt.datovy_soubor = jmeno + ".dat";
    tt.fds_soubor = jmeno + ".fds";
}

}  // namespace

void uvolni_cmd_buffer() {
    CMDbuf.clear();
    CMDbuf.shrink_to_fit();
    CMDbufExist = 0;
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

bool jmeno_v_adresari(const std::string& jmeno) {
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
    return adresare_v_programu(cesta_systemu(jmeno));
}

int ctiCMD() {
    if (tt.pokracovani == 0) {
        nacti_soubor();
        cti_hlavicku();
        tt.datovy_soubor.clear();  // a data name holds for the lines after it in its own file only
    }
    size_t i = tt.pozice_v_cmd;
    if (i >= tt.delka_cmd) return 0;

    tt.prikazovy_paket.clear();
    if (znak(i) == '$') {
        ++ZavesLinku;
        ++i;
    } else {
        ZavesLinku = 0;
    }
    while (znak(i) != ';' && znak(i) != '\r' && i < CMDbuf.size()) {
        if (tt.prikazovy_paket.size() == MAX_PRIKAZ) err(51, 35);
        tt.prikazovy_paket += znak(i++);
    }
    bez_ridicich_znaku(tt.prikazovy_paket);

    noterminate = 0;
    bez_pracovniho_souboru = 0;
    const std::string& p = tt.prikazovy_paket;
    char prikaz = p.size() > 1 ? p[1] : '\0';
    kod_specialni = p.size() > 2 ? p[2] : '\0';
    switch (prikaz) {
        case '1': case '4': case '5': case '9': break;
        case '2': if (kod_specialni == '1') noterminate = 1; break;
        case '3': bez_pracovniho_souboru = 1; break;
        default: err(51, 36);
    }

    if (znak(i) == ';') {
        ++i;
        cti_datove_jmeno(i);
    }
    // Without a name the data would go to a file named only by its extension.
    if (potrebuje_data(prikaz, kod_specialni) && tt.datovy_soubor.empty())
        err(51, CHYBA_DATOVE_JMENO_CHYBI);
    if (debug) {
        std::string text = "Pracuji se souborem " + tt.datovy_soubor + ".";
        VypisBlok(text, 1);
    }
    while (znak(i) != '\r') {
        if (i >= CMDbuf.size()) err(51, 45);
        ++i;
    }
    tt.pozice_v_cmd = i + 1;
    return 1;
}

std::string nove_jmeno(const std::string& jmeno) {
    size_t x = jmeno.find("xxxx");
    if (x == std::string::npos) err(100, 4);
    const std::string predpona = jmeno.substr(0, x);
    // The directory part of the name (a subdirectory of the program directory) is listed.
    const size_t lomitko = predpona.rfind(plat_oddelovac());
    const std::string podadresar = lomitko == std::string::npos ? "" : predpona.substr(0, lomitko + 1);
    const std::string zacatek = predpona.substr(podadresar.size());

    const fs::path adresar = pridej_path(podadresar).empty() ? fs::path(".") : fs::path(pridej_path(podadresar));
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
        if (debug) VypisBlok("Nasel jsem soubor " + nazev + ".\r", 0);
        int64_t cas = plat_cas_vytvoreni(pridej_path(nazev));
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
        fs::file_status st = fs::status(skutecne_jmeno(pridej_path(nove + ".dat")), ec);
        if (st.type() == fs::file_type::not_found) return nove;
        if (ec) err(89, 15);
    }
}

void uloz_flagy() {
    debugf.hodnota = debug;
    tichof.hodnota = ticho;
    nokomunf.hodnota = nokomun;
    nodtrf.hodnota = nodtr;
    hlaskyf.hodnota = hlasky;
    WINDOWf.hodnota = WINDOW;
    AUTOMATf.hodnota = AUTOMAT;
    tt.pripona_zaloha = tt.pripona_cmd;
}

void obnov_flagy() {
    debug = debugf.hodnota;
    ticho = tichof.hodnota;
    nokomun = nokomunf.hodnota;
    nodtr = nodtrf.hodnota;
    hlasky = hlaskyf.hodnota;
    WINDOW = WINDOWf.hodnota;
    AUTOMAT = AUTOMATf.hodnota;
    tt.pripona_cmd = tt.pripona_zaloha;
}

#include "core/konfigurace.h"

#include <climits>
#include <cstring>

#include "core/chyby.h"
#include "core/sezeni_jadra.h"
#include "core/soubory.h"
#include "core/zpravy.h"

namespace {

bool je_mezera(char c) { return c == ' ' || c == '\t'; }

// The text after the first '=' with leading blanks skipped; npos when there is no '='.
size_t zacatek_hodnoty(const std::string& radek) {
    size_t i = radek.find('=');
    if (i == std::string::npos) return i;
    ++i;
    while (i < radek.size() && je_mezera(radek[i])) ++i;
    return i;
}

bool obsahuje(const std::string& radek, const char* klic) {
    return radek.find(klic) != std::string::npos;
}

// A number key: error 29/5 without '='.
int32_t cislo(const std::string& radek) {
    if (radek.find('=') == std::string::npos) err(29, 5);
    return cti_hodnotu(radek);
}

// A text key: error 29/3 without '='.
void text(const std::string& radek, std::string& cil, size_t limit) {
    if (radek.find('=') == std::string::npos) err(29, 3);
    cti_text(radek, cil, limit);
}

// A flag that a switch on the command line beats: then the line is skipped, even one
// without '='.
void prepinac(const std::string& radek, int32_t& flag, const Twin& twin) {
    if (!twin.zadano) flag = cislo(radek);
}

// Applies every key found in the line; true when the line holds "konec".
bool pouzij_radek(SezeniJadra& s, const std::string& r) {
    if (obsahuje(r, "pripona_cmd")) text(r, s.tt.pripona_cmd, 7);
    if (obsahuje(r, "pripona_davky")) text(r, s.tt.pripona_davky, 7);
    if (obsahuje(r, "cislo_modem")) text(r, s.tt.telefonni_cislo, 21);
    if (obsahuje(r, "timeout")) {
        s.TIMEOUTI = cislo(r);
        if (s.TIMEOUTI > 100) {
            s.TIMEOUTI = 100;
            VypisBox(s, "V souboru .ini je prilis velka hodnota timeoutu.\rNastavuji 100 sec.", 48);
        }
        if (s.TIMEOUTI < 1) {
            s.TIMEOUTI = 1;
            VypisBox(s, "V souboru .ini je prilis mala hodnota timeoutu.\rNastavuji 1 sec.", 48);
        }
    }
    if (obsahuje(r, "ticho")) prepinac(r, s.ticho, s.tichof);
    if (obsahuje(r, "zvuk")) s.zvuk = cislo(r);
    if (obsahuje(r, "komunikace_modem")) s.modem = cislo(r);
    if (obsahuje(r, "wait_modem")) s.tt.cekani_modem = cislo(r);
    if (obsahuje(r, "zpozdeni")) {
        s.zpozdeni = cislo(r);
        if (s.zpozdeni < 0) s.zpozdeni = 0;  // a negative pause would be an endless sleep
    }
    if (obsahuje(r, "localpath")) s.localpath = cislo(r);
    if (obsahuje(r, "teststatus")) s.TestStatus = cislo(r);
    if (obsahuje(r, "okno")) prepinac(r, s.WINDOW, s.WINDOWf);
    if (obsahuje(r, "debug")) prepinac(r, s.debug, s.debugf);
    if (obsahuje(r, "rawdebug")) {
        s.rawdebug = cislo(r);
        if (!s.debugf.zadano) s.debug = s.rawdebug ? 1 : 0;
    }
    if (obsahuje(r, "hlaseni")) prepinac(r, s.hlasky, s.hlaskyf);
    if (obsahuje(r, "konverze")) prepinac(r, s.konverzeW_C, s.konverzeW_Cf);
    return obsahuje(r, "konec");
}

}  // namespace

int cti_radek(SezeniJadra& s, HSOUBOR f, std::string& radek, size_t max) {
    radek.clear();
    while (!cti_znak_ze_souboru(s, f)) {
        char c = static_cast<char>(s.readchar);
        if (c == '\n') return 1;  // a lone LF ends the line by itself
        if (c == '\r') {
            cti_znak_ze_souboru(s, f);  // the character after a CR belongs to the line end
            return 1;
        }
        if (radek.size() >= max) err(23, 1);
        radek += c;
    }
    return 0;
}

int32_t cti_hodnotu(const std::string& radek) {
    size_t i = zacatek_hodnoty(radek);
    if (i == std::string::npos) return 0;
    bool minus = false;
    if (i < radek.size() && (radek[i] == '+' || radek[i] == '-')) minus = radek[i++] == '-';
    int64_t v = 0;
    while (i < radek.size() && radek[i] >= '0' && radek[i] <= '9') {
        v = v * 10 + (radek[i++] - '0');
        if (v > INT32_MAX) v = static_cast<int64_t>(INT32_MAX) + 1;  // saturate
    }
    if (minus) v = -v;
    if (v > INT32_MAX) v = INT32_MAX;
    if (v < INT32_MIN) v = INT32_MIN;
    return static_cast<int32_t>(v);
}

void cti_text(const std::string& radek, std::string& cil, size_t limit) {
    size_t i = zacatek_hodnoty(radek);
    std::string t = i == std::string::npos ? std::string() : radek.substr(i);
    while (!t.empty() && je_mezera(t.back())) t.pop_back();
    if (t.size() > limit) err(29, 4);
    cil = t;
}

int port_z_radku(const std::string& radek) {
    size_t rovna = radek.find('=');
    if (rovna == std::string::npos) return 0;
    size_t a = 0, b = rovna;
    while (a < b && je_mezera(radek[a])) ++a;
    while (b > a && je_mezera(radek[b - 1])) --b;
    if (b - a != 4) return 0;
    const char* k = radek.c_str() + a;
    if ((k[0] | 0x20) != 'c' || (k[1] | 0x20) != 'o' || (k[2] | 0x20) != 'm') return 0;
    if (k[3] < '1' || k[3] > '9') return 0;
    return k[3] - '0';
}

void zpracuj_ini(SezeniJadra& s) {
    for (std::string& p : s.ini_porty) p.clear();
    std::string jmeno = s.tt.jmeno_programu + ".ini";
    if (!soubor_existuje(pridej_path(s, jmeno))) {
        s.exist_ini_file = 0;
        return;
    }
    s.exist_ini_file = 1;
    HSOUBOR f = otevri_soubor(s, jmeno, 'r');
    std::string radek;
    int precteno = 0;
    while (precteno < MAX_RADKU_INI && cti_radek(s, f, radek)) {
        if (radek.compare(0, 2, "//") == 0) continue;
        ++precteno;
        if (int n = port_z_radku(radek)) {
            cti_text(radek, s.ini_porty[n], MAX_RADEK_INI);
            continue;
        }
        if (pouzij_radek(s, radek)) break;
    }
    zavri_soubor(s, f);
}

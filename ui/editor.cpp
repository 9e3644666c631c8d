#include "ui/editor.h"

#include <cstdint>
#include <fstream>
#include <iterator>

#include "platform/kodovani.h"

namespace {

// The UTF-16 text behind the 2-byte mark, in either byte order.
std::string z_utf16(const std::string& bajty, bool big_endian) {
    std::u16string jednotky;
    for (size_t i = 2; i + 1 < bajty.size(); i += 2) {
        unsigned a = static_cast<unsigned char>(bajty[i]), b = static_cast<unsigned char>(bajty[i + 1]);
        jednotky += static_cast<char16_t>(big_endian ? (a << 8 | b) : (b << 8 | a));
    }
    return utf16_na_cp1250(jednotky);
}

}  // namespace

std::string text_ze_souboru(const std::string& bajty) {
    std::string surovy;
    if (bajty.size() >= 2 && bajty[0] == '\xFF' && bajty[1] == '\xFE')
        surovy = z_utf16(bajty, false);
    else if (bajty.size() >= 2 && bajty[0] == '\xFE' && bajty[1] == '\xFF')
        surovy = z_utf16(bajty, true);
    else
        surovy = bajty.substr(0, bajty.find('\0'));
    std::string text;
    text.reserve(surovy.size());
    for (size_t i = 0; i < surovy.size(); ++i) {
        if (surovy[i] != '\r') {
            text += surovy[i];
            continue;
        }
        text += '\n';
        if (i + 1 < surovy.size() && surovy[i + 1] == '\n') ++i;
    }
    return text;
}

std::string soubor_z_textu(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

Nacteni nacti_soubor_editoru(const std::string& cesta, std::string& text) {
    std::ifstream f(cesta, std::ios::binary);
    if (!f) return Nacteni::NELZE_OTEVRIT;
    std::string bajty;
    char kus[4096];
    while (f.read(kus, sizeof kus) || f.gcount() > 0) {
        bajty.append(kus, static_cast<size_t>(f.gcount()));
        if (bajty.size() > MAX_EDITOR) return Nacteni::PRILIS_VELKY;
    }
    if (f.bad()) return Nacteni::NELZE_OTEVRIT;
    text = text_ze_souboru(bajty);
    return Nacteni::OK;
}

bool zapis_soubor_editoru(const std::string& cesta, const std::string& text) {
    std::ofstream f(cesta, std::ios::binary | std::ios::trunc);
    if (!f) return false;
    std::string bajty = soubor_z_textu(text);
    f.write(bajty.data(), static_cast<std::streamsize>(bajty.size()));
    f.close();
    return !f.fail();
}

bool najdi(const std::string& text, const std::string& hledany, size_t& pozice, size_t& zacatek) {
    if (hledany.empty() || pozice > text.size()) return false;
    size_t s = text.find(hledany, pozice);
    if (s == std::string::npos) return false;
    zacatek = s;
    pozice = s + hledany.size();
    return true;
}

bool nahrad(std::string& text, const std::string& hledany, const std::string& nahrada, size_t& pozice) {
    size_t zacatek = 0;
    if (!najdi(text, hledany, pozice, zacatek)) return false;
    text.replace(zacatek, hledany.size(), nahrada);
    pozice = zacatek + nahrada.size();
    return true;
}

int nahrad_vse(std::string& text, const std::string& hledany, const std::string& nahrada, size_t& pozice) {
    int pocet = 0;
    while (nahrad(text, hledany, nahrada, pozice)) ++pocet;
    return pocet;
}

Strankovani strankuj(int sirka, int vyska, int sirka_znaku, int vyska_znaku, int proklad,
                     int pocet_radku) {
    Strankovani s;
    s.vyska_radku = vyska_znaku + proklad;
    if (s.vyska_radku <= 0 || sirka_znaku <= 0) return {};
    s.znaku_na_radek = sirka / sirka_znaku;
    s.radku_na_stranu = vyska / s.vyska_radku;
    if (s.znaku_na_radek <= 0 || s.radku_na_stranu <= 0) return {};
    s.stran = (pocet_radku + s.radku_na_stranu - 1) / s.radku_na_stranu;
    return s;
}

std::vector<int> poradi_stran(int stran, int kopii, bool kompletovat) {
    std::vector<int> out;
    if (kopii < 1) kopii = 1;
    for (int a = 0; a < (kompletovat ? kopii : stran); ++a)
        for (int b = 0; b < (kompletovat ? stran : kopii); ++b) out.push_back(kompletovat ? b : a);
    return out;
}

std::vector<std::string> radky_tisku(const std::string& text, int znaku) {
    std::vector<std::string> out;
    if (text.empty()) return out;
    size_t od = 0;
    for (;;) {
        size_t konec = text.find('\n', od);
        std::string radek = text.substr(od, konec == std::string::npos ? std::string::npos : konec - od);
        out.push_back(radek.substr(0, static_cast<size_t>(znaku > 0 ? znaku : 0)));
        if (konec == std::string::npos) break;
        od = konec + 1;
    }
    return out;
}

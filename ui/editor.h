// The editor's rules on plain text, without a toolkit: reading and writing its files,
// find and replace, and the page arithmetic of printing. Texts are Windows-1250; inside
// the editor lines end in "\n" (files have CR LF; the view keeps its own line ends).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

constexpr size_t MAX_EDITOR = 32000;  // bytes of a file and characters of the editor

// The text of a file's bytes: with a UTF-16 byte-order mark (either order) the UTF-16
// text converted to Windows-1250, otherwise the bytes up to the first zero byte. CR LF
// and lone CR become "\n".
std::string text_ze_souboru(const std::string& bajty);
// The bytes the editor writes: the text with CR LF line ends, no byte-order mark.
std::string soubor_z_textu(const std::string& text);

enum class Nacteni { OK, NELZE_OTEVRIT, PRILIS_VELKY };
Nacteni nacti_soubor_editoru(const std::string& cesta, std::string& text);
bool zapis_soubor_editoru(const std::string& cesta, const std::string& text);

// Searches `text` for `hledany` exactly, forward from `pozice`. Found at s: the match is
// s .. s + length, `pozice` moves behind it. Not found: nothing changes.
bool najdi(const std::string& text, const std::string& hledany, size_t& pozice, size_t& zacatek);
// Finds as above and replaces the match; `pozice` moves behind the inserted text.
bool nahrad(std::string& text, const std::string& hledany, const std::string& nahrada, size_t& pozice);
// Replaces from `pozice` until nothing more is found; the number of replacements.
int nahrad_vse(std::string& text, const std::string& hledany, const std::string& nahrada, size_t& pozice);

// The printed pages of a text: from the printable area and the font's measures.
struct Strankovani {
    int vyska_radku = 0, znaku_na_radek = 0, radku_na_stranu = 0, stran = 0;
};
// Zero when the area cannot hold one line or one character (nothing is printed then).
Strankovani strankuj(int sirka, int vyska, int sirka_znaku, int vyska_znaku, int proklad,
                     int pocet_radku);
// The pages in printing order: with collation the whole document once per copy, without
// it each page as many times as copies were asked for.
std::vector<int> poradi_stran(int stran, int kopii, bool kompletovat);
// The lines of the text as printed: each cut to `znaku` characters.
std::vector<std::string> radky_tisku(const std::string& text, int znaku);

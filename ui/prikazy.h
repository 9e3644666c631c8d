// The window's commands: their numbers, the menu with its labels and shortcuts, the
// accelerators, and the graying of the Editace pop-up. Texts are Windows-1250.
#pragma once

#include <string>
#include <vector>

enum Prikaz : int {
    ID_VYBER_SOUBOR = 40002,    // only the command-file picker
    ID_NAPOVEDA = 40004,
    ID_KOMUNIKUJ = 40005,
    ID_OTEVRI_A_KOMUNIKUJ = 40006,
    ID_NAJDI_KASU = 40015,
    ID_NAJDI_KASY = 40016,
    ID_NASTAV_PORT = 40017,
    ID_NASTAV_RYCHLOST = 40018,
    ID_ANALYZA_PLU = 40022,
    ID_KONEC = 40026,
    ID_NASTAVENI_LINKY = 40027,
    ID_O_PROGRAMU = 40028,
    ID_VSECHNY_SOUBORY = 40038,
    ID_DAVKA = 40049,
    ID_ULOZ = 40051,
    ID_NOVY = 40053,
    ID_OTEVRI = 40054,
    ID_ULOZ_JAKO = 40055,
    ID_TISKNI = 40056,
    ID_ZPET = 40057,
    ID_VYJMI = 40058,
    ID_KOPIRUJ = 40059,
    ID_VLOZ = 40060,
    ID_SMAZ = 40061,
    ID_VYBER_VSE = 40062,
    ID_NAJDI = 40063,
    ID_NAJDI_DALSI = 40064,
    ID_NAHRAD = 40065,
    ID_PISMO = 40066,
    ID_DATUM_CAS = 40068,
    ID_PRENOS_PRIPRAVENY = 40071,  // private message: run the prepared operations
    ID_LOGO = 40073,
};

constexpr int PRVNI_PRIKAZ = 40002;
constexpr int POSLEDNI_PRIKAZ = 40073;

// One item of menu 300. `popup` names the pop-up it belongs to ("" for the menu-bar item
// itself, "Akce/Najdi kasu" for the nested one); a zero id is a separator.
struct PolozkaMenu {
    const char* popup;
    int id;
    const char* popisek;    // with '&' before the mnemonic and '\t' before the shortcut text
    const char* zkratka;    // the key the window binds ("" for none), e.g. "Ctrl+Alt+S"
};

// Menu 300 in its order: Soubor, Editace, the Proveď item, Akce (with Najdi kasu), Nápověda.
const std::vector<PolozkaMenu>& menu_okna();
// Pop-up titles in the order of the menu bar ("" stands for the Proveď item).
const std::vector<std::string>& popupy_menu();
const char* titulek_popupu(const std::string& popup);

// Which items of the Editace pop-up are grayed when it opens.
struct SedeEditace {
    bool zpet, vyjmi, kopiruj, vloz, smaz;
};
SedeEditace sede_editace(bool lze_vratit, bool schranka_ma_text, bool je_vyber);

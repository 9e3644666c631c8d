#include "ui/prikazy.h"

const std::vector<PolozkaMenu>& menu_okna() {
    // Zpět .. Smaž keep the editor's own keys; Ctrl+F, F3 and Ctrl+R are bound because the
    // labels promise them.
    static const std::vector<PolozkaMenu> menu = {
        {"Soubor", ID_NOVY, "Nov\xFD\tCtrl+N", "Ctrl+N"},
        {"Soubor", ID_OTEVRI, "Otev\xF8i\tCtrl+O", "Ctrl+O"},
        {"Soubor", ID_ULOZ, "Ulo\x9E\tCtrl+S", "Ctrl+S"},
        {"Soubor", ID_ULOZ_JAKO, "Ulo\x9E jako...\tCtrl+Alt+S", "Ctrl+Alt+S"},
        {"Soubor", ID_TISKNI, "Tiskni\tCtrl+P", "Ctrl+P"},
        {"Soubor", ID_KONEC, "&Konec", ""},
        {"Editace", ID_ZPET, "Zp\xECt\tCtrl+Z", ""},
        {"Editace", ID_VYJMI, "Vyjmi\tCtrl+X", ""},
        {"Editace", ID_KOPIRUJ, "Kop\xEDruj\tCtrl+C", ""},
        {"Editace", ID_VLOZ, "Vlo\x9E\tCtrl+V", ""},
        {"Editace", ID_SMAZ, "Sma\x9E\tDel", ""},
        {"Editace", ID_VYBER_VSE, "Vyber v\x9A" "e", ""},
        {"Editace", ID_NAJDI, "Najdi\tCtrl+F", "Ctrl+F"},
        {"Editace", ID_NAJDI_DALSI, "Najdi dal\x9A\xED\tF3", "F3"},
        {"Editace", ID_NAHRAD, "Nahra\xEF\tCtrl+R", "Ctrl+R"},
        {"Editace", ID_PISMO, "P\xEDsmo", ""},
        {"", ID_OTEVRI_A_KOMUNIKUJ, "&Prove\xEF", ""},
        {"Akce", ID_KOMUNIKUJ, "&Komunikuj!", "Ctrl+K"},
        {"Akce", ID_OTEVRI_A_KOMUNIKUJ, "&Otev\xF8i a komunikuj", ""},
        {"Akce", ID_NASTAV_PORT, "&Nastav \xE8\xEDslo portu", ""},
        {"Akce", ID_NASTAV_RYCHLOST, "Nastav &rychlost", ""},
        {"Akce/Najdi kasu", ID_NAJDI_KASU, "Termin\xE1l   &1", ""},
        {"Akce/Najdi kasu", ID_NAJDI_KASY, "Termin\xE1ly 1-1&0", ""},
        {"N\xE1pov\xEC" "da", ID_NAPOVEDA, "&N\xE1pov\xEC" "da", ""},
        {"N\xE1pov\xEC" "da", ID_O_PROGRAMU, "&O programu", ""},
    };
    return menu;
}

const std::vector<std::string>& popupy_menu() {
    static const std::vector<std::string> popupy = {"Soubor", "Editace", "", "Akce",
                                                    "N\xE1pov\xEC" "da"};
    return popupy;
}

const char* titulek_popupu(const std::string& popup) {
    if (popup == "Soubor") return "&Soubor";
    if (popup == "Editace") return "&Editace";
    if (popup == "Akce") return "&Akce";
    if (popup == "Akce/Najdi kasu") return "Najdi kasu";
    return "&N\xE1pov\xEC" "da";
}

SedeEditace sede_editace(bool lze_vratit, bool schranka_ma_text, bool je_vyber) {
    return {!lze_vratit, !je_vyber, !je_vyber, !schranka_ma_text, !je_vyber};
}

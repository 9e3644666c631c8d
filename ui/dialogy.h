// The window's dialogs without a toolkit: the serial settings (dialog 101), the port and
// speed (dialog 104) and the logo preview (dialog 112). The model fills each dialog from
// tt and stores the user's choice back; a view only draws the structures below and hands
// them back changed. Texts are Windows-1250. The session is the window's (its tt).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class SezeniJadra;

// A combo box: its entries in order, the value each stands for (the item data) and the
// selected entry (-1: none).
struct Volba {
    std::vector<std::string> popisky;
    std::vector<uint32_t> hodnoty;
    int vybrano = -1;
    bool povolena = true;
    // The value of the selection; `jinak` when nothing is selected.
    uint32_t hodnota(uint32_t jinak) const;
};

// The entries popisky[0..pocet) with hodnoty[0..pocet) as their values; the first entry
// whose value equals `aktualni` is selected.
Volba napln_volbu(const char* const* popisky, const uint32_t* hodnoty, int pocet, uint32_t aktualni);

// Dialog 101, "TTY Settings".
enum Zaskrtnuti { DTR_DSR, RTS_CTS, XON_XOFF, AUTOWRAP, NOVY_RADEK, LOKALNI_ECHO, NOTIFIKACE, ZOBRAZ_CHYBY,
                  POCET_ZASKRTNUTI };
struct DialogLinky {
    Volba port, rychlost, datove_bity, parita, stop_bity;
    std::array<bool, POCET_ZASKRTNUTI> zaskrtnuto{};
    // The labels of the check boxes in the order above, the button that chooses the
    // terminal font, the titles of the combo boxes and of the dialog.
    static const std::array<const char*, POCET_ZASKRTNUTI> POPISKY;
    static const std::array<const char*, 5> POPISKY_VOLEB;  // port, speed, data, parity, stop
    static constexpr const char* TITULEK = "TTY Settings";
    static constexpr const char* PISMO = "Font...";
};
// The dialog as it opens: the nine ports (disabled while the port is open), the eleven
// speeds, 5..8 data bits, five parities, one stop-bit entry, the flow and terminal
// switches. The box for receive notifications is disabled and unchecked.
DialogLinky otevri_dialog_linky(const SezeniJadra& s);
// OK: the selections into tt (a combo box without a selection keeps its value).
void uloz_dialog_linky(SezeniJadra& s, const DialogLinky& d);

// Dialog 104, "Nastav port a rychlost": the nine ports and the speeds 2400..19200.
struct DialogPortu {
    Volba port, rychlost;
    static constexpr const char* TITULEK = "Nastav port a rychlost";
};
// A speed outside 2400..19200 selects no speed.
DialogPortu otevri_dialog_portu(const SezeniJadra& s);
// OK: port and speed into tt; without a selected speed the speed stays.
void uloz_dialog_portu(SezeniJadra& s, const DialogPortu& d);

// Dialog 112: the logo as the register prints it, before the conversion.
struct NahledLoga {
    bool je_bmp = false;
    std::vector<uint8_t> body;  // LOGO_SIRKA x LOGO_VYSKA dots, top row first; 1 black
    bool cerny(int x, int y) const;
    static constexpr const char* TITULEK = "Logo";
    static constexpr const char* KONVERTOVAT = "Konvertovat";
    static constexpr const char* ZRUSIT = "Zru\x9Ait";
};
// The preview from the picture file's bytes (whole or cut short), dot for dot as
// Glogo.dat will hold them.
NahledLoga nahled_loga(const std::string& obsah);

// Hexadecimal text and the line routines.
#include "format_pomocne.h"  // first: see there

#include <cstring>

#include "format/hex.h"

namespace {

class Hex : public FormatTest {};

TEST_F(Hex, BajtyACisla) {
    char d[2];
    preved_byte_na_ascii(0xA7, d);
    EXPECT_EQ(std::string(d, 2), "A7");
    preved_byte_na_ascii(0x05, d);
    EXPECT_EQ(std::string(d, 2), "05");
    EXPECT_EQ(preved_na_byte('f', 'E'), 0xFE);
    EXPECT_EQ(chyba_z([] { preved_na_byte('G', '0'); }), (Chyba{62, 2}));
    EXPECT_EQ(chyba_z([] { preved_na_byte('0', ' '); }), (Chyba{62, 3}));
    EXPECT_EQ(preved_na_cislo("00002a"), 42u);
    EXPECT_EQ(preved_na_cislo(""), 0u);
    EXPECT_EQ(chyba_z([] { preved_na_cislo("1-"); }), (Chyba{25, 1}));
}

TEST_F(Hex, Radky) {
    HSOUBOR f = otevri_soubor("r.txt", 'w');
    zapis_textovy_radek(f, "prvni");
    std::strcpy(ss, "druhy");
    zapis_radek(f);
    zapis_carku(f);
    zapis_uvozovku(f);
    zapisCRLF(f);
    zapis_text(std::string(201, 'x'), f);
    zavri_soubor(f);
    EXPECT_EQ(precti("r.txt").substr(0, 16), "prvni\r\ndruhy,\"\r\n");

    f = otevri_soubor("r.txt", 'r');
    EXPECT_EQ(precti_radek(f), 7);
    EXPECT_STREQ(ss, "prvni\r\n");
    EXPECT_EQ(precti_radek(f), 9);
    EXPECT_EQ(konecd, 0);
    EXPECT_EQ(chyba_z([f] { precti_radek(f); }), (Chyba{57, 2}));  // err() closes f
    zapis("r.txt", std::string(199, 'y') + "\n");
    f = otevri_soubor("r.txt", 'r');
    EXPECT_EQ(precti_radek(f), 200);
    EXPECT_EQ(precti_radek(f), 0);
    EXPECT_EQ(konecd, 1);
    zavri_soubor(f);
}

}  // namespace

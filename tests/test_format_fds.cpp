// FDS headers: from the header block to the FDS file, and the FDS file parsed; the
// register's character set, hexadecimal text and the line routines.
#include "format_pomocne.h"  // first: see there

#include <cstring>

#include "format/hex.h"
#include "format/proudy.h"
#include "format/znaky.h"

namespace {

class Fds : public FormatTest {
protected:
    // Writes the header block as work01.tmp and converts it into the FDS file.
    Chyba z_bloku(const std::string& blok) {
        zapis(WORK01, blok);
        Chyba c = chyba_z([] {
            cteny_blok = '0';
            redf = otevri_soubor(WORK01, 'r');
            konvertuj_fds();
        });
        zavri_soubory_formatu();
        return c;
    }
    Chyba parsuj(const std::string& fds) {
        zapis(tt.fds_soubor, fds);
        return chyba_z([] { napln_fdsfile(); });
    }
};

TEST_F(Fds, HlavickaPluDavaSouborAJehoPopis) {
    ASSERT_EQ(z_bloku(blok_hlavicky(hlavicka_plu())), (Chyba{0, 0}));
    EXPECT_EQ(precti("p_plu.fds"),
              "11,00,0FA0,00,0000,01,00,07,02,02,04,10,00,00,00,0B,00,00,00,00,00,00,00\r\n");
    EXPECT_FALSE(existuje("p_plu.fds.part"));
    EXPECT_EQ(cteny_blok, '1');
    filetyp = 0;
    ASSERT_EQ(chyba_z([] { napln_fdsfile(); }), (Chyba{0, 0}));
    EXPECT_EQ(filetyp, 1);
    EXPECT_STREQ(fdsfile.kod_souboru, "11");
    EXPECT_STREQ(fdsfile.kapacita, "0FA0");
    EXPECT_STREQ(fdsfile.poradi, "01");
    EXPECT_STREQ(fdsfile.delky[8], "0B");
    EXPECT_STREQ(fdsfile.delky_text, "07,02,02,04,10,00,00,00,0B,00,00,00,00,00,00,00");
    EXPECT_EQ(delka_zaznamu, 42);
    EXPECT_EQ(NeedStatus, 1);
}

TEST_F(Fds, TabulkaAKodyBezKontrolyStavu) {
    // Header, file type, status check needed, record length.
    Hlavicka odd = hlavicka_souboru("01", "01,03,00,04,10,00,00,00,0B,0B,00,00,00,00,00,00"), k31 = odd;
    k31.soubor = "31";
    const std::vector<std::pair<Hlavicka, std::vector<int32_t>>> pripady = {
        {hlavicka_tabulky("D2"), {0, 0, 0}}, {odd, {1, 1, 1 + 3 + 4 + 16 + 11 + 11}}, {k31, {1, 0, 46}}};
    for (const auto& [h, ocekavano] : pripady) {
        ASSERT_EQ(parsuj(h.fds_soubor()), (Chyba{0, 0}));
        EXPECT_EQ(std::vector<int32_t>({filetyp, NeedStatus, delka_zaznamu}), ocekavano) << h.soubor;
    }
}

TEST_F(Fds, SpatnyBlokHlavicky) {
    std::string dobry = blok_hlavicky(hlavicka_plu());
    EXPECT_EQ(z_bloku(""), (Chyba{31, 3}));
    EXPECT_EQ(z_bloku("X" + dobry.substr(1)), (Chyba{31, 3}));
    EXPECT_EQ(z_bloku(blok_hlavicky(hlavicka_plu(), '1')), (Chyba{41, 3}));
    for (int i = 0; i < 6; ++i) {
        std::string s = dobry;
        s[2 + i] = 'Z';
        EXPECT_EQ(z_bloku(s), (Chyba{31, 12 + i})) << i;
    }
}

TEST_F(Fds, NeuplnaHlavickaNechaPredchoziSouborFds) {
    zapis("p_plu.fds", "predchozi");
    std::string dobry = blok_hlavicky(hlavicka_plu());
    EXPECT_EQ(z_bloku(dobry.substr(0, 30)), (Chyba{31, 18}));
    EXPECT_EQ(z_bloku(dobry.substr(0, 30) + "\r"), (Chyba{31, 19}));
    std::string carka = dobry;
    carka[12] = ',';
    EXPECT_EQ(z_bloku(carka), (Chyba{31, 19}));
    EXPECT_EQ(precti("p_plu.fds"), "predchozi");
}

TEST_F(Fds, KonecSouboruVKaztdemPoli) {
    const std::string cely = hlavicka_plu().fds_soubor();
    const int na_zacatku[] = {3, 30, 6, 8, 10, 12, 14, 16};
    const int uvnitr[] = {4, 5, 7, 9, 11, 13, 15, 17};
    size_t zacatek = 0;
    for (int pole = 0; pole < 23; ++pole) {
        int prvni = pole < 8 ? na_zacatku[pole] : 18;
        int dalsi = pole < 8 ? uvnitr[pole] : 19;
        EXPECT_EQ(parsuj(cely.substr(0, zacatek)), (Chyba{52, prvni})) << pole;
        EXPECT_EQ(parsuj(cely.substr(0, zacatek + 1)), (Chyba{52, dalsi})) << pole;
        zacatek = cely.find_first_of(",\r", zacatek) + 1;
    }
    // A line that ends after field 20.
    size_t za20 = 0;
    for (int i = 0; i < 20; ++i) za20 = cely.find(',', za20) + 1;
    std::string s = cely.substr(0, za20 - 1) + "\r\n";
    Chyba c = parsuj(s);
    EXPECT_EQ(c.first, 52);
    EXPECT_TRUE(c.second == 18 || c.second == 19) << c.second;
}

TEST_F(Fds, PoleMusiMitSvouSirku) {
    Hlavicka h = hlavicka_plu();
    h.kapacita = "00FA0";
    EXPECT_EQ(parsuj(h.fds_soubor()), (Chyba{52, 31}));
    h = hlavicka_plu();
    h.soubor = "1";
    EXPECT_EQ(parsuj(h.fds_soubor()), (Chyba{52, 31}));
    h = hlavicka_plu();
    h.delky[15] = "000";
    EXPECT_EQ(parsuj(h.fds_soubor()), (Chyba{52, 31}));
    h = hlavicka_plu();
    h.delky[3] = "0G";
    EXPECT_EQ(parsuj(h.fds_soubor()), (Chyba{25, 1}));
    EXPECT_EQ(parsuj(std::string(hlavicka_plu().fds_soubor()).insert(2, "\r\n")), (Chyba{52, 31}));
    // Text after the 23rd field belongs to the group lengths, within their slot.
    std::string dlouhy = hlavicka_plu().pole(",") + "," + std::string(30, '9') + "\r\n";
    EXPECT_EQ(parsuj(dlouhy), (Chyba{52, 32}));
    smaz_soubor(cesta("p_plu.fds"));
    EXPECT_EQ(chyba_z([] { napln_fdsfile(); }), (Chyba{30, 1}));
}

TEST(Znaky, TabulkyRegistrACp1250) {
    const std::vector<std::pair<uint8_t, uint8_t>> z_pokladny = {
        {0x01, 0xE1}, {0x54, 'T'}, {0xB1, 0xC1}, {0xC1, 0xC1}, {0x5B, 0xC4}, {0x5C, 0xD6}, {0x5D, 0xDC}, {0x7E, 0xDF}};
    for (auto [k, w] : z_pokladny) EXPECT_EQ(kasatowin(k), w) << int(k);
    EXPECT_EQ(wintokasa(0xE1), 0x01);
    EXPECT_EQ(wintokasa(0x8D), 0x54);
    EXPECT_EQ(wintokasa(0xC1), 0xB1);
    for (int c = 0x20; c <= 0x7D; ++c) {
        if (c < 0x5B || c > 0x5D) {
            EXPECT_EQ(kasatowin(uint8_t(c)) * 256 + wintokasa(uint8_t(c)), c * 257) << c;
        }
    }
    // Every Czech letter of Windows-1250 that the register has comes back unchanged.
    for (unsigned char c : std::string("\xE1\xE8\xEF\xE9\xEC\xED\xF2\xF3\xF8\x9A\xFA\xF9\xFD\x9E"
                                       "\xC1\xC8\xC9\xCC\xCD\xD2\xD3\x8A\xDA\xD9\x8E"))
        EXPECT_EQ(kasatowin(wintokasa(c)), c) << int(c);
}

using Hex = FormatTest;

TEST_F(Hex, BajtyCislaARadky) {
    char d[2];
    preved_byte_na_ascii(0xA7, d);
    EXPECT_EQ(std::string(d, 2), "A7");
    EXPECT_EQ(preved_na_byte('f', 'E'), 0xFE);
    EXPECT_EQ(preved_na_cislo("00002a"), 42u);
    EXPECT_EQ(preved_na_cislo(""), 0u);
    EXPECT_EQ(chyba_z([] { preved_na_byte('G', '0'); }), (Chyba{62, 2}));
    EXPECT_EQ(chyba_z([] { preved_na_byte('0', ' '); }), (Chyba{62, 3}));
    EXPECT_EQ(chyba_z([] { preved_na_cislo("1-"); }), (Chyba{25, 1}));

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
    EXPECT_EQ(chyba_z([f] { precti_radek(f); }), (Chyba{57, 2}));  // err() closes f
    zapis("r.txt", std::string(199, 'y') + "\n");
    f = otevri_soubor("r.txt", 'r');
    EXPECT_EQ(precti_radek(f), 200);
    EXPECT_EQ(precti_radek(f), 0);
    EXPECT_EQ(konecd, 1);
    zavri_soubor(f);
}

}  // namespace

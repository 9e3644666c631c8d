// FDS headers: from the header block to the FDS file, and the FDS file parsed; the
// register's character set.
#include "format_pomocne.h"

#include "format/znaky.h"

namespace {

class Fds : public FormatTest {
protected:
    // Writes the header block as work01.tmp, converts it into the FDS file, which waits
    // under its temporary name for its data file, and parses that.
    Chyba z_bloku(const std::string& blok) {
        zapis(WORK01, blok);
        Chyba c = chyba_z([&] {
            s.cteny_blok = '0';
            s.redf = otevri_soubor(s, WORK01, 'r');
            konvertuj_fds(s);
            napln_prijate_fdsfile(s);
        });
        zavri_soubory_formatu(s);
        return c;
    }
    Chyba parsuj(const std::string& fds) {
        zapis(s.tt.fds_soubor, fds);
        return chyba_z([&] { napln_fdsfile(s); });
    }
};

TEST_F(Fds, HlavickaPluDavaSouborAJehoPopis) {
    ASSERT_EQ(z_bloku(blok_hlavicky(hlavicka_plu())), (Chyba{0, 0}));
    EXPECT_EQ(precti(WORK05),
              "11,00,0FA0,00,0000,01,00,07,02,02,04,10,00,00,00,0B,00,00,00,00,00,00,00\r\n");
    EXPECT_FALSE(existuje("p_plu.fds") || existuje("p_plu.fds.part"));
    EXPECT_EQ(s.cteny_blok, '1');
    s.filetyp = 0;
    ASSERT_EQ(chyba_z([&] { napln_prijate_fdsfile(s); }), (Chyba{0, 0}));
    const FDSFILE& f = s.fdsfile;
    EXPECT_EQ(std::string(f.kod_souboru) + f.kapacita + f.poradi + f.delky[8], "110FA0010B");
    EXPECT_STREQ(f.delky_text, "07,02,02,04,10,00,00,00,0B,00,00,00,00,00,00,00");
    EXPECT_EQ(std::vector<int32_t>({s.filetyp, s.NeedStatus, s.delka_zaznamu}), std::vector<int32_t>({1, 1, 42}));
    // A table, a department (the status check after it) and code 31 (none).
    Hlavicka k31 = vestavene_soubory()[1];
    k31.soubor = "31";
    const std::vector<std::pair<Hlavicka, std::vector<int32_t>>> pripady = {
        {hlavicka_tabulky("D2"), {0, 0, 0}}, {vestavene_soubory()[1], {1, 1, 46}}, {k31, {1, 0, 46}}};
    for (const auto& [h, ocekavano] : pripady) {
        ASSERT_EQ(parsuj(h.fds_soubor()), (Chyba{0, 0}));
        EXPECT_EQ(std::vector<int32_t>({s.filetyp, s.NeedStatus, s.delka_zaznamu}), ocekavano) << h.soubor;
    }
}

// A bad header block leaves the previous FDS file as it was.
TEST_F(Fds, SpatnyBlokHlavicky) {
    zapis("p_plu.fds", "predchozi");
    const std::string dobry = blok_hlavicky(hlavicka_plu());
    std::vector<std::pair<std::string, Chyba>> pripady = {
        {"", {31, 3}}, {"X" + dobry.substr(1), {31, 3}}, {blok_hlavicky(hlavicka_plu(), '1'), {41, 3}},
        {dobry.substr(0, 30), {52, 18}}, {dobry.substr(0, 30) + "\r", {52, 31}},
        {std::string(dobry).replace(12, 1, ","), {52, 31}}};
    for (int i = 0; i < 6; ++i) pripady.push_back({std::string(dobry).replace(2 + i, 1, "Z"), {31, 12 + i}});
    for (const auto& [blok, chyba] : pripady) EXPECT_EQ(z_bloku(blok), chyba) << blok;
    EXPECT_EQ(precti("p_plu.fds"), "predchozi");
    EXPECT_FALSE(existuje("p_plu.fds.part"));
}

// The file ends in each field, or a field has another width.
TEST_F(Fds, KonecSouboruASirkaPoli) {
    const std::string plu = hlavicka_plu().fds_soubor();
    const int na_zacatku[] = {3, 30, 6, 8, 10, 12, 14, 16}, uvnitr[] = {4, 5, 7, 9, 11, 13, 15, 17};
    for (size_t pole = 0, zacatek = 0; pole < 23; ++pole, zacatek = plu.find_first_of(",\r", zacatek) + 1) {
        EXPECT_EQ(parsuj(plu.substr(0, zacatek)), (Chyba{52, pole < 8 ? na_zacatku[pole] : 18})) << pole;
        EXPECT_EQ(parsuj(plu.substr(0, zacatek + 1)), (Chyba{52, pole < 8 ? uvnitr[pole] : 19})) << pole;
    }
    const std::pair<std::string, Chyba> pripady[] = {
        {std::string(plu).replace(6, 4, "00FA0"), {52, 31}}, {plu.substr(1), {52, 31}},
        {std::string(plu).replace(plu.size() - 4, 2, "000"), {52, 31}},
        {std::string(plu).replace(34, 2, "0G"), {25, 1}}, {std::string(plu).insert(2, "\r\n"), {52, 31}},
        // Text after the 23rd field belongs to the group lengths, within their slot.
        {plu.substr(0, plu.size() - 2) + "," + std::string(30, '9') + "\r\n", {52, 32}}};
    for (const auto& [fds, chyba] : pripady) EXPECT_EQ(parsuj(fds), chyba) << fds;
    smaz_soubor(cesta("p_plu.fds"));
    EXPECT_EQ(chyba_z([&] { napln_fdsfile(s); }), (Chyba{30, 1}));
}

TEST(Znaky, TabulkyRegistrACp1250) {
    const std::vector<std::pair<uint8_t, uint8_t>> z_pokladny = {
        {0x01, 0xE1}, {0x54, 'T'}, {0xB1, 0xC1}, {0xC1, 0xC1}, {0x5B, 0xC4}, {0x5C, 0xD6}, {0x5D, 0xDC}, {0x7E, 0xDF}};
    for (auto [k, w] : z_pokladny) EXPECT_EQ(kasatowin(k), w) << int(k);
    EXPECT_EQ(std::vector<int>({wintokasa(0xE1), wintokasa(0x8D), wintokasa(0xC1)}), std::vector<int>({0x01, 0x54, 0xB1}));
    for (int c = 0x20; c <= 0x7D; ++c)
        if (c < 0x5B || c > 0x5D) {
            EXPECT_EQ(kasatowin(uint8_t(c)) * 256 + wintokasa(uint8_t(c)), c * 257) << c;
        }
    // Every Czech letter of Windows-1250 that the register has comes back unchanged.
    for (unsigned char c : std::string("\xE1\xE8\xEF\xE9\xEC\xED\xF2\xF3\xF8\x9A\xFA\xF9\xFD\x9E"
                                       "\xC1\xC8\xC9\xCC\xCD\xD2\xD3\x8A\xDA\xD9\x8E"))
        EXPECT_EQ(kasatowin(wintokasa(c)), c) << int(c);
}

}  // namespace

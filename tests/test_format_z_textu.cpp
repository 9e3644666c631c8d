// Text data back to record bytes: one line of a file's data, and a table's text.
#include "format_pomocne.h"

#include <cstring>

#include "format/z_textu.h"

namespace {

class ZTextu : public FormatTest {
protected:
    void format(const Hlavicka& h) {
        popis(h);
        najdi_format(s);
    }
    // The list of a built-in table (a code of two characters) or the list itself.
    void format(const std::string& kod, int32_t delka = 1) {
        if (kod.size() == 2) return format(hlavicka_tabulky(kod));
        std::strcpy(s.formatstring, kod.c_str());
        ++s.verze_formatu;
        s.delka_zaznamu = delka;
    }
    std::string zaznam(const std::string& radek) {
        std::memcpy(s.pp, radek.data(), radek.size());
        s.pp_delka = radek.size();
        s.pp[s.pp_delka] = 0;
        Chyba c = chyba_z([&] { preved_radek_na_zaznam(s); });
        return vysledek(c, s.ss);
    }
    std::string tabulka(const std::string& text) {
        zapis("t.dat", text);
        Chyba c = chyba_z([&] {
            s.dataf = otevri_soubor(s, "t.dat", 'r');
            s.b = 0;
            size_t pozice = 0;
            while (!preved_polozku_tabulky(s, pozice)) {}
        });
        zavri_soubory_formatu(s);
        return vysledek(c, std::string(s.blok, s.b));
    }
};

const std::string PLU_RADEK = "00000000012345,05,1,0,0102,00001234,\"ROHLIK          \",-00000000150,+000000150\r";
const std::string PLU_ZAZNAM = "0102" "00001234" "524F484C494B20202020202020202020" "00000000150D" "0000001500";

// Correct lines of every layout come back in the round trip; here what they may vary.
TEST_F(ZTextu, RadkyPluAKodu61) {
    // Hexadecimal digits in either case go out in upper case; text after the last field is ignored.
    format(hlavicka_plu());
    EXPECT_EQ(zaznam("0000000001234a,05,1,1,0102,00001234,\"ROHLIK          \",-00000000150,+000000150 x"),
              "0000000001234A" "05" "03" + PLU_ZAZNAM);
    const std::vector<std::tuple<size_t, size_t, std::string, std::string>> plu = {
        {3, 1, "X", "59/15"}, {14, 1, ";", "59/1"}, {16, 1, "x", "59/16"}, {17, 1, " ", "59/2"},
        {19, 1, ";", "54/10"}, {36, 1, "'", "59/4"},
        {37, 16, "ROHLIK         ", "59/5"},  // 15 characters
        {54, 1, ";", "59/6"}, {40, 100, "", "59/5"}};
    for (const auto& [kde, kolik, cim, chyba] : plu)
        EXPECT_EQ(zaznam(std::string(PLU_RADEK).replace(kde, kolik, cim)), "chyba " + chyba) << kde;
    // A B group takes the bit its mask selects, whatever the character.
    EXPECT_EQ(zaznam(std::string(PLU_RADEK).replace(18, 1, "3")).substr(16, 2), "02");

    format(vestavene_soubory()[6]);
    const std::vector<std::pair<std::string, std::string>> k61 = {
        {"01,-00000000150,+000000000\r", "01" "00000000150D" "0000000000"},
        {"01,+00000000150,-000000009", "01" "000000001500" "000000009D"},
        // Any sign but '+' is negative; without one the first digit is taken as the sign.
        {"01,00000000150,+000000000\r", "chyba 59/17"}, {"01, 00000000150,+000000000\r", "01" "00000000150D" "0000000000"},
        {"01,+0000000015G,+000000000\r", "chyba 59/17"}, {"01,+00000000150;+000000000\r", "chyba 59/3"},
        {"01,+00000000150,+00000000\r", "chyba 59/17"},  // too short: CR is no digit
    };
    for (const auto& [radek, ocekavano] : k61) EXPECT_EQ(zaznam(radek), ocekavano) << radek;
}

// Item lists the built-in table does not hold, and records longer than their definition.
TEST_F(ZTextu, DefiniceBitovychSkupinAPolozek) {
    const std::tuple<const char*, int32_t, const char*, std::string> pripady[] = {
        {"B(1,0)+C", 1, "1,0", "02"},          {"B(76,5,0)+C", 1, "3,1,1", "E1"},
        {"B(76,5,0)+C", 1, "4,1,1", "21"}, {"B1+C", 1, "1", "chyba 54/6"},
        {"B(8)+C", 1, "1", "chyba 54/7"},      {"B(0,1)+C", 1, "1,1", "chyba 54/8"},
        {"B(1x)+C", 1, "1", "chyba 54/9"},     {"B(31)+C", 1, "1", "chyba 54/9"},
        {"Q1+C", 1, "1", "chyba 54/19"},       {"N123+C", 1, "1", "chyba 55/33"},
        {"N1+P2+C", 3, "05", "050000"},        {"T99+T99+T99+T99+T99+C", 495, "x", "chyba 66/3"},
    };
    for (const auto& [seznam, delka, radek, vysledek] : pripady) {
        format(seznam, delka);
        EXPECT_EQ(zaznam(radek), vysledek) << seznam;
    }
    format(hlavicka_plu());
    s.delka_zaznamu = 41;
    EXPECT_EQ(zaznam("x"), "chyba 56/2");
}

TEST_F(ZTextu, RadkyDatovehoSouboru) {
    zapis("d.dat", std::string(195, 'a') + "\r\n" + "kratky\r\n" + std::string(197, 'b') + "\n");
    s.dataf = otevri_soubor(s, "d.dat", 'r');
    ASSERT_EQ(nacti_radek_dat(s, s.dataf), 1);
    EXPECT_EQ(s.pp_delka, 196u);
    ASSERT_EQ(nacti_radek_dat(s, s.dataf), 1);
    EXPECT_EQ(chyba_z([&] { nacti_radek_dat(s, s.dataf); }), (Chyba{57, 1}));
    zapis("d.dat", "kratky\r\nbez konce");
    s.dataf = otevri_soubor(s, "d.dat", 'r');
    ASSERT_EQ(nacti_radek_dat(s, s.dataf), 1);
    EXPECT_EQ(std::string(s.pp), "kratky\r");
    EXPECT_EQ(chyba_z([&] { nacti_radek_dat(s, s.dataf); }), (Chyba{58, 1}));
    zapis("d.dat", "");
    s.dataf = otevri_soubor(s, "d.dat", 'r');
    EXPECT_EQ(nacti_radek_dat(s, s.dataf), 0);
}

// Correct tables come back in the round trip; here what their text may vary and its faults.
TEST_F(ZTextu, Tabulky) {
    const std::string t = "\"" + std::string(17, 'x') + "\"", c4 = "000000000000123D" "0000000000004560";
    const std::tuple<std::string, std::string, std::string> pripady[] = {
        {"D2", "x" + t.substr(1), "chyba 59/11"},
        {"D2", t.substr(0, 17) + "\"x\r\n", "chyba 59/12"}, {"D2", t + ";", "chyba 59/13"},
        {"D2", t + "\rx", "chyba 59/14"},
        // C9: a table that ends with its L field, with or without CR LF.
        {"C9", "07\r\n", "07"}, {"C9", "07", "07"},
        // C4: an S field may end its line; the table's last field may be followed by anything.
        {"C4", "-000000000000123\r\n+000000000000456\r\n", c4}, {"C4", "-000000000000123,+000000000000456", c4},
        {"C4", "-000000000000123;+000000000000456\r\n", "chyba 59/10"},
        {"C4", "-000000000000123\r+000000000000456\r\n", "chyba 59/10"},
        {"C4", "*000000000000123,+000000000000456\r\n", "000000000000123D" "0000000000004560"},
        {"C4", "-00000000000012X,+000000000000456\r\n", "chyba 59/21"},
        {"C4", "-000000000000123,+0000000", "chyba 58/2"},
        {"D0", "01;02,03,04,05\r\n", "chyba 59/7"}, {"D0", "01\r02,03,04,05\r\n", "chyba 59/7"},
        {"D0", "0G,02,03,04,05\r\n", "chyba 59/19"}, {"D0", "01,02;03,04,05\r\n", "chyba 59/9"},
        {"D0", "01,02\r03,04,05\r\n", "chyba 59/8"}, {"D0", "01,0x,03,04,05\r\n", "chyba 59/20"},
        {"D1", "1;0", "chyba 54/15"}, {"B(1,0)+C", "3,2", "02"}, {"Q1+C", "1", "chyba 54/20"},
        {"N12x+C", "1", "chyba 55/32"}, {"B1+C", "1", "chyba 54/11"}, {"B(9)+C", "1", "chyba 54/12"},
        {"B(0,1)+C", "1", "chyba 54/13"}, {"B(2,x)+C", "1", "chyba 54/14"},
    };
    for (const auto& [kod, text, ocekavano] : pripady) {
        format(kod, 0);
        EXPECT_EQ(tabulka(text), ocekavano) << kod << " " << text;
    }
}

}  // namespace

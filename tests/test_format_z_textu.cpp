// Text data back to record bytes: one line of a file's data, and a table's text.
#include "format_pomocne.h"  // first: see there

#include <cstring>

#include "format/z_textu.h"

namespace {

std::string vysledek(Chyba c, const std::string& ok) {
    return c == Chyba{0, 0} ? ok : "chyba " + std::to_string(c.first) + "/" + std::to_string(c.second);
}

class ZTextu : public FormatTest {
protected:
    void format(const Hlavicka& h) {
        popis(h);
        najdi_format();
    }
    // Sets a list directly (definitions the built-in table does not hold).
    void seznam(const char* polozky, int32_t delka) {
        std::strcpy(formatstring, polozky);
        ++verze_formatu;
        delka_zaznamu = delka;
    }
    std::string zaznam(const std::string& radek) {
        std::memcpy(pp, radek.data(), radek.size());
        pp_delka = radek.size();
        pp[pp_delka] = 0;
        Chyba c = chyba_z([] { preved_radek_na_zaznam(); });
        return vysledek(c, ss);
    }
    std::string tabulka(const std::string& text) {
        zapis("t.dat", text);
        Chyba c = chyba_z([] {
            dataf = otevri_soubor("t.dat", 'r');
            b = 0;
            size_t pozice = 0;
            while (!preved_polozku_tabulky(pozice)) {}
        });
        zavri_soubory_formatu();
        return vysledek(c, std::string(blok, b));
    }
};

const Hlavicka PLU = hlavicka_plu();
const Hlavicka KOD61 = hlavicka_souboru("61", "01,00,00,00,00,00,00,00,0B,00,00,00,00,00,00,00");

TEST_F(ZTextu, RadekPluNaZaznam) {
    format(PLU);
    EXPECT_EQ(zaznam("00000000012345,05,1,0,0102,00001234,\"ROHLIK          \",-00000000150,+000000150\r"),
              "00000000012345" "05" "02" "0102" "00001234" "524F484C494B20202020202020202020"
              "00000000150D" "0000001500");
    // Hexadecimal digits in either case go out in upper case; text after the last field is ignored.
    EXPECT_EQ(zaznam("0000000001234a,05,1,1,0102,00001234,\"ROHLIK          \",-00000000150,+000000150 x"),
              "0000000001234A" "05" "03" "0102" "00001234" "524F484C494B20202020202020202020"
              "00000000150D" "0000001500");
}

TEST_F(ZTextu, ZnamenkaAChybnaPole) {
    format(KOD61);
    const std::vector<std::pair<std::string, std::string>> k61 = {
        {"01,-00000000150,+000000000\r", "01" "00000000150D" "0000000000"},
        {"01,+00000000150,-000000009", "01" "000000001500" "000000009D"},
        {"01,00000000150,+000000000\r", "chyba 59/18"},
        {"01, 00000000150,+000000000\r", "chyba 59/18"},
        {"01,+0000000015G,+000000000\r", "chyba 59/17"},
        {"01,+00000000150;+000000000\r", "chyba 59/3"},
        {"01,+00000000150,+00000000\r", "chyba 59/17"},  // too short: CR is no digit
    };
    for (const auto& [radek, vysledek] : k61) EXPECT_EQ(zaznam(radek), vysledek) << radek;
    format(PLU);
    const std::string dobry =
        "00000000012345,05,1,0,0102,00001234,\"ROHLIK          \",-00000000150,+000000150\r";
    const std::vector<std::tuple<size_t, size_t, std::string, std::string>> plu = {
        {3, 1, "X", "59/15"}, {14, 1, ";", "59/1"}, {16, 1, "x", "59/16"}, {17, 1, " ", "59/2"},
        {18, 1, "2", "54/21"}, {19, 1, ";", "54/10"}, {36, 1, "'", "59/4"},
        {37, 16, "ROHLIK         ", "59/5"},  // 15 characters
        {54, 1, ";", "59/6"}, {40, 100, "", "59/5"}};
    for (const auto& [kde, kolik, cim, chyba] : plu)
        EXPECT_EQ(zaznam(std::string(dobry).replace(kde, kolik, cim)), "chyba " + chyba) << kde;
}

TEST_F(ZTextu, TextSKonverziABitoveSkupiny) {
    format(PLU);
    const std::string radek = "00000000000001,05,1,0,0102,00001234,\"\xE1\x8D              \",+00000000000,+000000000";
    EXPECT_EQ(zaznam(radek).substr(30, 4), "E18D");
    konverzeW_C = 1;
    EXPECT_EQ(zaznam(radek).substr(30, 4), "0154");
    // The text may hold commas, quotes and zero bytes: its width decides.
    konverzeW_C = 0;
    std::string zvlastni = radek;
    zvlastni.replace(37, 3, std::string("\",\0", 3));
    EXPECT_EQ(zaznam(zvlastni).substr(30, 6), "222C00");
}

TEST_F(ZTextu, DefiniceBitovychSkupinAPolozek) {
    const struct {
        const char* seznam;
        const char* radek;
        std::string vysledek;
    } pripady[] = {
        {"B(1,0)+C", "1,0", "02"},
        {"B(76,5,0)+C", "3,1,1", "E1"},
        {"B(76,5,0)+C", "4,1,1", "chyba 54/21"},
        {"B1+C", "1", "chyba 54/6"},
        {"B(8)+C", "1", "chyba 54/7"},
        {"B(0,1)+C", "1,1", "chyba 54/8"},
        {"B(1x)+C", "1", "chyba 54/9"},
        {"B(31)+C", "1", "chyba 54/9"},
        {"Q1+C", "1", "chyba 54/19"},
        {"N123+C", "1", "chyba 55/33"},
        {"N1+P2+C", "05", "050000"},
    };
    for (const auto& p : pripady) {
        seznam(p.seznam, p.seznam[0] == 'N' && p.seznam[2] == '+' ? (p.seznam[3] == 'P' ? 3 : 1) : 1);
        EXPECT_EQ(zaznam(p.radek), p.vysledek) << p.seznam;
    }
    seznam("T99+T99+T99+T99+T99+C", 495);
    EXPECT_EQ(zaznam("x"), "chyba 66/3");
    format(PLU);
    delka_zaznamu = 41;
    EXPECT_EQ(zaznam("x"), "chyba 56/2");
}

TEST_F(ZTextu, RadkyDatovehoSouboru) {
    zapis("d.dat", std::string(195, 'a') + "\r\n" + "kratky\r\n" + std::string(197, 'b') + "\n");
    dataf = otevri_soubor("d.dat", 'r');
    ASSERT_EQ(nacti_radek_dat(dataf), 1);
    EXPECT_EQ(pp_delka, 196u);
    ASSERT_EQ(nacti_radek_dat(dataf), 1);
    EXPECT_EQ(chyba_z([] { nacti_radek_dat(dataf); }), (Chyba{57, 1}));
    zavri_soubory_formatu();
    zapis("d.dat", "kratky\r\nbez konce");
    dataf = otevri_soubor("d.dat", 'r');
    ASSERT_EQ(nacti_radek_dat(dataf), 1);
    EXPECT_EQ(std::string(pp), "kratky\r");
    EXPECT_EQ(chyba_z([] { nacti_radek_dat(dataf); }), (Chyba{58, 1}));
    zavri_soubory_formatu();
    zapis("d.dat", "");
    dataf = otevri_soubor("d.dat", 'r');
    EXPECT_EQ(nacti_radek_dat(dataf), 0);
}

TEST_F(ZTextu, TabulkySOtevrenymiBody) {
    format(hlavicka_tabulky("D2"));
    std::string text, hex;
    for (int i = 0; i < 6; ++i) {
        text += "\"" + std::string(16, 'a' + i) + std::to_string(i) + "\"\r\n";
        for (int k = 0; k < 16; ++k) hex += std::string("6") + char('1' + i);
        hex += "3" + std::to_string(i);
    }
    EXPECT_EQ(tabulka(text), hex);
    // C9: a table that ends with its L field and CR LF.
    format(hlavicka_tabulky("C9"));
    EXPECT_EQ(tabulka("07\r\n"), "07");
    EXPECT_EQ(tabulka("07"), "07");
    // C4: an S field may end its line; the table's last field may be followed by anything.
    format(hlavicka_tabulky("C4"));
    EXPECT_EQ(tabulka("-000000000000123\r\n+000000000000456\r\n"), "000000000000123D" "0000000000004560");
    EXPECT_EQ(tabulka("-000000000000123,+000000000000456"), "000000000000123D" "0000000000004560");
    EXPECT_EQ(tabulka("-000000000000123;+000000000000456\r\n"), "chyba 59/10");
    EXPECT_EQ(tabulka("-000000000000123\r+000000000000456\r\n"), "chyba 59/10");
    EXPECT_EQ(tabulka("*000000000000123,+000000000000456\r\n"), "chyba 59/22");
    EXPECT_EQ(tabulka("-00000000000012X,+000000000000456\r\n"), "chyba 59/21");
    EXPECT_EQ(tabulka("-000000000000123,+0000000"), "chyba 58/2");
}

TEST_F(ZTextu, ChybyTabulek) {
    format(hlavicka_tabulky("D0"));
    EXPECT_EQ(tabulka("01,02,03,04,05\r\n"), "0102030405");
    EXPECT_EQ(tabulka("01;02,03,04,05\r\n"), "chyba 59/7");
    EXPECT_EQ(tabulka("01\r02,03,04,05\r\n"), "chyba 59/7");
    EXPECT_EQ(tabulka("0G,02,03,04,05\r\n"), "chyba 59/19");
    EXPECT_EQ(tabulka("01,02;03,04,05\r\n"), "chyba 59/9");
    EXPECT_EQ(tabulka("01,02\r03,04,05\r\n"), "chyba 59/8");
    EXPECT_EQ(tabulka("01,0x,03,04,05\r\n"), "chyba 59/20");
    format(hlavicka_tabulky("D2"));
    const std::string t = "\"" + std::string(17, 'x') + "\"";
    EXPECT_EQ(tabulka("x" + t.substr(1)), "chyba 59/11");
    EXPECT_EQ(tabulka(t.substr(0, 17) + "\"x\r\n"), "chyba 59/12");
    EXPECT_EQ(tabulka(t + ";"), "chyba 59/13");
    EXPECT_EQ(tabulka(t + "\rx"), "chyba 59/14");
    format(hlavicka_tabulky("D1"));
    EXPECT_EQ(tabulka("1;0"), "chyba 54/15");
    EXPECT_EQ(tabulka("2,0"), "chyba 54/22");
    seznam("Q1+C", 0);
    EXPECT_EQ(tabulka("1"), "chyba 54/20");
    seznam("N12x+C", 0);
    EXPECT_EQ(tabulka("1"), "chyba 55/32");
    seznam("B1+C", 0);
    EXPECT_EQ(tabulka("1"), "chyba 54/11");
    seznam("B(9)+C", 0);
    EXPECT_EQ(tabulka("1"), "chyba 54/12");
    seznam("B(0,1)+C", 0);
    EXPECT_EQ(tabulka("1"), "chyba 54/13");
    seznam("B(2,x)+C", 0);
    EXPECT_EQ(tabulka("1"), "chyba 54/14");
}

}  // namespace

// Received blocks converted to text data files: register files and tables.
#include "format_pomocne.h"  // first: see there

#include "format/na_text.h"

namespace {

std::string hex_textu(const std::string& text) {
    std::string s;
    char d[3];
    for (unsigned char c : text) {
        std::snprintf(d, sizeof d, "%02X", c);
        s += d;
    }
    return s;
}

// A PLU record: key, N1, the B(1,0) byte, N2, N4, the 16-byte name, S6, S5.
std::string plu(const std::string& klic, const std::string& jmeno, const std::string& s6 = "00000000150D",
                const std::string& s5 = "000000150C", const std::string& b = "02") {
    return klic + "05" + b + "0102" + "00001234" + hex_textu(jmeno) + s6 + s5;
}

class Stazeni : public FormatTest {};

// A PLU record as one line; signs, the B(1,0) bits and the text with and without the
// character conversion; an empty download gives an empty file.
TEST_F(Stazeni, ZaznamyPluJakoRadky) {
    std::string jmeno = std::string("\x01\x5B", 2) + std::string(14, ' ');
    std::vector<std::string> z = {plu("00000000012345", "ROHLIK          "),
                                  plu("00000000000001", jmeno, "00000000150C", "000000150D", "01"),
                                  plu("00000000000002", jmeno, "00000000150F", "0000001500", "03")};
    char poradi = '0';
    std::string w = stazeni(hlavicka_plu(), z, 11, poradi);
    ASSERT_EQ(prijmi(w), (Chyba{0, 0}));
    EXPECT_EQ(precti("p_plu.dat"),
              "00000000012345,05,1,0,0102,00001234,\"ROHLIK          \",-00000000150,+000000150\r\n"
              "00000000000001,05,0,1,0102,00001234,\"\x01\x5B              \",+00000000150,-000000150\r\n"
              "00000000000002,05,1,1,0102,00001234,\"\x01\x5B              \",+00000000150,+000000150\r\n");
    EXPECT_TRUE(existuje("p_plu.fds") && existuje(WORK01));
    EXPECT_FALSE(existuje("p_plu.dat.part"));
    konverzeW_C = 1;
    ASSERT_EQ(prijmi(w), (Chyba{0, 0}));
    EXPECT_EQ(precti("p_plu.dat").substr(36 + 80, 4), "\"\xE1\xC4 ");
    ASSERT_EQ(prijmi(blok_hlavicky(hlavicka_plu())), (Chyba{0, 0}));
    EXPECT_EQ(precti("p_plu.dat"), "");
}

TEST_F(Stazeni, DalsiSouboryDostanouCislovanouPriponu) {
    char poradi = '0';
    std::string w = stazeni(hlavicka_plu(), {plu("00000000000001", "A               ")}, 11, poradi);
    Hlavicka odd = hlavicka_souboru("01", "01,03,00,04,10,00,00,00,0B,0B,00,00,00,00,00,00");
    odd.poradi = "02";
    std::string zaznam = "07" + std::string("010203") + "00000099" + hex_textu("MASO            ") +
                         "00000000100C" + "000000000C" + "00000000200D" + "000000000C";
    w += stazeni(odd, {zaznam, zaznam}, 1, poradi);
    Hlavicka treti = hlavicka_plu();
    treti.poradi = "03";
    w += stazeni(treti, {}, 11, poradi);
    ASSERT_EQ(prijmi(w), (Chyba{0, 0}));
    EXPECT_EQ(precti("p_plu.dat").substr(0, 15), "00000000000001,");
    const std::string radek = "07,0,0,0,1,02,0,1,1,00000099,\"MASO            \",+00000000100,+000000000,"
                              "-00000000200,+000000000\r\n";
    EXPECT_EQ(precti("p_plu.002"), radek + radek);
    EXPECT_EQ(precti("p_plu.003"), "");
    EXPECT_EQ(tt.datovy_soubor, "p_plu.003");
    EXPECT_EQ(precti("p_plu.fds").substr(0, 18), "11,00,0FA0,00,0000");
}

TEST_F(Stazeni, ChybyPrijatychBloku) {
    const std::string hl = blok_hlavicky(hlavicka_plu());
    const std::string z = plu("00000000000001", "A               ");
    struct Pripad {
        std::string bloky;
        Chyba chyba;
    } pripady[] = {
        {hl + blok_souboru('2', {z}, true), {41, 1}},
        {hl + "X" + blok_souboru('1', {z}, true).substr(1), {31, 2}},
        {hl + blok_souboru('1', {z}, false), {31, 20}},
        {hl + blok_souboru('1', {z, z}, true).substr(0, 60) + "\r", {31, 21}},
        {hl + ramec("100000G01" + z), {25, 1}},
        {hl + ramec("10000170" "1" + z), {66, 2}},  // 23 records of 42 bytes: 1,932 characters
        {hl + ramec("100000101" + z.substr(0, 50) + "G0" + z.substr(52)), {62, 2}},
        {hl + ramec("100000101" + z.substr(0, 51) + "G" + z.substr(52)), {62, 3}},
        {hl + ramec("100000101" + z.substr(0, 17) + "X" + z.substr(18)), {62, 3}},
    };
    for (const auto& p : pripady) {
        zapis("p_plu.dat", "predchozi");
        EXPECT_EQ(prijmi(p.bloky), p.chyba) << p.bloky;
        EXPECT_EQ(precti("p_plu.dat"), "predchozi");
        zavri_soubory_formatu();
    }
}

TEST_F(Stazeni, DalsiHlavickaTabulkyNeboNevhodnyFormat) {
    char poradi = '0';
    std::string w = stazeni(hlavicka_plu(), {plu("00000000000001", "A               ")}, 11, poradi);
    w += blok_hlavicky(hlavicka_tabulky("D2"), poradi);
    EXPECT_EQ(prijmi(w), (Chyba{31, 23}));
    // A file code whose definition covers more bytes than its FDS header gives.
    Hlavicka h = hlavicka_souboru("D0", "00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00");
    EXPECT_EQ(prijmi(blok_hlavicky(h)), (Chyba{56, 2}));
}

TEST_F(Stazeni, JmenoDalsihoSouboru) {
    fdsfile.poradi[0] = '0';
    fdsfile.poradi[1] = '2';
    for (const auto& [jmeno, vysledek] : std::vector<std::pair<std::string, std::string>>{
             {"p_plu.dat", "p_plu.002"}, {"abcdefgh.dat", "abcdefgh.002"}, {"bez", "bez"}}) {
        tt.datovy_soubor = jmeno;
        uprav_jmeno_datafile();
        EXPECT_EQ(tt.datovy_soubor, vysledek);
    }
    for (const std::string jmeno : {"abcdefghi.dat", "abcdefghij"}) {
        tt.datovy_soubor = jmeno;
        EXPECT_EQ(chyba_z([] { uprav_jmeno_datafile(); }), (Chyba{50, 6})) << jmeno;
    }
}

TEST_F(Stazeni, NejvysePrevedesedesatTisicJednaZaznamu) {
    // Code 61: a one-byte key and two S fields, 12 bytes; 40 records to a block.
    Hlavicka h = hlavicka_souboru("61", "01,00,00,00,00,00,00,00,0B,00,00,00,00,00,00,00");
    const std::string z = "01" "00000000000C" "000000000C";
    auto prace = [&](size_t zaznamu) {
        char poradi = '0';
        return stazeni(h, std::vector<std::string>(zaznamu, z), 40, poradi);
    };
    ASSERT_EQ(prijmi(prace(MAX_ZAZNAMU)), (Chyba{0, 0}));
    EXPECT_EQ(precti("p_plu.dat").size(), MAX_ZAZNAMU * 28);
    zapis("p_plu.dat", "predchozi");
    EXPECT_EQ(prijmi(prace(MAX_ZAZNAMU + 1)), (Chyba{66, 1}));
    EXPECT_EQ(precti("p_plu.dat"), "predchozi");
}

class Tabulka : public FormatTest {
protected:
    std::string prevod(const std::string& kod, const std::vector<std::string>& kusy) {
        std::string w = blok_hlavicky(hlavicka_tabulky(kod));
        char poradi = '1';
        unsigned posun = 0;
        for (size_t i = 0; i < kusy.size(); ++i) {
            w += blok_tabulky(poradi, posun, kusy[i], i + 1 == kusy.size());
            poradi = dalsi_poradi(poradi);
            posun += static_cast<unsigned>(kusy[i].size() / 2);
        }
        Chyba c = prijmi(w);
        return c == Chyba{0, 0} ? precti("p_plu.dat")
                                : "chyba " + std::to_string(c.first) + "/" + std::to_string(c.second);
    }
};

TEST_F(Tabulka, D2SestRadkuTextu) {
    std::string data, ocekavano;
    for (int i = 0; i < 6; ++i) {
        std::string t = "Radek " + std::to_string(i) + std::string(10, ' ');
        data += hex_textu(t);
        ocekavano += "\"" + t + "\"\r\n";
    }
    EXPECT_EQ(prevod("D2", {data}), ocekavano);
    EXPECT_TRUE(existuje("work04.tmp"));
    // Several blocks convert as one; their offsets are not compared.
    EXPECT_EQ(prevod("D2", {data.substr(0, 40), data.substr(40, 100), data.substr(140)}), ocekavano);
}

TEST_F(Tabulka, C4D0C9AD1) {
    EXPECT_EQ(prevod("C4", {"000000000000123D" "000000000000456C"}),
              "-000000000000123,+000000000000456\r\n");
    EXPECT_EQ(prevod("D0", {"0102030405"}), "01,02,03,04,05\r\n");
    EXPECT_EQ(prevod("C9", {"07"}), "07\r\n");
    // D1: eleven B items, N2, B(0), N1, B(1,0), N1, N2, N3, N1, N1, N1.
    std::string d1 = "A5" "FF" "C3" "05" "01" "88" "B2" "7F" "03" "02" "01" "1234" "00" "56" "02"
                     "78" "9ABC" "DEF012" "34" "56" "78";
    EXPECT_EQ(prevod("D1", {d1}),
              "1,0,1,0,0,1,0,1," "1,1,1,1,1,1,1,1," "1,1,0,0,1,1," "1,1," "1," "1,1," "1,1,1,1,"
              "1,1,1,1,1,1,1," "1,1," "1,0," "0,1," "1234,0,56,1,0,78,9ABC,DEF012,34,56,78\r\n");
}

TEST_F(Tabulka, Chyby) {
    EXPECT_EQ(prevod("C4", {"000000000000123D"}), "chyba 31/22");
    std::string w = blok_hlavicky(hlavicka_tabulky("D0")) + blok_tabulky('2', 0, "0102030405", true);
    EXPECT_EQ(prijmi(w), (Chyba{41, 2}));
    w = blok_hlavicky(hlavicka_tabulky("D0")) + "X" + blok_tabulky('1', 0, "0102030405", true).substr(1);
    EXPECT_EQ(prijmi(w), (Chyba{31, 1}));
    w = blok_hlavicky(hlavicka_tabulky("D2")) + blok_tabulky('1', 0, std::string(204, 'Q'), true);
    EXPECT_EQ(prijmi(w), (Chyba{62, 2}));
}

}  // namespace

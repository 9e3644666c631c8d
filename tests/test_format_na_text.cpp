// Received blocks converted to text data files: register files and tables.
#include "format_pomocne.h"

#include <cstring>

#include "format/na_text.h"

namespace {

// A PLU record: key, N1, the B(1,0) byte, N2, N4, the 16-byte name, S6, S5.
std::string plu(const std::string& klic, const std::string& jmeno, const std::string& s6 = "00000000150D",
                const std::string& s5 = "000000150C", const std::string& b = "02") {
    return klic + "05" + b + "0102" + "00001234" + hex(jmeno) + s6 + s5;
}
const std::string A = plu("00000000000001", "A               ");

class Stazeni : public FormatTest {
protected:
    // A table's header block and its data in one block; the text file or the error.
    std::string tabulka(const std::string& kod, const std::string& data) {
        Chyba c = prijmi(blok_hlavicky(hlavicka_tabulky(kod)) + blok_tabulky('1', 0, data, true));
        return vysledek(c, precti("p_plu.dat"));
    }
};

// PLU records as lines: signs, the B(1,0) bits and the text, with and without the character
// conversion. Further files of one download (a department file, an empty PLU file) get
// numbered extensions; an empty one gives an empty file.
TEST_F(Stazeni, ZaznamyADalsiSoubory) {
    std::string jmeno = std::string("\x01\x5B", 2) + std::string(14, ' ');
    std::vector<std::string> z = {plu("00000000012345", "ROHLIK          "),
                                  plu("00000000000001", jmeno, "00000000150C", "000000150D", "01"),
                                  plu("00000000000002", jmeno, "00000000150F", "0000001500", "03")};
    Hlavicka odd = vestavene_soubory()[1], treti = hlavicka_plu();
    odd.poradi = "02";
    treti.poradi = "03";
    std::string zaznam = "07" "010203" "00000099" + hex("MASO            ") + "00000000100C" "000000000C"
                         "00000000200D" "000000000C";
    char poradi = '0';
    const std::string plu_soubor = stazeni(hlavicka_plu(), z, 11, poradi);
    std::string w = plu_soubor + stazeni(odd, {zaznam, zaznam}, 1, poradi);
    w += stazeni(treti, {}, 11, poradi);
    ASSERT_EQ(prijmi(w), (Chyba{0, 0}));
    EXPECT_EQ(precti("p_plu.dat"),
              "00000000012345,05,1,0,0102,00001234,\"ROHLIK          \",-00000000150,+000000150\r\n"
              "00000000000001,05,0,1,0102,00001234,\"\x01\x5B              \",+00000000150,-000000150\r\n"
              "00000000000002,05,1,1,0102,00001234,\"\x01\x5B              \",+00000000150,+000000150\r\n");
    const std::string radek = "07,0,0,0,1,02,0,1,1,00000099,\"MASO            \",+00000000100,+000000000,"
                              "-00000000200,+000000000\r\n";
    EXPECT_EQ(precti("p_plu.002"), radek + radek);
    EXPECT_EQ(precti("p_plu.003"), "");
    EXPECT_EQ(s.tt.datovy_soubor, "p_plu.003");
    EXPECT_EQ(precti("p_plu.fds").substr(0, 18), "11,00,0FA0,00,0000");
    EXPECT_TRUE(existuje(WORK01));
    EXPECT_FALSE(existuje("p_plu.dat.part"));
    s.konverzeW_C = 1;
    s.tt.datovy_soubor = "p_plu.dat";
    ASSERT_EQ(prijmi(plu_soubor), (Chyba{0, 0}));
    EXPECT_EQ(precti("p_plu.dat").substr(36 + 80, 4), "\"\xE1\xC4 ");
}

// Every failure leaves the previous data file as it was.
TEST_F(Stazeni, ChybyPrijatychBloku) {
    const std::string hl = blok_hlavicky(hlavicka_plu()), d0 = blok_hlavicky(hlavicka_tabulky("D0"));
    char poradi = '0';
    std::string dalsi_tabulka = stazeni(hlavicka_plu(), {A}, 11, poradi);
    dalsi_tabulka += blok_hlavicky(hlavicka_tabulky("D2"), poradi);
    const std::pair<std::string, Chyba> pripady[] = {
        {hl + blok_souboru('2', {A}, true), {41, 1}}, {hl + "X" + blok_souboru('1', {A}, true).substr(1), {31, 2}},
        {hl + blok_souboru('1', {A}, false), {31, 20}},
        {hl + blok_souboru('1', {A, A}, true).substr(0, 60) + "\r", {31, 21}}, {hl + ramec("100000G01" + A), {25, 1}},
        {hl + ramec("10000170" "1" + A), {66, 2}},  // 23 records of 42 bytes: 1,932 characters
        {hl + ramec("100000101" + A.substr(0, 50) + "G0" + A.substr(52)), {62, 2}},
        {hl + ramec("100000101" + A.substr(0, 51) + "G" + A.substr(52)), {62, 3}},
        {hl + ramec("100000101" + A.substr(0, 17) + "X" + A.substr(18)), {62, 3}},
        // A file code whose definition covers more bytes than its FDS header gives.
        {blok_hlavicky(hlavicka_souboru("D0", "00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00")), {56, 2}},
        {blok_hlavicky(hlavicka_tabulky("C4")) + blok_tabulky('1', 0, "000000000000123D", true), {31, 22}},
        {d0 + blok_tabulky('2', 0, "0102030405", true), {41, 2}},
        {d0 + "X" + blok_tabulky('1', 0, "0102030405", true).substr(1), {31, 1}},
        {blok_hlavicky(hlavicka_tabulky("D2")) + blok_tabulky('1', 0, std::string(204, 'Q'), true), {62, 2}},
    };
    for (const auto& [bloky, chyba] : pripady) {
        zapis("p_plu.dat", "predchozi");
        EXPECT_EQ(prijmi(bloky), chyba) << bloky;
        EXPECT_EQ(precti("p_plu.dat"), "predchozi");
        zavri_soubory_formatu(s);
    }
    EXPECT_EQ(prijmi(dalsi_tabulka), (Chyba{31, 23}));  // a table's header after a file's last block
}

TEST_F(Stazeni, JmenoDalsihoSouboru) {
    std::strcpy(s.fdsfile.poradi, "02");
    for (const auto& [jmeno, ocekavano] : std::vector<std::pair<std::string, std::string>>{
             {"p_plu.dat", "p_plu.002"}, {"abcdefgh.dat", "abcdefgh.002"}, {"bez", "bez"},
             {"abcdefghi.dat", "chyba 50/6"}, {"abcdefghij", "chyba 50/6"}}) {
        s.tt.datovy_soubor = jmeno;
        Chyba c = chyba_z([&] { uprav_jmeno_datafile(s); });
        EXPECT_EQ(vysledek(c, s.tt.datovy_soubor), ocekavano);
    }
}

TEST_F(Stazeni, NejvysePrevedesedesatTisicJednaZaznamu) {
    // Code 61: a one-byte key and two S fields, 12 bytes; 40 records to a block.
    auto prace = [&](size_t zaznamu) {
        char poradi = '0';
        return stazeni(vestavene_soubory()[6], std::vector<std::string>(zaznamu, "01" "00000000000C" "000000000C"),
                       40, poradi);
    };
    ASSERT_EQ(prijmi(prace(MAX_ZAZNAMU)), (Chyba{0, 0}));
    EXPECT_EQ(precti("p_plu.dat").size(), MAX_ZAZNAMU * 28);
    zapis("p_plu.dat", "predchozi");
    EXPECT_EQ(prijmi(prace(MAX_ZAZNAMU + 1)), (Chyba{66, 1}));
    EXPECT_EQ(precti("p_plu.dat"), "predchozi");
}

TEST_F(Stazeni, TabulkyD2C4D0C9AD1) {
    std::string data, ocekavano;
    for (int i = 0; i < 6; ++i) {
        std::string t = "Radek " + std::to_string(i) + std::string(10, ' ');
        data += hex(t);
        ocekavano += "\"" + t + "\"\r\n";
    }
    EXPECT_EQ(tabulka("D2", data), ocekavano);
    EXPECT_TRUE(existuje("work04.tmp"));
    EXPECT_EQ(tabulka("C4", "000000000000123D" "000000000000456C"), "-000000000000123,+000000000000456\r\n");
    EXPECT_EQ(tabulka("D0", "0102030405"), "01,02,03,04,05\r\n");
    EXPECT_EQ(tabulka("C9", "07"), "07\r\n");
    // D1: eleven B items, N2, B(0), N1, B(1,0), N1, N2, N3, N1, N1, N1.
    std::string d1 = "A5" "FF" "C3" "05" "01" "88" "B2" "7F" "03" "02" "01" "1234" "00" "56" "02"
                     "78" "9ABC" "DEF012" "34" "56" "78";
    EXPECT_EQ(tabulka("D1", d1),
              "1,0,1,0,0,1,0,1," "1,1,1,1,1,1,1,1," "1,1,0,0,1,1," "1,1," "1," "1,1," "1,1,1,1,"
              "1,1,1,1,1,1,1," "1,1," "1,0," "0,1," "1234,0,56,1,0,78,9ABC,DEF012,34,56,78\r\n");
}

}  // namespace

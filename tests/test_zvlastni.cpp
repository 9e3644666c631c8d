// File formats of the special operations: the status, the FDS list, one header from
// fds.dat, the date and time line; the work file life cycle of a read.
#include "format_pomocne.h"

#include "link/cteni.h"
#include "link/zvlastni.h"
#include "link/vestavene.h"

namespace {

const std::string STAV40 = "0012" "000102030405060708090A0B0C0D0E0F1011";

class Specialni : public FormatTest {
protected:
    std::string text;  // the text of the last conversion
    // Converts the work file with the status (else the FDS list) conversion; the error it
    // ended with.
    Chyba preved(const std::string& work01, bool stav = true) {
        zapis("work01.tmp", work01);
        return chyba_z([&] {
            HSOUBOR f = otevri_soubor(s, "work01.tmp", 'r');
            text = stav ? preved_stav(s, f) : preved_seznam_fds(s, f);
            zavri_soubor(s, f);
        });
    }
};

TEST_F(Specialni, StavASeznamFds) {
    ASSERT_EQ(preved(ramec("0" + STAV40) + "rest is ignored"), Chyba(0, 0));
    EXPECT_EQ(text, "0012,00,01,02,03,04,05,06,07,08,09,0A,0B,0C,0D,0E,0F,10,11");
    Hlavicka plu = hlavicka_plu(), d2 = hlavicka_tabulky("D2");
    ASSERT_EQ(preved(blok_hlavicky(plu, '0') + blok_hlavicky(d2, '1'), false), Chyba(0, 0));
    EXPECT_EQ(text, "/HDR1/" + plu.pole(",") + "\r\n/HDR1/" + d2.pole(",") + "\r\n");
    EXPECT_EQ(preved("", false), Chyba(0, 0));
    EXPECT_EQ(text, "");

    // The status (45/x), then the FDS list.
    std::string blok = blok_hlavicky(plu, '0'), bez_konce = blok.substr(0, blok.size() - 3);
    const std::vector<std::pair<std::string, Chyba>> pripady = {
        {"", {45, 1}},
        {"0" + STAV40, {45, 2}},
        {"\x02", {45, 3}},
        {ramec("1" + STAV40), {45, 4}},
        {ramec("000G2" + STAV40.substr(4)), {45, 5}},
        {ramec("0" + STAV40.substr(0, 6) + "X"), {45, 6}},
        {ramec("0" + STAV40.substr(0, 7) + "X"), {45, 7}},
        {"\x02" "0" + STAV40.substr(0, 39), {45, 7}},
        {"x" + blok, {46, 1}},
        {blok + "\x02" "A/HDR1/", {46, 2}},
        {"\x02" "0", {46, 3}},
        {"\x02" "0H", {46, 4}},
        {"\x02" "0/", {46, 5}},
        {"\x02" "0/HD", {46, 6}},
        {ramec("0/HDR12/" + plu.pole("")), {63, 1}},
        {ramec("0/HDR/" + plu.pole("")), {63, 1}},
        // The block ends inside the fields: in the first, in the fifth, in a late one.
        {"\x02" "0/HDR1/1", {63, 2}},
        {"\x02" "0/HDR1/11000BB80000", {63, 6}},
        {ramec("0/HDR1/" + plu.pole("").substr(0, 46)), {63, 19}},
        {bez_konce, {63, 20}},
        {bez_konce + "A", {63, 21}},
        {bez_konce + "AB", {63, 22}},
    };
    for (const auto& [work01, chyba] : pripady) EXPECT_EQ(preved(work01, chyba.first == 45), chyba) << work01;
}

TEST_F(Specialni, HlavickaZeSeznamu) {
    Hlavicka plu = hlavicka_plu();
    plu.kapacita = "0BB8";
    zapis("fds.dat", "/HDR1/" + hlavicka_tabulky("D2").pole(",") + "\r\n/HDR1/" + plu.pole(",") + "\r\n");
    int nalezeno = -1;
    ASSERT_EQ(chyba_z([&] { nalezeno = napln_fdsfile_z_fdsu(s, "11"); }), Chyba(0, 0));
    EXPECT_EQ(nalezeno, 1);
    const FDSFILE& f = s.fdsfile;
    EXPECT_EQ(std::string(f.kod_souboru) + f.kapacita + f.delky[4] + f.delky[15], "110BB81000");
    EXPECT_STREQ(f.delky_text, "07,02,02,04,10,00,00,00,0B,00,00,00,00,00,00,00");
    ASSERT_EQ(chyba_z([&] { nalezeno = napln_fdsfile_z_fdsu(s, "31"); }), Chyba(0, 0));
    EXPECT_EQ(nalezeno, 0);

    auto vadny = [&](const std::string& radek) {
        zapis("fds.dat", radek + "\r\n");
        return chyba_z([&] { napln_fdsfile_z_fdsu(s, "11"); });
    };
    std::string r = "/HDR1/" + plu.pole(",");
    const size_t carky[] = {8, 11, 16, 19, 24, 27, 30, 33};  // the comma after fields 1..8
    for (int k = 0; k < 8; ++k) {
        SCOPED_TRACE(k);
        std::string v = r;
        v[carky[k]] = ';';
        EXPECT_EQ(vadny(v), Chyba(52, 21 + k));
    }
    EXPECT_EQ(vadny(r.substr(0, r.size() - 3)), Chyba(52, 29));  // 15 group lengths
    EXPECT_EQ(vadny(r + ",00"), Chyba(52, 29));                    // 17
    EXPECT_EQ(vadny(r.substr(0, 40) + "123" + r.substr(42)), Chyba(52, 29));
    EXPECT_EQ(vadny(r + std::string(10, ' ')), Chyba(52, 33));    // longer than 83
}

TEST_F(Specialni, DatumACas) {
    EXPECT_EQ(text_datumu({2000, 2, 9, 0, 0, 0, 0}), "00,02,09,00,00\r\n");
    s.sluzby.cas = [] { return MistniCas{2006, 12, 24, 21, 11, 59, 999}; };
    zapis("p_time.dat", "an older, longer text of the clock\r\n");
    EXPECT_TRUE(vytvor_datum(s, "p_time.dat"));
    EXPECT_EQ(precti("p_time.dat"), "06,12,24,21,11\r\n");
    // A file that cannot be created: no message without debug, but no success either.
    EXPECT_FALSE(vytvor_datum(s, "no-such-dir/p_time.dat"));
    EXPECT_TRUE(boxy.empty());
    s.debug = 1;
    EXPECT_FALSE(vytvor_datum(s, "no-such-dir/p_time.dat"));
    EXPECT_EQ(zpravy(), "Nepodarilo se otevrit soubor data a casu.\n");
}

TEST_F(Specialni, PrehraniPracovnihoSouboru) {
    // With nokomun a read converts the work file of an earlier run; it is deleted
    // afterwards unless debug keeps it.
    s.nokomun = 1;
    char poradi = '0';
    std::string work01 = stazeni(hlavicka_plu(), {std::string(84, '0')}, 11, poradi);
    for (int32_t d : {1, 0}) {
        s.debug = d;
        zapis("work01.tmp", work01);
        ASSERT_EQ(chyba_z([&] { precti_data(s); }), Chyba(0, 0));
        EXPECT_EQ(precti("p_plu.fds"), hlavicka_plu().fds_soubor());
        EXPECT_EQ(precti("p_plu.dat").substr(0, 18), "00000000000000,00,");
        EXPECT_EQ(existuje("work01.tmp"), d == 1);
    }
    // Nothing to replay: the conversion reports the missing work file.
    EXPECT_EQ(chyba_z([&] { precti_data(s); }), Chyba(30, 1));
}

TEST_F(Specialni, KontrolaStavuPoOdeslani) {
    // sts.dat from the status block; a status other than 0000 marks the reset as not done.
    s.nokomun = 1;
    s.tt.datovy_soubor = "sts.dat";
    for (auto [cislice, vysledek] : {std::pair<std::string, int>{"0000", 0}, {"0012", 12}, {"00A0", 0}, {"012A", 12}}) {
        zapis("work01.tmp", ramec("0" + cislice + STAV40.substr(4)));
        int v = -2;
        ASSERT_EQ(chyba_z([&] { v = stav_po_odeslani(s); }), Chyba(0, 0));
        EXPECT_EQ(v, vysledek) << cislice;
        EXPECT_EQ(precti("sts.dat").substr(0, 7), cislice + ",00");
    }
}

}  // namespace

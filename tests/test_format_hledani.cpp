// Searching the format table and expanding the item list.
#include "format_pomocne.h"  // first: see there

namespace {

class Hledani : public FormatTest {
protected:
    // The expanded list for the header, or the error the search ended with.
    std::string najdi(const Hlavicka& h, Chyba* chyba = nullptr) {
        popis(h);
        Chyba c = chyba_z([] { najdi_format(); });
        if (chyba) *chyba = c;
        return c == Chyba{0, 0} ? formatstring : "";
    }
    Chyba chyba_tabulky(const std::string& tabulka, const Hlavicka& h) {
        nastav_formatarea(tabulka.data(), tabulka.size());
        Chyba c;
        najdi(h, &c);
        return c;
    }
};

const std::string NULY = "00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00";

std::string definice(const std::string& f, const std::string& s, const std::string& t) {
    return "F:" + f + "\r\nS:" + s + "\r\nT:" + t + "\r\n";
}

TEST_F(Hledani, VestaveneDefinice) {
    Hlavicka odd = hlavicka_souboru("01", "01,03,00,04,10,00,00,00,0B,0B,00,00,00,00,00,00"), odd_bez = odd;
    odd_bez.delky[1] = "00";
    std::string d2;
    for (int i = 0; i < 6; ++i) d2 += "T17;";
    const std::vector<std::pair<Hlavicka, std::string>> pripady = {
        {hlavicka_plu(), "L7+N1+B(1,0)+N2+N4+T16+S6+S5+C"},  // the second definition of code 11
        {odd, "L1+B(3,2,1,0)+N1+B(2,1,0)+N4+T16+S6+S5+S6+S5+C"},
        {odd_bez, "L1+N4+T16+S6+S5+S6+S5+C"},
        {hlavicka_tabulky("D2"), d2 + "C"},
        {hlavicka_tabulky("C4"), "S8+S8+C"},
        {hlavicka_tabulky("D0"), "L1+N1+N1+N1+N1+C"},
        {hlavicka_tabulky("C9"), "L1+C"},
        // A table takes the definition by its table code, whatever the S: line says.
        {hlavicka_tabulky("11"), "L7+N1+B(1,0)+N2+N4+T16+S6+S5+C"},
    };
    for (const auto& [h, seznam] : pripady) EXPECT_EQ(najdi(h), seznam) << h.soubor << h.tabulka;
    // A group length that disagrees (also a selected group's), an unknown code: 56/1.
    Hlavicka a = hlavicka_plu(), b = hlavicka_plu();
    a.delky[0] = "08";
    b.delky[4] = "11";
    for (const Hlavicka& h : {a, b, hlavicka_souboru("77", "01,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00"),
                              hlavicka_tabulky("EE")}) {
        Chyba c;
        najdi(h, &c);
        EXPECT_EQ(c, (Chyba{56, 1}));
    }
}

TEST_F(Hledani, KomentareAPrazdneRadkyAPrvniVhodnaDefinice) {
    std::string t = "/ komentar\r\n\r\n" + definice("11", "01," + NULY.substr(3), "L1+.C") +
                    definice("11", "07," + NULY.substr(3), "L7+.C") +
                    definice("11", "07," + NULY.substr(3), "N7+.C") + "X \r\n";
    nastav_formatarea(t.data(), t.size());
    EXPECT_EQ(najdi(hlavicka_souboru("11", "07," + NULY.substr(3))), "L7+C");
}

TEST_F(Hledani, ChybyTabulkySVlastnimiPodkody) {
    Hlavicka tab = hlavicka_tabulky("D0");
    Hlavicka plu = hlavicka_plu();
    const std::string s = "S:" + NULY + "\r\n";
    struct Pripad {
        std::string tabulka;
        Chyba chyba;
    } pripady[] = {
        {"", {55, 1}},
        {"F-D0\r\n", {55, 3}},
        {"F:G0\r\n", {55, 4}},
        {"F:D0", {55, 6}},
        {"F:D0\r\nQ:\r\n", {55, 7}},
        {"F:D0\r\nS-\r\n", {55, 9}},
        {"F:D0\r\n" + s + "Q:L1+.C\r\n", {55, 19}},
        {"F:D0\r\n" + s + "T-L1+.C\r\n", {55, 21}},
        {"F:D0\r\n" + s + "T:.C\r\n", {55, 22}},
        {"F:D0\r\n" + s + "T:C\r\n", {55, 22}},
        {"F:D0\r\n" + s + "T:L1+Q1+.C\r\n", {55, 24}},
        {"F:D0\r\n" + s + "T:L" + std::string(30, '1') + "+.C\r\n", {55, 23}},
        {"F:D0\r\n" + s + "T:1234L1+.C\r\n", {55, 25}},
        {"F:D0\r\n" + s + "T:342L1+.C\r\n", {55, 26}},
        {"F:D0\r\n" + s + "T:2B(7,6,5,4,3)+.C\r\n", {55, 27}},
        {"F:D0\r\n" + s + "T:L1+C\r\n", {55, 28}},
        {"F:D0\r\n" + s + "T:5+.C\r\n", {55, 36}},
        {"F:D0\r\n" + s + "T:L1+.C", {55, 30}},
        {"F:D0\r\n" + s + "T:L1+.................C\r\n", {55, 34}},
        {"F:D0\r\n" + s + "T:341T17;.C\r\n", {55, 35}},
        {"Q\r\n", {55, 31}},
        {"X \r\n" + definice("D0", NULY, "L1+.C"), {56, 1}},
    };
    for (const auto& p : pripady)
        EXPECT_EQ(chyba_tabulky(p.tabulka, tab), p.chyba) << p.tabulka;

    // Entries of a file definition's S: line.
    Pripad soubory[] = {
        {"F:11\r\nS:0G,", {55, 11}},
        {"F:11\r\nS:07;", {55, 13}},
        {"F:11\r\nS:07,0", {55, 15}},
        {"F:11\r\nS:07,02.", {55, 17}},
    };
    for (const auto& p : soubory)
        EXPECT_EQ(chyba_tabulky(p.tabulka, plu), p.chyba) << p.tabulka;
}

TEST_F(Hledani, SestnactSkupinAPlnySeznamJesteProjdou) {
    std::string t = definice("D0", NULY, "L1+..............." + std::string("C")) + "X \r\n";
    nastav_formatarea(t.data(), t.size());
    EXPECT_EQ(najdi(hlavicka_tabulky("D0")), "L1+C");
    // 255 items of four characters and 'C' fill 1,021 of the 1,024 characters.
    t = definice("D0", NULY, "255T17;.C") + "X \r\n";
    nastav_formatarea(t.data(), t.size());
    EXPECT_EQ(najdi(hlavicka_tabulky("D0")).size(), 255u * 4 + 1);
}

TEST_F(Hledani, CteNejvyse8000Znaku) {
    std::string vypln;
    while (vypln.size() < 7990) vypln += "/ " + std::string(60, 'x') + "\r\n";
    std::string t = vypln + definice("D0", NULY, "L1+.C") + "X \r\n";
    nastav_formatarea(t.data(), t.size());
    Chyba c;
    najdi(hlavicka_tabulky("D0"), &c);
    EXPECT_EQ(c.first, 56);
    EXPECT_EQ(c.second, 1);
}

TEST_F(Hledani, CteniZnakuTabulkyASouboru) {
    EXPECT_EQ(chyba_z([] { cti_znak_M(55, 1, 'Q'); }), (Chyba{71, 1}));
    zapis("f.txt", "7x");
    HSOUBOR f = otevri_soubor("f.txt", 'r');
    EXPECT_EQ(cti_znak_e(f, 45, 1, 'N'), '7');
    EXPECT_EQ(chyba_z([f] { cti_znak_e(f, 45, 2, 'H'); }), (Chyba{45, 2}));
    zapis("f.txt", "");
    EXPECT_EQ(chyba_z([] { cti_znak_e(otevri_soubor("f.txt", 'r'), 45, 3, 'C'); }), (Chyba{45, 3}));
}

}  // namespace

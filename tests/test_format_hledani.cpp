// Searching the format table and expanding the item list.
#include "format_pomocne.h"

namespace {

class Hledani : public FormatTest {
protected:
    // The expanded list for the header, or the error the search ended with.
    std::string najdi(const Hlavicka& h) {
        popis(h);
        Chyba c = chyba_z([&] { najdi_format(s); });
        return vysledek(c, s.formatstring);
    }
};

const std::string NULY = "00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00";

std::string definice(const std::string& f, const std::string& s, const std::string& t) {
    return "F:" + f + "\r\nS:" + s + "\r\nT:" + t + "\r\n";
}

TEST_F(Hledani, VestaveneDefinice) {
    Hlavicka odd = vestavene_soubory()[1], odd_bez = odd, a = hlavicka_plu(), b = hlavicka_plu();
    odd_bez.delky[1] = "00";
    a.delky[0] = "08";
    b.delky[4] = "11";
    std::string d2;
    for (int i = 0; i < 6; ++i) d2 += "T17;";
    const std::vector<std::pair<Hlavicka, std::string>> pripady = {
        {hlavicka_plu(), "L7+N1+B(1,0)+N2+N4+T16+S6+S5+C"},  // the second definition of code 11
        {odd, "L1+B(3,2,1,0)+N1+B(2,1,0)+N4+T16+S6+S5+S6+S5+C"}, {odd_bez, "L1+N4+T16+S6+S5+S6+S5+C"},
        {hlavicka_tabulky("D2"), d2 + "C"},  // a repeated item; the other tables' lists show in their text
        // A table takes the definition by its table code, whatever the S: line says.
        {hlavicka_tabulky("11"), "L7+N1+B(1,0)+N2+N4+T16+S6+S5+C"},
        // A group length that disagrees (also a selected group's), an unknown code.
        {a, "chyba 56/1"}, {b, "chyba 56/1"}, {hlavicka_souboru("77", "01," + NULY.substr(3)), "chyba 56/1"},
        {hlavicka_tabulky("EE"), "chyba 56/1"},
    };
    for (const auto& [h, seznam] : pripady) EXPECT_EQ(najdi(h), seznam) << h.soubor << h.tabulka;
    // A reading mode the table reader does not know is the program's own defect.
    EXPECT_EQ(chyba_z([&] { cti_znak_M(s, 55, 1, 'Q'); }), (Chyba{71, 1}));
}

TEST_F(Hledani, VlastniTabulky) {
    const Hlavicka d0 = hlavicka_tabulky("D0"), plu = hlavicka_plu(), k11 = hlavicka_souboru("11", "07," + NULY.substr(3));
    const std::string f = "F:D0\r\nS:" + NULY + "\r\n";
    std::string vypln;  // only the first 8,000 characters are read
    while (vypln.size() < 7990) vypln += "/ " + std::string(60, 'x') + "\r\n";
    std::string t255;
    for (int i = 0; i < 255; ++i) t255 += "T17;";
    const std::tuple<std::string, Hlavicka, std::string> pripady[] = {
        // Comments and empty lines; the first definition that fits.
        {"/ komentar\r\n\r\n" + definice("11", "01," + NULY.substr(3), "L1+.C") + definice("11", "07," + NULY.substr(3), "L7+.C") +
             definice("11", "07," + NULY.substr(3), "N7+.C") + "X \r\n", k11, "L7+C"},
        // Sixteen empty groups pass; 255 items of four characters and 'C' fill 1,021 of 1,024 characters.
        {definice("D0", NULY, "L1+...............C") + "X \r\n", d0, "L1+C"},
        {definice("D0", NULY, "255T17;.C") + "X \r\n", d0, t255 + "C"},
        {vypln + definice("D0", NULY, "L1+.C") + "X \r\n", d0, "chyba 56/1"}, {"", d0, "chyba 55/1"},
        {"F-D0\r\n", d0, "chyba 55/3"}, {"F:G0\r\n", d0, "chyba 55/4"}, {"F:D0", d0, "chyba 55/6"},
        {"F:D0\r\nQ:\r\n", d0, "chyba 55/7"}, {"F:D0\r\nS-\r\n", d0, "chyba 55/9"},
        {"F:11\r\nS:0G,", plu, "chyba 55/11"}, {"F:11\r\nS:07;", plu, "chyba 55/13"},
        {"F:11\r\nS:07,0", plu, "chyba 55/15"}, {"F:11\r\nS:07,02.", plu, "chyba 55/17"},
        {f + "Q:L1+.C\r\n", d0, "chyba 55/19"}, {f + "T-L1+.C\r\n", d0, "chyba 55/21"},
        {f + "T:.C\r\n", d0, "chyba 55/22"}, {f + "T:C\r\n", d0, "chyba 55/22"},
        {f + "T:L" + std::string(30, '1') + "+.C\r\n", d0, "chyba 55/23"}, {f + "T:L1+Q1+.C\r\n", d0, "chyba 55/24"},
        {f + "T:1234L1+.C\r\n", d0, "chyba 55/25"}, {f + "T:342L1+.C\r\n", d0, "chyba 55/26"},
        {f + "T:2B(7,6,5,4,3)+.C\r\n", d0, "chyba 55/27"}, {f + "T:L1+C\r\n", d0, "chyba 55/28"},
        {f + "T:L1+.C", d0, "chyba 55/30"}, {"Q\r\n", d0, "chyba 55/31"},
        {f + "T:L1+.................C\r\n", d0, "chyba 55/34"}, {f + "T:341T17;.C\r\n", d0, "chyba 55/35"},
        {f + "T:5+.C\r\n", d0, "chyba 55/36"}, {"X \r\n" + definice("D0", NULY, "L1+.C"), d0, "chyba 56/1"},
    };
    for (const auto& [tabulka, h, ocekavano] : pripady) {
        nastav_formatarea(s, tabulka.data(), tabulka.size());
        EXPECT_EQ(najdi(h), ocekavano) << tabulka.substr(0, 80);
    }
}

}  // namespace

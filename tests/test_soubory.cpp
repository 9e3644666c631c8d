// The byte file routines: modes, byte reading and writing, letter case of names; the
// character conversions of names and texts.
#include "platform/kodovani.h"
#include "core/prikazovy_radek.h"
#include "pomocne.h"

namespace {

using Soubory = ProgramovyAdresar;

std::string precti_vse(SezeniJadra& s, HSOUBOR f) {
    std::string t;
    while (!cti_znak_ze_souboru(s, f)) t += static_cast<char>(s.readchar);
    return t;
}

TEST_F(Soubory, CteniZapisAPripojeni) {
    zapis("a.dat", "ab\r\n");
    s.pozice_v_souboru = 0;
    HSOUBOR f = otevri_soubor(s, "a.dat", 'r');
    EXPECT_EQ(precti_vse(s, f), "ab\r\n");
    EXPECT_EQ(std::vector<uint64_t>({uint64_t(s.FEOF), s.pozice_v_souboru, velikost_souboru(f)}),
              std::vector<uint64_t>({1, 4, 4}));
    EXPECT_EQ(zavri_soubor(s, f), 1);
    f = otevri_soubor(s, "b.dat", 'w');
    zapis_znak('1', f);
    zapis_text("23\r\n", f);
    zavri_soubor(s, f);
    f = otevri_soubor(s, "b.dat", '+');
    zapis_znak('4', f);
    zavri_soubor(s, f);
    EXPECT_EQ(precti("b.dat"), "123\r\n4");
    // Mode 'b' reads and writes in place: the port digit after the first comma.
    zapis("p.cmd", "000001,1,6,1,era\r\n");
    f = otevri_soubor(s, "p.cmd", 'b');
    do cti_znak_ze_souboru(s, f);
    while (s.readchar != ',');
    zapis_znak('3', f);
    cti_znak_ze_souboru(s, f);
    EXPECT_EQ(s.readchar, ',');
    zavri_soubor(s, f);
    EXPECT_EQ(precti("p.cmd"), "000001,3,6,1,era\r\n");
}

TEST_F(Soubory, ChybyPodleModu) {
    for (char mod : {'r', 's', 'b'}) OCEKAVEJ_CHYBU(otevri_soubor(s, "chybi.dat", mod), 30, 1);
    zapis("a.dat", "a");
    for (char mod : {'x', 'W'}) OCEKAVEJ_CHYBU(otevri_soubor(s, "a.dat", mod), 500, 1);
    OCEKAVEJ_CHYBU(cti_znak_ze_souboru(s, nullptr), 30, 3);
    OCEKAVEJ_CHYBU(zapis_znak('a', nullptr), 30, 4);
    s.ERROR1 = s.ERROR2 = 0;
    EXPECT_EQ(otevri_soubor(s, "chybi.dat", 'R'), nullptr);  // 'R': a missing file is no error
    EXPECT_EQ(s.ERROR1, 0);
    EXPECT_TRUE(boxy.empty());
    s.debug = 1;  // err() names the file first
    OCEKAVEJ_CHYBU(otevri_soubor(s, "chybi.dat", 'r'), 30, 1);
    EXPECT_EQ(zpravy().rfind("\nOtevirany soubor je chybi.dat, chyba ", 0), 0u);
    // err() flushes and closes what is open.
    HSOUBOR f = otevri_soubor(s, "c.dat", 'w');
    zapis_text("rozepsano", f);
    EXPECT_EQ(KONEC(err(26, 1)), 1);
    EXPECT_EQ(precti("c.dat"), "rozepsano");
}

TEST_F(Soubory, JmenaVJinychPismenechACesta) {
    zapis("Glogo.dat", "logo");
    HSOUBOR f = otevri_soubor(s, "glogo.dat", 'r');
    EXPECT_EQ(precti_vse(s, f), "logo");
    zavri_soubor(s, f);
    // Writing goes into the existing file instead of a second one beside it.
    f = otevri_soubor(s, "GLOGO.DAT", 'w');
    zapis_text("nove", f);
    zavri_soubor(s, f);
    EXPECT_EQ(precti("Glogo.dat"), "nove");
    zapis("work01.tmp", "nova");
    zapis("WLASTERR.TMP", "stara");
    EXPECT_TRUE(presun_soubor(cesta("work01.tmp"), cesta("wlasterr.tmp")));
    EXPECT_EQ(precti("wlasterr.tmp"), "nova");
    if (rozlisuje_pismena()) {
        EXPECT_FALSE(existuje("glogo.dat") || existuje("GLOGO.DAT") || existuje("WLASTERR.TMP"));
    }
    zavri_soubor(s, otevri_soubor(s, "p_plu.dat", 'w'));  // a new file gets the name as formed
    EXPECT_TRUE(smaz_soubor(cesta("P_PLU.dat")));
    EXPECT_FALSE(existuje("p_plu.dat"));
    s.fullpath = 0;
    EXPECT_EQ(pridej_path(s, "a.dat"), "a.dat");
}

TEST(Kodovani, MalaPismenaAUtf8) {
    EXPECT_EQ(mala_pismena("PLU_XXXX.Dat"), "plu_xxxx.dat");
    // Š Ť Ž Ł Ą Č Ř Ů Ý Ś; × ß and lower case stay.
    EXPECT_EQ(mala_pismena("\x8A\x8D\x8E\xA3\xA5\xC8\xD8\xD9\xDD\x8C\xD7\xDF\xF8"),
              "\x9A\x9D\x9E\xB3\xB9\xE8\xF8\xF9\xFD\x9C\xD7\xDF\xF8");
    std::string cz = "P\xF8\xEDli\x9A \x9Elu\x9Dou\xE8k\xFD k\xF9\xF2";
    EXPECT_EQ(cp1250_na_utf8(cz), "Příliš žluťoučký kůň");
    EXPECT_EQ(utf8_na_cp1250("Příliš žluťoučký kůň"), cz);
}

}  // namespace

// The byte file routines: modes, byte reading and writing, letter case of names.
#include <string>

#include "core/kodovani.h"
#include "core/prikazovy_radek.h"
#include "pomocne.h"

namespace {

using Soubory = ProgramovyAdresar;

std::string precti_vse(HSOUBOR f) {
    std::string s;
    while (!cti_znak_ze_souboru(f)) s += static_cast<char>(readchar);
    return s;
}

TEST_F(Soubory, CteniPoBajtechNastaviFeofAPozici) {
    zapis("a.dat", "ab\r\n");
    pozice_v_souboru = 0;
    HSOUBOR f = otevri_soubor("a.dat", 'r');
    EXPECT_EQ(cti_znak_ze_souboru(f), 0);
    EXPECT_EQ(readchar, 'a');
    EXPECT_EQ(precti_vse(f), "b\r\n");
    EXPECT_EQ(FEOF, 1);
    EXPECT_EQ(pozice_v_souboru, 4u);
    EXPECT_EQ(velikost_souboru(f), 4u);
    EXPECT_EQ(zavri_soubor(f), 1);
}

TEST_F(Soubory, ZapisPrepiseAPripojuje) {
    HSOUBOR f = otevri_soubor("b.dat", 'w');
    zapis_znak('1', f);
    zapis_text("23\r\n", f);
    zavri_soubor(f);
    EXPECT_EQ(precti("b.dat"), "123\r\n");
    f = otevri_soubor("b.dat", '+');
    zapis_znak('4', f);
    zavri_soubor(f);
    EXPECT_EQ(precti("b.dat"), "123\r\n4");
    zavri_soubor(otevri_soubor("b.dat", 'w'));
    EXPECT_EQ(precti("b.dat"), "");
    zavri_soubor(otevri_soubor("novy.dat", '+'));
    EXPECT_TRUE(existuje("novy.dat"));
}

TEST_F(Soubory, CteniAZapisNaMiste) {
    // The port digit after the first comma is replaced in place (mode 'b').
    zapis("p.cmd", "000001,1,6,1,era\r\n");
    HSOUBOR f = otevri_soubor("p.cmd", 'b');
    do cti_znak_ze_souboru(f);
    while (readchar != ',');
    zapis_znak('3', f);
    cti_znak_ze_souboru(f);
    EXPECT_EQ(readchar, ',');
    zavri_soubor(f);
    EXPECT_EQ(precti("p.cmd"), "000001,3,6,1,era\r\n");
}

TEST_F(Soubory, ChybejiciSouborPodleModu) {
    zapis("s.dat", "x");
    zavri_soubor(otevri_soubor("s.dat", 's'));
    OCEKAVEJ_CHYBU(otevri_soubor("chybi.dat", 'r'), 30, 1);
    OCEKAVEJ_CHYBU(otevri_soubor("chybi.dat", 's'), 30, 1);
    OCEKAVEJ_CHYBU(otevri_soubor("chybi.dat", 'b'), 30, 1);
    EXPECT_TRUE(zachycene_boxy().empty());

    ERROR1 = ERROR2 = 0;
    EXPECT_EQ(otevri_soubor("chybi.dat", 'R'), nullptr);
    EXPECT_EQ(ERROR1, 0);
    EXPECT_TRUE(zachycene_boxy().empty());
    debug = 1;
    EXPECT_EQ(otevri_soubor("chybi.dat", 'R'), nullptr);
    ASSERT_EQ(zachycene_boxy().size(), 1u);
    EXPECT_EQ(zachycene_boxy()[0].rfind("\nOtevirany soubor je chybi.dat, chyba ", 0), 0u);
}

TEST_F(Soubory, NeznamyModJeChyba500) {
    zapis("a.dat", "a");
    OCEKAVEJ_CHYBU(otevri_soubor("a.dat", 'x'), 500, 1);
    OCEKAVEJ_CHYBU(otevri_soubor("a.dat", 'W'), 500, 1);
}

TEST_F(Soubory, BezCestyAPridejPath) {
    zapis("a.dat", "a");
    EXPECT_EQ(pridej_path("a.dat"), cesta("a.dat"));
    HSOUBOR f = otevri_soubor(cesta("a.dat"), 'r', 1);
    EXPECT_EQ(precti_vse(f), "a");
    zavri_soubor(f);
    fullpath = 0;
    EXPECT_EQ(pridej_path("a.dat"), "a.dat");
}

TEST_F(Soubory, ExistujiciSouborVJinychPismenech) {
    zapis("Glogo.dat", "logo");
    HSOUBOR f = otevri_soubor("glogo.dat", 'r');
    EXPECT_EQ(precti_vse(f), "logo");
    zavri_soubor(f);
    // Writing goes into the existing file instead of a second one beside it.
    f = otevri_soubor("GLOGO.DAT", 'w');
    zapis_text("nove", f);
    zavri_soubor(f);
    EXPECT_EQ(precti("Glogo.dat"), "nove");
    if (rozlisuje_pismena()) {
        EXPECT_FALSE(existuje("glogo.dat"));
        EXPECT_FALSE(existuje("GLOGO.DAT"));
    }
    // A new file gets the name as formed.
    zavri_soubor(otevri_soubor("p_plu.dat", 'w'));
    EXPECT_TRUE(existuje("p_plu.dat"));
    EXPECT_TRUE(soubor_existuje(cesta("P_PLU.DAT")));
    EXPECT_TRUE(smaz_soubor(cesta("P_PLU.dat")));
    EXPECT_FALSE(existuje("p_plu.dat"));
}

TEST_F(Soubory, PresunNahradiCilVJinychPismenech) {
    zapis("work01.tmp", "nova");
    zapis("WLASTERR.TMP", "stara");
    EXPECT_TRUE(presun_soubor(cesta("work01.tmp"), cesta("wlasterr.tmp")));
    EXPECT_EQ(precti("wlasterr.tmp"), "nova");
    if (rozlisuje_pismena()) {
        EXPECT_FALSE(existuje("WLASTERR.TMP"));
    }
}

TEST_F(Soubory, ErrZavreOtevreneSoubory) {
    HSOUBOR f = otevri_soubor("c.dat", 'w');
    zapis_text("rozepsano", f);
    EXPECT_EQ(KONEC(err(26, 1)), 1);
    EXPECT_EQ(precti("c.dat"), "rozepsano");  // flushed, and not leaked
}

TEST_F(Soubory, NulovyHandleJeChybaNeZhrouceni) {
    OCEKAVEJ_CHYBU(cti_znak_ze_souboru(nullptr), 30, 3);
    OCEKAVEJ_CHYBU(zapis_znak('a', nullptr), 30, 4);
}

TEST(Kodovani, MalaPismenaCp1250) {
    EXPECT_EQ(mala_pismena("PLU_XXXX.Dat"), "plu_xxxx.dat");
    // Š Ť Ž Ł Ą Č Ř Ů Ý Ś
    EXPECT_EQ(mala_pismena("\x8A\x8D\x8E\xA3\xA5\xC8\xD8\xD9\xDD\x8C"),
              "\x9A\x9D\x9E\xB3\xB9\xE8\xF8\xF9\xFD\x9C");
    EXPECT_EQ(mala_pismena("\xD7\xDF\xF8"), "\xD7\xDF\xF8");  // × ß and lower case stay
}

}  // namespace

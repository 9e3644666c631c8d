// Files the program writes, against what a program directory may hold: symbolic links
// placed there, a log that cannot be written.
#include <functional>

#include "core/log.h"
#include "core/prikazovy_radek.h"
#include "e2e_pomocne.h"
#include "format/proudy.h"

namespace {

using namespace e2e;

// No file is written through a symbolic link in the program directory: the link is
// refused (a file error) or replaced, and the file it points to stays as it was.
TEST_F(ProgramovyAdresar, ZapisNejdeOdkazem) {
    fs::path cil = adresar / "jinde" / "cil";
    fs::create_directories(cil.parent_path());
    zapis("zdroj", "obraz pameti");
    const std::pair<const char*, std::function<void()>> pripady[] = {
        {"work02.tmp", [] { otevri_soubor("work02.tmp", 'w'); }},
        {"rsdata", [] { otevri_soubor("rsdata", '+'); }},
        {"era.log", [] { tt.logovy_soubor = "era.log"; zapis_log(); }},
        {"plu.dat", [] { kopiruj_soubor(pridej_path("zdroj"), pridej_path("plu.dat")); }},
        {"p.dat.part", [] { zapis_soubor_naraz("p.dat", "data"); }},
    };
    for (const auto& [jmeno, zapis_souboru] : pripady) {
        zapis_soubor(cil, "puvodni");
        fs::create_symlink(cil, adresar / jmeno);
        KONEC(zapis_souboru());
        zavri_vsechny_soubory();
        EXPECT_EQ(precti_soubor(cil), "puvodni") << jmeno;
        fs::remove(adresar / jmeno);
    }
}

// A log line that cannot be written leaves no result files (the caller learns nothing
// from them), so the run reports it and does not end with 0.
TEST_F(E2E, NezapsanyLogNekonciNulou) {
    fs::create_directory(adresar / "era.log");
    Beh b = spust_prikazy("000001,1,6,1,era\r\n/30-00/\r\n", {"/k"});
    EXPECT_EQ(b.kod, 1);
    EXPECT_NE(b.err.find("logovy soubor"), std::string::npos) << b.err;
}

}  // namespace

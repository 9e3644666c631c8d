// The OS layer behind platform/platform.h, on whichever OS the tests run.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/platform.h"

namespace {

namespace fs = std::filesystem;

class Platforma : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        adresar = fs::temp_directory_path() /
                  ("kaslnk-plat-" + std::string(info->name()) + "-" +
                   std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
        fs::create_directories(adresar);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(adresar, ec);
    }
    std::string cesta(const std::string& jmeno) const { return (adresar / jmeno).string(); }

    fs::path adresar;
};

TEST_F(Platforma, ZamekDrziJenJedenDrzitel) {
    const std::string zamek = cesta("kaslnk.lck");
    int prvni = plat_zamkni(zamek);
    ASSERT_GE(prvni, 0);
    EXPECT_EQ(plat_zamkni(zamek), -1);
    plat_uvolni_zamek(prvni);
    int druhy = plat_zamkni(zamek);
    EXPECT_GE(druhy, 0);
    plat_uvolni_zamek(druhy);
    EXPECT_EQ(plat_zamkni(cesta("neni/kaslnk.lck")), -1);
}

TEST_F(Platforma, CasVytvoreniJeTed) {
    std::ofstream(cesta("novy.dat")) << "x";
    int64_t ted = static_cast<int64_t>(std::time(nullptr));
    int64_t vznik = plat_cas_vytvoreni(cesta("novy.dat"));
    EXPECT_LE(std::llabs(vznik - ted), 5) << "birth " << vznik << " now " << ted;
    EXPECT_EQ(plat_cas_vytvoreni(cesta("neni.dat")), -1);
}

TEST_F(Platforma, SouborNalezenBezOhleduNaVelikostPismen) {
    std::ofstream(cesta("Glogo.dat")) << "logo";
    std::ifstream f(plat_najdi_soubor(cesta("glogo.dat")));
    std::string obsah;
    f >> obsah;
    EXPECT_EQ(obsah, "logo");
    EXPECT_EQ(plat_najdi_soubor(cesta("jiny.dat")), cesta("jiny.dat"));
}

TEST(PlatformaCas, MistniCasOdpovidaHodinamKnihovny) {
    MistniCas c = plat_mistni_cas();
    ASSERT_GE(c.mesic, 1);
    ASSERT_LE(c.mesic, 12);
    EXPECT_LT(c.milisekunda, 1000);
    std::tm t{};
    t.tm_year = c.rok - 1900;
    t.tm_mon = c.mesic - 1;
    t.tm_mday = c.den;
    t.tm_hour = c.hodina;
    t.tm_min = c.minuta;
    t.tm_sec = c.sekunda;
    t.tm_isdst = -1;
    double rozdil = std::difftime(std::mktime(&t), std::time(nullptr));
    EXPECT_LE(std::abs(rozdil), 5.0);
}

TEST(PlatformaChyba, PosledniChybaSeZachova) {
    plat_nastav_posledni_chybu(1234);
    EXPECT_EQ(plat_posledni_chyba(), 1234u);
    plat_nastav_posledni_chybu(0);
    EXPECT_EQ(plat_posledni_chyba(), 0u);
}


// A stdio buffer not yet written out reaches its file even though the process ends at once.
[[noreturn]] void zapis_a_skonci(const std::string& soubor) {
    std::FILE* f = std::fopen(soubor.c_str(), "wb");
    if (f) std::fputs("data v bufferu", f);
    plat_ukonci(3);
}

TEST(PlatformaKonec, UkonciProcesSKodemAVyprazdniSoubory) {
    // The same name in the parent and in the child that a death test starts on Windows.
    const std::string soubor = (fs::temp_directory_path() / "kaslnk-plat-konec.txt").string();
    std::remove(soubor.c_str());
    EXPECT_EXIT(zapis_a_skonci(soubor), ::testing::ExitedWithCode(3), "");
    std::ifstream f(soubor);
    std::string obsah;
    std::getline(f, obsah);
    EXPECT_EQ(obsah, "data v bufferu");
    f.close();
    std::remove(soubor.c_str());
}

}  // namespace

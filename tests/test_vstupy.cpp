// Files the program writes and the program directory: the received FDS and data files as
// a pair, temporary files, result files, the directory lock; the format tables.
#include "format_pomocne.h"

#include "core/log.h"
#include "core/prenos.h"
#include "platform/platform.h"

namespace {

using Vstupy = FormatTest;

const std::string ZAZNAM_PLU = "00000000012345" "05" "02" "0102" "00001234" + std::string(32, '4') + "00000000150D" "000000150C";

// The FDS file waits for its data file: a download that fails keeps the previous pair
// whole, and no temporary file stays. A first header whose sequence field is not "01"
// announces a further header block, not records.
TEST_F(Vstupy, DvojiceFdsADatZustavaCela) {
    zapis("p_plu.fds", "stary popis");
    zapis("p_plu.dat", "stara data");
    Hlavicka jina = hlavicka_plu();
    jina.poradi = "05";
    char poradi = '0', poradi_jine = '0';
    std::string cele = stazeni(hlavicka_plu(), {ZAZNAM_PLU}, 1, poradi);
    const std::string rozbite[] = {cele.substr(0, cele.size() - 20), cele.substr(0, 25),
                                   stazeni(jina, {ZAZNAM_PLU}, 1, poradi_jine)};
    const Chyba chyby[] = {{31, 21}, {52, 15}, {31, 12}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(prijmi(rozbite[i]), chyby[i]) << i;
        EXPECT_EQ(precti("p_plu.fds"), "stary popis");
        EXPECT_EQ(precti("p_plu.dat"), "stara data");
        EXPECT_FALSE(existuje("p_plu.fds.part") || existuje("p_plu.dat.part"));
    }
    ASSERT_EQ(prijmi(cele), (Chyba{0, 0}));
    EXPECT_EQ(precti("p_plu.fds"), hlavicka_plu().fds_soubor());
    // The data file takes its place first: an FDS file that cannot follow (a folder of its
    // name) waits as p_plu.fds.part beside the new data for the next run.
    std::filesystem::remove(adresar / "p_plu.fds");
    std::filesystem::create_directories(adresar / "p_plu.fds" / "x");
    zapis("p_plu.dat", "stara data");
    EXPECT_EQ(prijmi(cele), (Chyba{61, 3}));
    EXPECT_TRUE(precti("p_plu.dat") != "stara data" && existuje("p_plu.fds.part"));
}

TEST_F(Vstupy, VlastniDefiniceZaVestavenymi) {
    EXPECT_EQ(std::string(formatarea).find("E0"), std::string::npos);
    popis(hlavicka_tabulky("E0"));
    ASSERT_EQ(chyba_z([&] { najdi_format(s); }), (Chyba{0, 0}));
    EXPECT_EQ(std::string(s.formatstring).substr(0, 5), "N36;N");
}

// Temporary files of the program's own names left by a killed run go at the next start;
// other files stay.
TEST_F(Vstupy, StareDocasneSouboryPriStartu) {
    const char* stare[] = {"err.part", "error.txt.part", "plu.dat.part", "PLU.FDS.part", "era.log.part", "q.fds.part"};
    for (const char* jmeno : stare) zapis(jmeno, "x");
    zapis("plu.part", "x");
    zapis("q.fds", "stary popis");  // killed between the renames of q.dat and q.fds: q.fds.part belongs to q.dat
    zapis("x.cmd", "000001,1,6,1,era\r\n/30-00/\r\n");
    s.tt.jmeno_cmd = "x.cmd";
    s.nokomun = 1;
    s.zpozdeni = 0;
    ASSERT_EQ(KONEC(komunikuj(s)), -1);
    dokonci_vlakno(s);
    for (const char* jmeno : stare) EXPECT_FALSE(existuje(jmeno)) << jmeno;
    EXPECT_TRUE(existuje("plu.part"));
    EXPECT_EQ(precti("q.fds"), "x");
}

// A lock file that cannot be made is a file error, not another kaslnk (exit code 5).
TEST_F(Vstupy, ZamekNelzeVytvorit) {
    std::filesystem::create_directory(adresar / ZAMEK_ADRESARE);
    s.AUTOMAT = 1;
    OCEKAVEJ_CHYBU(komunikuj(s), 30, CHYBA_ZAMKU);
}

}  // namespace

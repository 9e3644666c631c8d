// Command files: loading, header, operation lines, error subcodes, numbering, flags.
#include <chrono>
#include <string>
#include <thread>

#include "core/prikazovy_soubor.h"
#include "core/terminal.h"
#include "platform/platform.h"
#include "pomocne.h"

namespace {

const std::string kHlava = "000001,1,6,1,era\r\n";

class Cmd : public ProgramovyAdresar {
protected:
    // Writes prikaz.cmd and makes it the command file of a new transfer.
    void priprav(const std::string& obsah, const std::string& soubor = "prikaz.cmd") {
        zapis(soubor, obsah);
        zacni("prikaz");
    }
    void zacni(const std::string& jmeno) { s.tt.jmeno_cmd = jmeno, s.tt.pokracovani = 0, uvolni_cmd_buffer(s); }
};

TEST(KonceRadku, Normalizace) {
    // An empty line stays; the character moved into a deleted line end's place is not examined.
    const std::pair<std::string, std::string> pripady[] = {
        {"a\r\nb\r\n", "a\rb\r"}, {"a\nb", "a\rb\r"},       {"a\rb\r", "a\rb\r"}, {"a\r\n\r\nb", "a\r\rb\r"},
        {"a\n\nb", "a\rb\r"},     {"a\r\r\nb", "a\r\nb\r"}, {"\nb", "\rb\r"},     {"", "\r"}};
    for (const auto& [vstup, vystup] : pripady) EXPECT_EQ(normalizuj_konce_radku(vstup), vystup) << vstup;
}

TEST_F(Cmd, HlavickaAOperace) {
    priprav(kHlava + "/20-00/00/;Plu_Data.txt\r\n/10-00/\r\n$/30-00/;x\r\n");
    ASSERT_EQ(ctiCMD(s), 1);
    EXPECT_EQ(s.tt.jmeno_cmd + s.tt.terminal + s.tt.logovy_soubor, "prikaz.cmd000001era.log");
    EXPECT_EQ(std::vector<uint32_t>({s.tt.cislo_terminalu, s.tt.cislo_portu, s.tt.rychlost}),
              std::vector<uint32_t>({1, 1, 19200}));
    EXPECT_EQ(std::string() + s.tt.znak_portu + s.tt.znak_rychlosti + s.kod_specialni, "160");
    EXPECT_EQ(std::vector<int32_t>({s.tt.duplex, s.SIT, s.tt.pokracovani, s.noterminate}),
              std::vector<int32_t>({1, 0, 1, 0}));
    EXPECT_EQ(s.tt.prikazovy_paket + s.tt.datovy_soubor + s.tt.fds_soubor, "/20-00/00/plu_data.datplu_data.fds");
    ASSERT_EQ(ctiCMD(s), 1);
    EXPECT_EQ(s.tt.prikazovy_paket + s.tt.datovy_soubor, "/10-00/plu_data.dat");  // no ';': the names stay
    EXPECT_EQ(s.ZavesLinku, 0);
    ASSERT_EQ(ctiCMD(s), 1);
    EXPECT_EQ(s.tt.prikazovy_paket + s.tt.datovy_soubor, "/30-00/x.dat");
    EXPECT_EQ(s.ZavesLinku + s.bez_pracovniho_souboru, 2);
    EXPECT_EQ(ctiCMD(s), 0);
    EXPECT_EQ(ctiCMD(s), 0);
    EXPECT_EQ(s.CMDbufExist, 1);

    // Other speeds and ports, a short terminal number, extra fields, CR alone, network.
    const std::vector<std::pair<std::string, std::string>> hlavicky = {
        {"000255,9,5,0,log\r\n", "255 9 9600 0 log.log"}, {"1,2,0,1,log.txt,dalsi pole\r\n\r\n", "1 2 300 1 log.log"},
        {"000001,1,7,1,era\r", "1 1 38400 1 era.log"},
    };
    for (const auto& [h, ocekavano] : hlavicky) {
        priprav(h + "/10-00/;a\r\n");
        ctiCMD(s);
        EXPECT_EQ(std::to_string(s.tt.cislo_terminalu) + " " + std::to_string(s.tt.cislo_portu) + " " +
                      std::to_string(s.tt.rychlost) + " " + std::to_string(s.tt.duplex) + " " + s.tt.logovy_soubor,
                  ocekavano);
    }
    priprav("192.168.1.10,10.0.0.2,sit\r\n/20-00/00/;plu\r\n");
    ASSERT_EQ(ctiCMD(s), 1);
    EXPECT_EQ(s.SIT, 1);
    EXPECT_EQ(s.tt.prvni_ip_adresa + " " + s.tt.druha_ip_adresa + " " + s.tt.logovy_soubor,
              "192.168.1.10 10.0.0.2 sit.log");
}

TEST_F(Cmd, CislicePrikazuAZaveseni) {
    priprav(kHlava + "/21-00/00/;a\r\n/40\r\n/5\r\n/97-00/\r\n/1\r\n");
    // After each line: noterminate, bez_pracovniho_souboru, the special code ('-': none), the packet.
    for (const char* po : {"101/21-00/00/", "000/40", "00-/5", "007/97-00/", "00-/1"}) {
        ctiCMD(s);
        std::string stav = {char('0' + s.noterminate), char('0' + s.bez_pracovniho_souboru),
                            s.kod_specialni ? s.kod_specialni : '-'};
        EXPECT_EQ(stav + s.tt.prikazovy_paket, po);
    }
    EXPECT_EQ(ctiCMD(s), 0);
    s.ZavesLinku = 1;  // "/z": for the first operation only
    priprav(kHlava + "$/10-00/;a\r\n/10-00/;b\r\n");
    ctiCMD(s);
    EXPECT_EQ(s.ZavesLinku, 2);
    ctiCMD(s);
    EXPECT_EQ(s.ZavesLinku, 0);
    s.debug = 1;  // the debug line on the screen
    priprav(kHlava + "/20-00/00/;plu\r\n");
    ctiCMD(s);
    EXPECT_EQ(std::string(radek_obrazovky(s, 0), 28), "Pracuji se souborem plu.dat.");
}

const std::string kOp = "\r\n/20-00/00/;plu\r\n";

// Command files that end in error 51 with this subcode, or (0) give one operation.
TEST_F(Cmd, ChybyObsahu) {
    const std::pair<std::string, int> pripady[] = {
        {"0000000000001,1,6,1,era" + kOp, 15}, {"0000001,1,6,1,era" + kOp, 17}, {",1,6,1,era" + kOp, 19},
        {"000256,1,6,1,era" + kOp, 20}, {"000001,12,6,1,era" + kOp, 27}, {"000001,0,6,1,era" + kOp, 28},
        {"000001,a,6,1,era" + kOp, 28}, {"000001,1,66,1,era" + kOp, 29}, {"000001,1,8,1,era" + kOp, 30},
        {"000001,1,6,11,era" + kOp, 31}, {"000001,1,6,2,era" + kOp, 32}, {"000001,1,6,1,,era" + kOp, 33},
        {"000001,1,6,1," + std::string(120, 'l') + kOp, 0}, {"000001,1,6,1," + std::string(121, 'l') + kOp, 33},
        {"000001,1,6,1,era," + std::string(119, 'x') + kOp, 0}, {"000001,1,6,1,era," + std::string(120, 'x') + kOp, 34},
        {"000001,1,6,1,era\r\n\r\n\r\n\r\n\r\n\r\n", 34}, {"1.34567890123456789012,10.0.0.2,sit" + kOp, 22},
        {"1.2,1234567890123456789012,sit" + kOp, 25}, {kHlava + "/2" + std::string(199, '0') + "\r\n", 35},
        {kHlava + "/60-00/;a\r\n", 36}, {kHlava + "/\r\n/10-00/;a\r\n", 36},
        {kHlava + "/20-00/00/;a\r\n\r\n", 36},  // empty line after the last
        {kHlava + "/20-00/;" + std::string(261, 'n') + "\r\n", 44},
        // Data names (60), log names (61), no data name (63), control characters elsewhere (64).
        {kHlava + "/20-00/;/etc/passwd\r\n", 60}, {kHlava + "/20-00/;\\plu\r\n", 60}, {kHlava + "/20-00/;data/\r\n", 60},
        {kHlava + "/20-00/;\r\n", 60}, {kHlava + "/20-00/;...\r\n", 60}, {kHlava + "/20-00/;a\x01plu\r\n", 60},
        {kHlava + "/20-00/;a\x7Fplu\r\n", 60}, {kHlava + "/20-00/;c:plu\r\n", 60},
        {kHlava + std::string("/20-00/;kaslnk\0\r\n", 17), 60}, {"000001,1,6,1,/tmp/log\r\n/20-00/;a\r\n", 61},
        {std::string("000001,1,6,1,e\0ra\r\n/20-00/;a\r\n", 30), 61}, {kHlava + "/99-00/\r\n", 63},
        {kHlava + "/30-00/\r\n/20-00/\r\n", 63}, {"1.2\x7F,10.0.0.2,sit" + kOp, 64},
        {std::string("00\0" "1,1,6,1,era\r\n/20-00/;a\r\n", 27), 64}};
    for (const auto& [obsah, podkod] : pripady) {
        SCOPED_TRACE(obsah);
        priprav(obsah);
        OCEKAVEJ_CHYBU(EXPECT_EQ(ctiCMD(s) + ctiCMD(s), 1), podkod ? 51 : 0, podkod);
    }
    priprav(kHlava + std::string("/20-00/\0;a\r\n", 12));
    OCEKAVEJ_CHYBU(ctiCMD(s), 51, CHYBA_RIDICI_ZNAK);
    EXPECT_EQ(s.tt.prikazovy_paket, "/20-00/?");  // as the log line shows it
}

TEST_F(Cmd, HraniceDelek) {
    priprav(kHlava + "/2" + std::string(198, '0') + ";" + std::string(260, 'n') + ".txt\r\n");
    EXPECT_EQ(ctiCMD(s), 1);
    EXPECT_EQ(s.tt.prikazovy_paket.size(), 200u);
    EXPECT_EQ(s.tt.datovy_soubor, std::string(260, 'n') + ".dat");
    // Relative names lead into subdirectories, '\\' as a separator too.
    priprav("000001,1,6,1,logy\\Era\r\n/20-00/;data\\Plu\r\n/30-00/\r\n");
    EXPECT_EQ(ctiCMD(s) + ctiCMD(s), 2);
    EXPECT_EQ(s.tt.logovy_soubor, std::string("logy") + plat_oddelovac() + "Era.log");
    EXPECT_EQ(s.tt.datovy_soubor, std::string("data") + plat_oddelovac() + "plu.dat");
}

TEST_F(Cmd, JmenoAVelikostSouboru) {
    priprav(kHlava + "/10-00/;a\r\n", "PRIKAZ.CMD");
    EXPECT_EQ(ctiCMD(s), 1);  // found whatever the case of its name

    const std::tuple<std::string, int, int> jmena[] = {
        {"prikaz.txt", 50, 3}, {"prikaz.cmd.bak", 50, 3}, {"", 50, 1}, {std::string(257, 'p') + ".cmd", 50, 2}, {"chybi", 30, 1}};
    for (const auto& [jmeno, kod, podkod] : jmena) {
        zacni(jmeno);
        OCEKAVEJ_CHYBU(ctiCMD(s), kod, podkod);
    }

    // 21 bytes are too few, 22 enough; MAX_DELKA_CMD bytes are enough, one more too many.
    std::string dlouhy = kHlava + "/30-00/;a\r\n";
    dlouhy += std::string(MAX_DELKA_CMD - dlouhy.size(), '\n');
    for (const auto& [obsah, podkod] : std::vector<std::pair<std::string, int>>{
             {"000001,1,6,1,e\r\n/30\r\n", 4}, {"000001,1,6,1,e\r\n/300\r\n", 0}, {dlouhy, 0}, {dlouhy + "\n", 5}}) {
        priprav(obsah);
        OCEKAVEJ_CHYBU(EXPECT_EQ(ctiCMD(s), 1), podkod ? 50 : 0, podkod);
    }

    priprav(kHlava + "/10-00/;a\r\n");
    s.CMDbufExist = 1;
    OCEKAVEJ_CHYBU(ctiCMD(s), 100, 3);
    // Another extension; "xxxx" numbers the data and FDS files.
    s.tt.pripona_cmd = "c27";
    priprav(kHlava + "/10-00/;Plu_xxxx\r\n", "prikaz.c27");
    EXPECT_EQ(ctiCMD(s), 1);
    EXPECT_EQ(s.tt.jmeno_cmd + " " + s.tt.datovy_soubor + " " + s.tt.fds_soubor,
              "prikaz.c27 plu_0000.dat plu_0000.fds");
}

using Cislovani = ProgramovyAdresar;

// The next number after the newest file of the prefix (by creation), skipping taken ones.
TEST_F(Cislovani, DalsiPoNejnovejsim) {
    EXPECT_EQ(nove_jmeno(s, "plu_xxxx"), "plu_0000");
    OCEKAVEJ_CHYBU(nove_jmeno(s, "plu_"), 100, 4);
    for (const char* jmeno : {"plu_0007.dat", "plu_0003.fds", "plux.dat", "ean_9999.dat", "ean_0000.dat", "dpt_abcd.dat",
                              "x_9998.dat", "x_9999.dat"})
        zapis(jmeno, "");
    EXPECT_EQ(nove_jmeno(s, "plu_xxxxzbytek"), "plu_0008");
    // After 9999 the numbers start again at 0000, which is taken too; letters count as 0.
    EXPECT_EQ(nove_jmeno(s, "ean_xxxx") + nove_jmeno(s, "dpt_xxxx") + nove_jmeno(s, "x_xxxx"),
              "ean_0001dpt_0001x_0001");
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    zapis("PLU_0006.DAT", "");
    zapis("ean_9998.dat", "");
    // The newest is 0006; 0007 is taken, so 0008 follows.
    EXPECT_EQ(nove_jmeno(s, "plu_xxxx"), "plu_0008");
    // After 9998, 9999 is taken: the number grows a digit rather than start again at a taken 0000.
    EXPECT_EQ(nove_jmeno(s, "ean_xxxx"), "ean_10000");
}

}  // namespace

// End to end: the built program as a caller runs it, against the register simulator on a
// pseudo-terminal. The protocol's details are checked in virtual time (test_protokol);
// here the result files, the exit codes and what the register stored.
#ifndef _WIN32

#include "e2e_pomocne.h"
#include "core/kanal.h"
#include "core/prenos.h"
#include "platform/platform.h"

namespace {

using namespace e2e;

const std::string OK = "00,000001,";
const std::string FDS_PLU = "11,00,0BB8,00,0000,01,00,07,02,02,04,10,00,00,00,0B,00,00,00,00,00,00,00";

// The program's start without a register: exit codes, messages, the built-in command files.
TEST_F(E2E, StartAKoncoveKody) {
    fs::path jinde = adresar / "jinde";
    fs::create_directory(jinde);
    zapis("bad.cmd", HLAVICKA + "/70-00/;plu\r\n");
    Beh b = spust({"bad.cmd"}, (adresar / "kaslnk").string(), jinde);
    ocekavej_vysledek(b, 1, "1", "9\r\n");
    EXPECT_EQ(log_bez_casu(), std::vector<std::string>{"51,000001,/70-00/;1,0036"});
    EXPECT_EQ(precti("timd.cmx"), HLAVICKA + "/10-00/;P_TIME\r\n");
    EXPECT_EQ(precti("glog.cmx"), HLAVICKA + "/10-00/;GLOGO\r\n");
    EXPECT_EQ(b.err, "");             // automatic mode without flags reports only through the files
    EXPECT_TRUE(fs::is_empty(jinde));  // nothing lands in the current directory
    // A command file given with a path is taken by its name; "/h" reports on stderr.
    zapis("Jiny.CMD", "000001,1,6,1,log\r\n/20-00/00/;/etc/x\r\n");
    b = spust({(jinde / "data" / "Jiny.CMD").string(), "/h"}, (adresar / "kaslnk").string(), jinde);
    EXPECT_EQ(b.kod, 1);
    EXPECT_NE(precti("log.log").find(",51,000001,/20-00/00/;1,0060\r\n"), std::string::npos);
    EXPECT_NE(b.err.find("Chyba 51, 60"), std::string::npos) << b.err;

    EXPECT_EQ(spust({"--version"}).out, "kaslnk 4.00\n");
    EXPECT_EQ(spust({}).kod, 4);
    fs::copy_file(adresar / "kaslnk", adresar / "pokladna");
    b = spust({"x.cmd"}, "./pokladna");
    EXPECT_EQ(b.kod, 3);
    EXPECT_NE(b.err.find("Nekdo mi zmenil jmeno.\nNepracuji.\nJmenuji se kaslnk."), std::string::npos);

    // A window's child reports the port, speed and terminal it ended with; 40005 is error 50/1.
    auto ramce = [&](const std::vector<std::string>& a) {
        b = spust(a, "/usr/bin/env");
        CtenarKanalu c;
        c.pridej(b.out.data(), b.out.size());
        std::string s = std::to_string(b.kod);
        for (ZpravaKanalu z; c.dalsi(z);) s += "|" + (z.druh + std::to_string(z.a)) + "," + std::to_string(z.b) + "," + z.text;
        return s;
    };
    zapis("p7.cmd", "000007,3,5,1,era\r\n/99-00/;sts\r\n");  // COM3 does not open
    EXPECT_NE(ramce({"KASLNK_KANAL_OKNA=1", "./kaslnk", "p7.cmd"}).find("|L3,9600,000007"), std::string::npos) << b.out;
    std::string s = ramce({"KASLNK_KANAL_OKNA=1", "./kaslnk", "--window-op", "40005"});  // no command file read: no port to report
    EXPECT_EQ(s.substr(0, 20) + std::to_string(s.find("|L")), "1|B48,0,Chyba 50, 1," + std::to_string(std::string::npos)) << s;
}

// Installed as bin/kaslnk beside share/kaslnk: --init fills the current directory and keeps
// what is there; --list-ports names each port's device and the rule that chose it.
TEST_F(E2E, InstalovanyProgram) {
    fs::path bin = adresar / "bin", sdilene = adresar / "share/kaslnk", jinde = adresar / "jinde";
    for (const fs::path& d : {bin, sdilene / "examples", jinde}) fs::create_directories(d);
    fs::copy_file(KASLNK_BINARY, bin / "kaslnk");
    zapis_soubor(sdilene / "p_time.fds", "cas");
    zapis_soubor(sdilene / "glogo.fds", "nove");
    zapis_soubor(jinde / "glogo.fds", "moje");
    Beh b = spust({"--init"}, (bin / "kaslnk").string(), jinde);
    EXPECT_EQ(b.kod, 0) << b.err;
    EXPECT_EQ(precti_soubor(jinde / "p_time.fds"), "cas");
    EXPECT_EQ(precti_soubor(jinde / "glogo.fds"), "moje");
    EXPECT_FALSE(fs::exists(jinde / "examples"));
    b = spust({"--init"}, (adresar / "kaslnk").string(), jinde);  // as in a build tree: nothing installed beside
    EXPECT_TRUE(b.kod == 0 || b.err.find("in examples/") != std::string::npos) << b.err;

    zapis("kaslnk.ini", "com1 = /dev/ttyUSB8\r\n Com2 = /dev/ttyUSB7 \r\n");
    b = spust({"KASLNK_COM2=", "KASLNK_COM3=", "./kaslnk", "--list-ports"}, "/usr/bin/env");
    EXPECT_EQ(b.kod, 0) << b.err;
    for (const char* port : {"COM1  /nonexistent/kaslnk-com1  (KASLNK_COM1)\n",
                             "COM2  /dev/ttyUSB7  (kaslnk.ini com2)\n", "COM3  /dev/ttyS2  (default)\n"})
        EXPECT_NE(b.out.find(port), std::string::npos) << b.out;
    EXPECT_FALSE(existuje("timd.cmx"));
}

// A second process in a locked program directory ends with 5 and touches nothing.
TEST_F(E2E, DruhyProcesVZamcenemAdresari) {
    zapis("x.cmd", HLAVICKA + "/10-00/;p_time\r\n");
    int zamek = plat_zamkni((adresar / ZAMEK_ADRESARE).string());
    ASSERT_GE(zamek, 0);
    zapis("err", "7");
    zapis("work01.tmp", "blocks");
    Beh b = spust({"x.cmd"});
    EXPECT_EQ(b.kod, KOD_OBSAZENY_ADRESAR);
    EXPECT_NE(b.err.find("jin\xC3\xBD kaslnk"), std::string::npos) << b.err;
    EXPECT_EQ(precti("err"), "7");
    EXPECT_EQ(precti("work01.tmp"), "blocks");
    EXPECT_FALSE(existuje("era.log"));
    plat_uvolni_zamek(zamek);
}

#ifdef KASLNK_SIM_BINARY

// A register file and a table read into text files, changed, sent back and stored by the
// register as changed; the FDS list and the status as the register reports them. A raw
// download keeps the register's blocks as they came; its raw upload sends exactly those
// blocks back, so a second download gives the same bytes.
TEST_F(E2E, SouborATabulkaTamAZpet) {
    spust_simulator();
    const std::string stahni = "/50-00/11///B000/;";
    std::string prikazy =
        CTI_PLU + ";PLU\r\n/20-00/D2/;hlavicka\r\n/90-00/;seznam\r\n/99-00/;stav\r\n" + stahni + "zaloha\r\n";
    ocekavej_vysledek(spust_prikazy(HLAVICKA + prikazy), 0, "0", "151\r\n");
    std::vector<std::string> seznam = radky(precti("seznam.dat"));
    ASSERT_EQ(seznam.size(), 5u);  // one line per file and table, files first
    EXPECT_EQ(seznam[0].substr(0, 8) + seznam[1].substr(0, 8), "/HDR1/01/HDR1/11");
    EXPECT_EQ(precti("stav.dat"), "0000,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00");
    EXPECT_EQ(precti("plu.fds"), FDS_PLU + "\r\n");
    std::string text = precti("plu.dat"), zaloha = precti("zaloha.dat");
    ASSERT_EQ(radky(text).size(), 367u);
    EXPECT_NE(radky(text)[6].find("\"V\xE1no\xE8ka         \""), std::string::npos) << radky(text)[6];
    EXPECT_FALSE(existuje("work01.tmp"));
    EXPECT_FALSE(existuje("wlasterr.tmp"));
    std::string tabulka = precti("hlavicka.dat");
    EXPECT_EQ(radky(tabulka).size(), 6u) << tabulka;
    EXPECT_EQ(zaloha.substr(0, 8), "\x02" "0/HDR1/");
    EXPECT_EQ(std::count(zaloha.begin(), zaloha.end(), '\r'), 1 + (367 + 10) / 11L);  // header, 11 records a block

    auto zmen = [&](const std::string& jmeno, std::string& t, const std::string& co, const std::string& cim) {
        size_t kde = t.find(co);
        ASSERT_NE(kde, std::string::npos) << t;
        zapis(jmeno, t.replace(kde, co.size(), cim));
    };
    zmen("plu.dat", text, "Rohl\xEDk tukov\xFD", "Rohl\xEDk s\xFDrov\xFD");
    zmen("hlavicka.dat", tabulka, "U L\xEDpy s.r.o.", "U Buku s.r.o.");
    prikazy = "/40-00/;zaloha\r\n" + stahni + "znovu\r\n/10-00/;plu\r\n/10-00/;hlavicka\r\n" + CTI_PLU + ";plu2\r\n";
    ocekavej_vysledek(spust_prikazy(HLAVICKA + prikazy), 0, "0", "151\r\n");
    std::vector<std::string> log;
    for (const std::string& op : std::vector<std::string>{CTI_PLU + ";", "/20-00/D2/;", "/90-00/;", "/99-00/;", stahni,
                                                          "/40-00/;", stahni, "/10-00/;", "/10-00/;", CTI_PLU + ";"})
        log.push_back(OK + op + "1,0000");
    EXPECT_EQ(log_bez_casu(), log);
    EXPECT_EQ(precti("znovu.dat"), zaloha);
    EXPECT_EQ(precti("plu2.dat"), text);
    EXPECT_FALSE(existuje("work02.tmp"));
    ASSERT_TRUE(cekej_na_zurnal(10));
    EXPECT_NE(zurnal()[5].find("raw upload: file 11/01 (367 records) stored in plu.txt"), std::string::npos);
    EXPECT_NE(zurnal()[7].find("file 11/01 (367 records) stored in plu.txt"), std::string::npos) << zurnal()[7];
    EXPECT_NE(zurnal()[8].find("table D2 (102 bytes) stored in tabulka-d2.txt"), std::string::npos) << zurnal()[8];
    EXPECT_NE(precti_soubor(pamet / "tabulka-d2.txt").find("\"    U Buku s.r.o.\""), std::string::npos);
}

// The simulator's faults, one at each step, on a paced line handing bytes over in groups:
// the program repeats what the protocol lets it repeat and gets the table as without them.
// The line's trace shows each fault and the bad block sent again; the bytes took their time.
TEST_F(E2E, VlozeneChybyAPomalaLinka) {
    fs::path stopa = adresar / "stopa.txt";
    spust_simulator({"--pace", "--baud", "2400", "--fifo", "16", "-T", stopa.string(), "--fault", "enq:silent",
                     "--fault", "cmd:nak", "--fault", "turn:foreign", "--fault", "block1:badsum"});
    long long start = ms_ted();
    ocekavej_vysledek(spust_prikazy("000001,1,3,1,era\r\n/20-00/D2/;hlavicka\r\n"), 0, "0", "151\r\n");
    EXPECT_GE(ms_ted() - start, 1000 + 2 * 220 * 10 * 1000 / 2400);  // the silence, the table's block twice
    EXPECT_EQ(radky(precti("hlavicka.dat")).size(), 6u);
    std::string s = precti_soubor(stopa);
    for (const char* co : {"fault enq:silent", "fault cmd:nak", "fault turn:foreign", "fault block1:badsum",
                           "NAK for block 1: sent again"})
        EXPECT_NE(s.find(co), std::string::npos) << co;
}

#endif
}  // namespace

#endif

// End to end: raw memory images, the FDS list, the status, the status check after a send,
// the clock, and the failures a register or its line can cause.
#ifndef _WIN32
#ifdef KASLNK_SIM_BINARY

#include "e2e_pomocne.h"

namespace {

using namespace e2e;

const std::string CTI_PLU = "/20-00/11///B000/";

std::string spoj(const std::vector<std::string>& casti) {
    std::string out;
    for (const std::string& c : casti) out += c;
    return out;
}

// A raw download keeps the register's blocks as they came; the raw upload of that file
// sends the register exactly those blocks, and the register stores the same PLU file.
TEST_F(E2E, SurovaZalohaAObnova) {
    fs::create_directory(pamet);
    zapis_soubor(pamet / "plu.txt", plu_pameti(23));
    spust_simulator({}, false);
    std::string puvodni = precti_soubor(pamet / "plu.txt");
    Beh b = spust_prikazy(HLAVICKA + "/50-00/11///B000/;zaloha\r\n/40-00/;zaloha\r\n");
    ocekavej_vysledek(b, 0, "0", "151\r\n");
    std::vector<std::string> l = log();
    ASSERT_EQ(l.size(), 2u);
    OCEKAVEJ_RADEK_LOGU(l[0], "00", "/50-00/11///B000/", "0000");
    OCEKAVEJ_RADEK_LOGU(l[1], "00", "/40-00/", "0000");
    ASSERT_TRUE(cekej_na_zurnal(2));

    std::vector<Zapis> s = provoz();
    std::vector<std::string> od_pokladny = ramce(proud(s, false));
    ASSERT_EQ(od_pokladny.size(), 4u);  // the header and blocks of 11, 11 and 1 records
    EXPECT_EQ(precti("zaloha.dat"), spoj(od_pokladny));
    std::vector<std::string> od_programu = ramce(proud(s, true));
    ASSERT_EQ(od_programu.size(), 2u + od_pokladny.size());  // two command packets first
    EXPECT_EQ(std::vector<std::string>(od_programu.begin() + 2, od_programu.end()), od_pokladny);
    EXPECT_NE(zurnal()[1].find("raw upload: file 11/01 (23 records) stored in plu.txt"), std::string::npos)
        << zurnal()[1];
    // The same records (the register rewrites the file with CR LF and a comment line).
    std::vector<std::string> ted = radky(precti_soubor(pamet / "plu.txt"));
    ted.erase(std::remove_if(ted.begin(), ted.end(), [](const std::string& r) { return r.rfind('#', 0) == 0; }),
              ted.end());
    EXPECT_EQ(ted, radky(puvodni, "\n"));
}

TEST_F(E2E, SeznamFdsAStatus) {
    spust_simulator();
    Beh b = spust_prikazy(HLAVICKA + "/90-00/;seznam\r\n/99-00/;stav\r\n");
    ocekavej_vysledek(b, 0, "0", "151\r\n");
    std::vector<std::string> l = log();
    ASSERT_EQ(l.size(), 2u);
    OCEKAVEJ_RADEK_LOGU(l[0], "00", "/90-00/", "0000");
    OCEKAVEJ_RADEK_LOGU(l[1], "00", "/99-00/", "0000");
    // One line per file and table of the register, files first.
    std::vector<std::string> seznam = radky(precti("seznam.dat"));
    ASSERT_EQ(seznam.size(), 5u) << precti("seznam.dat");
    std::vector<std::string> soubory(seznam.begin(), seznam.begin() + 2), tabulky(seznam.begin() + 2, seznam.end());
    std::sort(soubory.begin(), soubory.end());
    std::sort(tabulky.begin(), tabulky.end());
    EXPECT_EQ(soubory[0], "/HDR1/01,00,0063,00,0000,01,00,01,03,00,04,10,00,00,00,0B,0B,00,00,00,00,00,00");
    EXPECT_EQ(soubory[1], "/HDR1/11,00,0BB8,00,0000,01,00,07,02,02,04,10,00,00,00,0B,00,00,00,00,00,00,00");
    EXPECT_EQ(tabulky[0], "/HDR1/00,C4,0001,00,0000,01,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00");
    EXPECT_EQ(tabulky[2], "/HDR1/00,D2,0001,00,0000,01,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00");
    EXPECT_EQ(precti("seznam.dat").substr(precti("seznam.dat").size() - 2), "\r\n");
    // Four characters and eighteen bytes, without a line end.
    EXPECT_EQ(precti("stav.dat"), "0000,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00");
}

// With /status a send of the PLU file asks for the status; a register that reports a
// problem turns the result into 98 ("3" and "8"), while the log keeps the send's own result.
TEST_F(E2E, StatusPoOdeslani) {
    fs::copy(ukazka_pameti(), pamet, fs::copy_options::recursive);
    zapis_soubor(pamet / "plu.txt", plu_pameti(3));
    spust_simulator();
    Beh b = spust_prikazy(HLAVICKA + CTI_PLU + ";plu\r\n/10-00/;plu\r\n", {"/status"});
    ocekavej_vysledek(b, 0, "0", "151\r\n");
    EXPECT_EQ(precti("sts.dat"), "0000,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00");
    ASSERT_TRUE(cekej_na_zurnal(3));
    EXPECT_NE(zurnal()[2].find("/99-00/"), std::string::npos) << zurnal()[2];

    zapis_soubor(pamet / "status.txt", "status\n0102 000000000000000000000000000000000007\n");
    b = spust_prikazy(HLAVICKA + "/10-00/;plu\r\n", {"/status"});
    ocekavej_vysledek(b, 0, "3", "8\r\n");
    std::vector<std::string> l = log();
    ASSERT_EQ(l.size(), 3u);
    OCEKAVEJ_RADEK_LOGU(l[2], "00", "/10-00/", "0000");
    EXPECT_EQ(precti("sts.dat"), "0102,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,07");

    // A table needs no status check.
    b = spust_prikazy(HLAVICKA + "/20-00/D2/;hlavicka\r\n/10-00/;hlavicka\r\n", {"/status"});
    ocekavej_vysledek(b, 0, "0", "151\r\n");
}

TEST_F(E2E, NastaveniHodin) {
    for (const char* f : {"p_time.fds"}) {
        fs::path zdroj = fs::path(KASLNK_SOURCE_DIR) / "examples" / f;
        ASSERT_TRUE(fs::exists(zdroj)) << zdroj;
        fs::copy_file(zdroj, adresar / f);
    }
    spust_simulator();
    time_t pred = time(nullptr);
    Beh b = spust({"/t"});
    time_t po = time(nullptr);
    ocekavej_vysledek(b, 0, "0", "151\r\n");
    std::vector<std::string> l = log();
    ASSERT_EQ(l.size(), 1u);
    OCEKAVEJ_RADEK_LOGU(l[0], "00", "/10-00/", "0000");
    EXPECT_EQ(precti("timd.cmx"), "000001,1,6,1,era\r\n/10-00/;P_TIME\r\n");
    // The local time of the run, to the minute.
    auto text = [](time_t t) {
        tm m;
        localtime_r(&t, &m);
        char s[32];
        std::snprintf(s, sizeof s, "%02d,%02d,%02d,%02d,%02d\r\n", m.tm_year % 100, m.tm_mon + 1, m.tm_mday,
                      m.tm_hour, m.tm_min);
        return std::string(s);
    };
    std::string cas = precti("p_time.dat");
    EXPECT_TRUE(cas == text(pred) || cas == text(po)) << cas;
    ASSERT_TRUE(cekej_na_zurnal(1));
    EXPECT_NE(zurnal()[0].find("send: "), std::string::npos) << zurnal()[0];
    EXPECT_NE(zurnal()[0].find("stored in"), std::string::npos) << zurnal()[0];
}

// Three refused enquiries: 38 with "err" = "2"; the work file stays as wlasterr.tmp.
TEST_F(E2E, PokladnaSeNehlasi) {
    spust_simulator({"--fault", "enq:nak:always"});
    Beh b = spust_prikazy(HLAVICKA + CTI_PLU + ";plu\r\n");
    ocekavej_vysledek(b, 1, "2", "9\r\n");
    std::vector<std::string> l = log();
    ASSERT_EQ(l.size(), 1u);
    OCEKAVEJ_RADEK_LOGU(l[0], "38", CTI_PLU, "0001");
    EXPECT_FALSE(existuje("plu.dat"));
    EXPECT_TRUE(existuje("wlasterr.tmp"));
    EXPECT_FALSE(existuje("work01.tmp"));
    // Three enquiries, nothing else.
    std::string volani = std::string(3, '\x04') + "000001\x05";
    EXPECT_EQ(proud(provoz(), true), volani + volani + volani);

    // The same for a send (a data file from a register that answers).
    sim.reset();
    spust_simulator();
    ASSERT_EQ(spust_prikazy(HLAVICKA + CTI_PLU + ";plu\r\n").kod, 0);
    sim.reset();
    spust_simulator({"--fault", "enq:nak:always"});
    b = spust_prikazy(HLAVICKA + "/10-00/;plu\r\n");
    ocekavej_vysledek(b, 1, "2", "9\r\n");
    OCEKAVEJ_RADEK_LOGU(log().at(2), "38", "/10-00/", "0002");
}

// A block that fails its checksum once is asked for again; twice in a row is 40/1, and
// the blocks received so far stay in wlasterr.tmp.
TEST_F(E2E, ChybnyBlok) {
    spust_simulator({"--fault", "block1:badsum:3"});
    Beh b = spust_prikazy(HLAVICKA + CTI_PLU + ";plu\r\n");
    ocekavej_vysledek(b, 1, "1", "9\r\n");
    OCEKAVEJ_RADEK_LOGU(log().at(0), "40", CTI_PLU, "0001");
    EXPECT_FALSE(existuje("plu.dat"));
    std::string zbytek = precti("wlasterr.tmp");
    EXPECT_EQ(ramce(zbytek).size(), 1u) << zbytek;  // the header block alone
    EXPECT_EQ(zbytek.substr(0, 8), "\x02" "0/HDR1/");

    // The third bad copy of block 1 is still due: one NAK, the good copy, success.
    b = spust_prikazy(HLAVICKA + CTI_PLU + ";plu\r\n");
    ocekavej_vysledek(b, 0, "0", "151\r\n");
    EXPECT_EQ(radky(precti("plu.dat")).size(), 367u);
    std::string od_programu = proud(provoz(), true);
    EXPECT_EQ(std::count(od_programu.begin(), od_programu.end(), '\x15'), 2);  // one NAK in each run
}

// Three refused blocks in one send: 42/1.
TEST_F(E2E, OdmitnuteBloky) {
    spust_simulator();
    ASSERT_EQ(spust_prikazy(HLAVICKA + CTI_PLU + ";plu\r\n").kod, 0);
    sim.reset();
    spust_simulator({"--fault", "ack1:nak:3"});
    Beh b = spust_prikazy(HLAVICKA + "/10-00/;plu\r\n");
    ocekavej_vysledek(b, 1, "1", "9\r\n");
    OCEKAVEJ_RADEK_LOGU(log().at(1), "42", "/10-00/", "0001");
    EXPECT_TRUE(existuje("work02.tmp"));
}

}  // namespace

#endif
#endif

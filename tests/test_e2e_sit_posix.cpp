// End to end over the network: the program against Debian's ser2net, which forwards
// loopback TCP ports (raw and RFC 2217) to the simulator's pseudo-terminal.
#ifndef _WIN32
#ifdef KASLNK_SIM_BINARY

#include "e2e_pomocne.h"
#include "ser2net.h"

namespace {

using namespace e2e;

class Sit : public E2E {
protected:
    std::unique_ptr<ser2net::Server> server;

    void spust_ser2net() {
        ASSERT_EQ(access(ser2net::PROGRAM, X_OK), 0) << "ser2net is missing: run scripts/setup.sh";
        server = std::make_unique<ser2net::Server>(adresar.string(), sim->path);
    }
    void TearDown() override {
        server.reset();
        if (HasFailure()) std::fprintf(stderr, "ser2net:\n%s", precti("ser2net.err").c_str());
        E2E::TearDown();
    }
};

// A PLU read and send back over both mappings gives the files of the same run on the pty;
// through RFC 2217 the register's line runs at the speed of the command file.
TEST_F(Sit, PLUTamAZpetJakoNaPty) {
    spust_simulator();
    std::string prikazy = HLAVICKA + "/20-00/11///B000/;plu\r\n/10-00/;plu\r\n";
    ocekavej_vysledek(spust_prikazy(prikazy), 0, "0", "151\r\n");
    std::string dat = precti("plu.dat"), fds = precti("plu.fds"), ulozeno = precti_soubor(pamet / "plu.txt");
    ASSERT_EQ(radky(dat).size(), 367u);
    spust_ser2net();
    for (const std::string& mapovani : {server->rfc2217, server->tcp}) {
        SCOPED_TRACE(mapovani);
        fs::remove(adresar / "plu.dat");
        com1 = mapovani;
        Beh b = spust_prikazy("000001,1,5,1,era\r\n" + prikazy.substr(HLAVICKA.size()));
        ocekavej_vysledek(b, 0, "0", "151\r\n");
        EXPECT_EQ(precti("plu.dat"), dat);
        EXPECT_EQ(precti("plu.fds"), fds);
        EXPECT_EQ(precti_soubor(pamet / "plu.txt"), ulozeno);
    }
    std::string stopa_ = precti_soubor(stopa);
    EXPECT_NE(stopa_.find("line speed 9600 bit/s"), std::string::npos);
}

// ser2net killed in the middle of a read: the link error at once, as for an unplugged
// device, with the log line, the result files and the blocks received so far.
TEST_F(Sit, ServerPadneBehemCteni) {
    spust_simulator({"--pace"});
    spust_ser2net();
    com1 = server->rfc2217;
    long long zabito = 0;
    std::thread zabij([&] {
        usleep(2500000);  // the paced read of 367 records takes about 17 s
        zabito = simtest::ms_now();
        server->zastav(SIGKILL);
    });
    Beh b = spust_prikazy(HLAVICKA + "/20-00/11///B000/;plu\r\n");
    zabij.join();
    long long po_zabiti = simtest::ms_now() - zabito;
    ocekavej_vysledek(b, 1, "1", "9\r\n");
    OCEKAVEJ_RADEK_LOGU(log().at(0), "47", "/20-00/11///B000/", "0001");
    EXPECT_GE(ramce(precti("wlasterr.tmp")).size(), 1u);
    EXPECT_LT(po_zabiti, 1500) << "the time-outs ran";
}

// Nobody listens: the port cannot be opened (92), for both forms.
TEST_F(Sit, ZavrenyPort) {
    std::string port = std::to_string(ser2net::volny_port());
    for (const std::string& mapovani : {"rfc2217://127.0.0.1:" + port, "tcp://127.0.0.1:" + port}) {
        com1 = mapovani;
        Beh b = spust_prikazy(HLAVICKA + "/20-00/11///B000/;plu\r\n", {}, 20);
        ocekavej_vysledek(b, 1, "1", "9\r\n");
        OCEKAVEJ_RADEK_LOGU(log().back(), "92", "/20-00/11///B000/", "0001");
    }
}

}  // namespace

#endif
#endif

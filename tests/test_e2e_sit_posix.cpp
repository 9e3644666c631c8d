// End to end over the network: the program against Debian's ser2net, which serves the
// simulator's pseudo-terminal on two loopback ports, as RFC 2217 and as raw TCP.
#ifndef _WIN32
#ifdef KASLNK_SIM_BINARY

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/file.h>
#include <sys/socket.h>

#include "e2e_pomocne.h"
#include "link/port.h"

namespace {

using namespace e2e;

// A free loopback port's number (free at the moment of the call, or listening on `posluchac`).
int loopback(int posluchac = -1) {
    int s = posluchac >= 0 ? posluchac : socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t d = sizeof a;
    auto* adresa = reinterpret_cast<sockaddr*>(&a);
    int v = (bind(s, adresa, d) || listen(s, 1) || getsockname(s, adresa, &d)) ? -1 : ntohs(a.sin_port);
    if (s != posluchac) close(s);
    return v;
}

// Whether a loopback port listens, seen without connecting: ser2net opens the pty for each
// connection and at its close puts back the line settings it found, over the program's.
bool posloucha(int port) {
    char radek[32];
    std::snprintf(radek, sizeof radek, "0100007F:%04X 00000000:0000 0A", port);
    return precti_soubor("/proc/net/tcp").find(radek) != std::string::npos;
}

class Sit : public E2E {
protected:
    std::unique_ptr<Proces> ser2net;
    fs::path stopa = adresar / "stopa.txt";  // the simulator's traffic log
    std::string rfc2217, tcp;  // the mappings of the simulator's pty

    int zamek = -1;  // one ser2net at a time: parallel test runs must not meet on loopback ports

    // The RFC 2217 port starts at 19200 bit/s until the program sets its own speed; the raw
    // port keeps `rychlost_tcp`, the simulator's.
    void spust_ser2net(const std::string& rychlost_tcp = "19200") {
        zamek = open("/tmp/kaslnk-test-ser2net.lock", O_RDWR | O_CREAT, 0600);
        flock(zamek, LOCK_EX);
        ASSERT_EQ(access("/usr/sbin/ser2net", X_OK), 0) << "ser2net is missing: run scripts/setup.sh";
        int p1 = loopback(), p2 = loopback();
        auto pty = [&](const std::string& rychlost) {
            return "  connector: serialdev," + sim->cesta + "," + rychlost + "o71,local\n";
        };
        zapis("ser2net.yaml", "connection: &r\n  accepter: telnet(rfc2217),tcp,127.0.0.1," + std::to_string(p1) + "\n" +
                                  pty("19200") + "connection: &t\n  accepter: tcp,127.0.0.1," + std::to_string(p2) +
                                  "\n" + pty(rychlost_tcp));
        int log = open((adresar / "ser2net.err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ser2net = std::make_unique<Proces>(std::vector<std::string>{"/usr/sbin/ser2net", "-n", "-u", "-c", "ser2net.yaml",
                                                                    "-P", "ser2net.pid"},
                                           adresar.string(), prostredi(""), log, log);
        close(log);
        for (long long konec = ms_ted() + 5000; !posloucha(p1) || !posloucha(p2); usleep(20000))
            ASSERT_LT(ms_ted(), konec) << "ser2net does not listen";
        rfc2217 = "rfc2217://127.0.0.1:" + std::to_string(p1);
        tcp = "tcp://127.0.0.1:" + std::to_string(p2);
    }
    void TearDown() override {
        ser2net.reset();
        if (zamek >= 0) close(zamek);
        if (HasFailure()) std::fprintf(stderr, "ser2net:\n%s", precti("ser2net.err").c_str());
        E2E::TearDown();
    }
};

// A PLU read and send back over both mappings gives the files of the same run on the pty;
// through RFC 2217 the register's line runs at the speed of the command file (the register
// at 9600 bit/s hears nothing at the port's first 19200).
TEST_F(Sit, PLUTamAZpetJakoNaPty) {
    spust_simulator({"-T", stopa.string(), "-b", "9600"});
    const std::string hlavicka = "000001,1,5,1,era\r\n", prikazy = CTI_PLU + ";plu\r\n/10-00/;plu\r\n";
    ocekavej_vysledek(spust_prikazy(hlavicka + prikazy), 0, "0", "151\r\n");
    std::string dat = precti("plu.dat"), fds = precti("plu.fds"), ulozeno = precti_soubor(pamet / "plu.txt");
    ASSERT_EQ(radky(dat).size(), 367u);
    spust_ser2net("9600");
    for (const std::string& mapovani : {rfc2217, tcp}) {
        SCOPED_TRACE(mapovani);
        fs::remove(adresar / "plu.dat");
        com1 = mapovani;
        ocekavej_vysledek(spust_prikazy(hlavicka + prikazy), 0, "0", "151\r\n");
        EXPECT_EQ(precti("plu.dat"), dat);
        EXPECT_EQ(precti("plu.fds"), fds);
        EXPECT_EQ(precti_soubor(pamet / "plu.txt"), ulozeno);
    }
}

// ser2net killed in the middle of a read: the link error at once, as for an unplugged
// device, with the log line, the result files and the blocks received so far.
TEST_F(Sit, ServerPadneBehemCteni) {
    spust_simulator({"--pace", "-T", stopa.string()});
    spust_ser2net();
    com1 = rfc2217;
    long long zabito = 0;
    std::error_code chyba;
    std::thread zabij([&] {
        // Some blocks into the paced read of 367 records (about 17 s).
        for (long long mez = ms_ted() + 10000; fs::file_size(stopa, chyba) < 20000 && ms_ted() < mez;) usleep(20000);
        zabito = ms_ted();
        ser2net.reset();  // SIGTERM: ser2net ends at once, dropping the connection
    });
    Beh b = spust_prikazy(HLAVICKA + CTI_PLU + ";plu\r\n");
    long long konec = ms_ted();
    zabij.join();
    EXPECT_LT(konec - zabito, 1500) << "the time-outs ran";
    ocekavej_vysledek(b, 1, "1", "9\r\n");
    EXPECT_EQ(log_bez_casu(), std::vector<std::string>{"47,000001," + CTI_PLU + ";1,0001"});
    EXPECT_EQ(precti("wlasterr.tmp").rfind("\x02" "0/HDR1/", 0), 0u);  // the header block at least
}

// A server that floods `IAC DO <option>` (4 KiB a ms for at most 30 s) and never reads holds
// the transfer no longer than a silent one plus 2 s: answers it does not take are dropped.
TEST_F(Sit, ZaplavaVolebNezdrziPrenos) {
    long long trvani[2] = {};
    for (bool zaplava : {false, true}) {
        int posluchac = socket(AF_INET, SOCK_STREAM, 0), maly = 4096;
        setsockopt(posluchac, SOL_SOCKET, SO_RCVBUF, &maly, sizeof maly);
        com1 = "rfc2217://127.0.0.1:" + std::to_string(loopback(posluchac));
        std::atomic<bool> konec{false};
        std::thread server([&] {
            std::string d;
            for (int i = 0; i < 1365; ++i) d += {char(255), char(253), char(100 + i % 100)};  // IAC DO option
            pollfd p{posluchac, POLLIN, 0};
            int s = poll(&p, 1, 30000) > 0 ? accept(posluchac, nullptr, nullptr) : -1;
            for (size_t od = 0, kolo = 0; s >= 0 && !konec && ++kolo < 30000; usleep(1000))
                if (zaplava) od += std::max<ssize_t>(0, send(s, &d[od % d.size()], d.size() - od % d.size(),
                                                         MSG_DONTWAIT | MSG_NOSIGNAL));
            close(s);
            close(posluchac);
        });
        long long zacatek = ms_ted();
        Beh b = spust_prikazy(HLAVICKA + CTI_PLU + ";plu\r\n");
        trvani[zaplava] = ms_ted() - zacatek;
        konec = true;
        server.join();
        EXPECT_EQ(b.kod, 1) << b.err;  // a coded error, logged
        EXPECT_EQ(precti("error.txt"), "9\r\n");
        EXPECT_EQ(log_bez_casu().size(), zaplava ? 2u : 1u);
    }
    EXPECT_LT(trvani[1], trvani[0] + 2000);
}

// The line settings go out as RFC 2217 numbers (parity 1 none, 2 odd, 3 even, 4 mark,
// 5 space; stop size 1, 2, 3 = one and a half): the simulator notes each frame it is set to.
TEST_F(Sit, NastaveniLinkyPoRfc2217) {
    spust_simulator({"--rfc2217", "0", "-T", stopa.string()});
    Sezeni s;
    OtevrenyPort o = otevri_sitovy_port(s, com1);
    ASSERT_TRUE(o.port) << o.duvod;
    for (auto [linka, format] : std::vector<std::pair<SerialLine, std::string>>{
             {{9600, 7, 1, 0, 2}, "7O1"}, {{300, 8, 2, 2, 0}, "8E2"}, {{1200, 5, 3, 1, 4}, "5M1.5"},
             {{19200, 6, 4, 0, 0}, "6S1"}, {{19200, 8, 0, 1, 0}, "8N1.5"}}) {
        EXPECT_TRUE(o.port->nastav_linku(linka));
        EXPECT_TRUE(precti_soubor(stopa).ends_with("line format " + format + "\n")) << format;
    }
}

// Nobody listens: the port cannot be opened (92), for both forms.
TEST_F(Sit, ZavrenyPort) {
    std::string port = std::to_string(loopback());
    for (const std::string& mapovani : {"rfc2217://127.0.0.1:" + port, "tcp://127.0.0.1:" + port}) {
        com1 = mapovani;
        ocekavej_vysledek(spust_prikazy(HLAVICKA + CTI_PLU + ";plu\r\n"), 1, "1", "9\r\n");
        EXPECT_EQ(log_bez_casu().back(), "92,000001," + CTI_PLU + ";1,0001");
    }
}

}  // namespace

#endif
#endif

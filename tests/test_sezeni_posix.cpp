// Sessions of one process: transfers in threads of their own, each in its program
// directory and on its own port, none disturbing the others.
#include <pty.h>

#include "core/spusteni.h"
#include "e2e_pomocne.h"
#include "link/port.h"
#include "link/sezeni.h"

// COMn of a session: its own mapping first, then KASLNK_COMn (an empty one counts as
// unset), then kaslnk.ini's comN, then the system's port. The name is only looked up.
TEST(Sezeni, PoradiMapovaniPortu) {
    Sezeni s;
    s.ini_porty[3] = "/ini/com3";
    setenv("KASLNK_COM3", "/env/com3", 1);
    EXPECT_EQ(zarizeni_portu(s, 3), "/env/com3");
    EXPECT_TRUE(nastav_port_sezeni(s, 3, "tcp://127.0.0.1:1"));
    EXPECT_EQ(zarizeni_portu(s, 3), "tcp://127.0.0.1:1");
    EXPECT_EQ(zarizeni_portu(Sezeni{}, 3), "/env/com3");  // another session: not its mapping
    EXPECT_TRUE(nastav_port_sezeni(s, 3, ""));
    setenv("KASLNK_COM3", "", 1);
    EXPECT_EQ(zarizeni_portu(s, 3), "/ini/com3");
    s.ini_porty[3].clear();
    EXPECT_EQ(zarizeni_portu(s, 3), "/dev/ttyS2");
    EXPECT_FALSE(nastav_port_sezeni(s, 0, "/x"));
    EXPECT_FALSE(nastav_port_sezeni(s, 10, "/x"));
    setenv("KASLNK_COM3", "/nonexistent/kaslnk-com3", 1);
}

#ifdef KASLNK_SIM_BINARY
namespace {

using namespace e2e;

// A program directory with a command file that reads the PLU file, and a simulated
// register of its own on a pseudo-terminal (or none).
struct Misto {
    fs::path adresar = novy_docasny_adresar();
    std::unique_ptr<Simulator> sim;
    explicit Misto(bool s_pokladnou) {
        zapis_soubor(adresar / "kaslnk.ini", "zpozdeni = 0\r\nticho = 1\r\n");
        zapis_soubor(adresar / "prikaz.cmd", HLAVICKA + CTI_PLU + ";plu\r\n");
        if (!s_pokladnou) return;
        fs::copy(std::string(KASLNK_SOURCE_DIR) + "/examples/register", adresar / "pokladna");
        sim = std::make_unique<Simulator>(std::vector<std::string>{"-m", (adresar / "pokladna").string()});
        EXPECT_FALSE(sim->cesta.empty());
    }
    ~Misto() {
        sim.reset();
        std::error_code ec;
        fs::remove_all(adresar, ec);
    }
    std::string precti(const char* jmeno) const { return precti_soubor(adresar / jmeno); }
};

struct Vysledek {
    int kod = -1;
    int32_t chyba = -1;
    long long ms = 0;
};

// One session: COM1 of this session only is `port`; the command line as kaslnk gets it.
Vysledek prenos(const Misto& m, const std::string& port) {
    Sezeni s;
    s.porty[1] = port;
    long long od = ms_ted();
    Vysledek v;
    v.kod = spust(s, "", {(m.adresar / "kaslnk").string(), "prikaz.cmd", "/q"});
    v.ms = ms_ted() - od;
    v.chyba = s.ERROR1;
    return v;
}

}  // namespace

// Two registers read at the same time by two sessions while a third waits in vain on a
// port nobody answers: the two data files are whole and alike, the wall time is that of
// the longer read rather than the sum, the silent one ends with 38 by itself, and the
// process goes on to run another session.
TEST(Sezeni, TriSouciasneVeVlaknech) {
    Misto a(true), b(true), tichy(false);
    int master = -1, slave = -1;
    char jmeno[128];
    ASSERT_EQ(openpty(&master, &slave, jmeno, nullptr, nullptr), 0);

    Vysledek va, vb, vt;
    long long od = ms_ted();
    std::thread ta([&] { va = prenos(a, a.sim->cesta); });
    std::thread tb([&] { vb = prenos(b, b.sim->cesta); });
    std::thread tt([&] { vt = prenos(tichy, jmeno); });
    ta.join();
    tb.join();
    long long obe = ms_ted() - od;
    tt.join();
    ::close(master);
    ::close(slave);

    for (const Misto* m : {&a, &b}) {
        EXPECT_EQ(m->precti("err"), "0");
        EXPECT_EQ(m->precti("error.txt"), "151\r\n");
        EXPECT_EQ(radky(m->precti("plu.dat")).size(), 367u);
        EXPECT_FALSE(fs::exists(m->adresar / "work01.tmp"));
    }
    EXPECT_EQ(va.kod, 0);
    EXPECT_EQ(vb.kod, 0);
    EXPECT_EQ(a.precti("plu.dat"), b.precti("plu.dat"));
    EXPECT_LT(obe, std::max(va.ms, vb.ms) + std::min(va.ms, vb.ms) / 2) << va.ms << " + " << vb.ms;
    std::printf("sessions: %lld ms and %lld ms, both done in %lld ms; silent port %lld ms\n", va.ms, vb.ms, obe, vt.ms);

    EXPECT_EQ(vt.kod, 1);
    EXPECT_EQ(vt.chyba, 38);
    EXPECT_EQ(tichy.precti("err"), "2");
    EXPECT_NE(tichy.precti("era.log").find(",38,"), std::string::npos) << tichy.precti("era.log");

    fs::remove(a.adresar / "plu.dat");
    EXPECT_EQ(prenos(a, a.sim->cesta).kod, 0);
    EXPECT_EQ(radky(a.precti("plu.dat")).size(), 367u);
}

#endif

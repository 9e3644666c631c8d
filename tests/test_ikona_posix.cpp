// The progress icon on the desktop's session bus: a private dbus-daemon, and a watcher that
// records what the items tell it.
#if !defined(_WIN32) && defined(KASLNK_SD_BUS)

#include <sys/socket.h>
#include <sys/un.h>
#include <systemd/sd-bus.h>

#include "e2e_pomocne.h"

namespace {

using namespace e2e;

const char* const POLOZKA = "org.kde.StatusNotifierItem";
const char* const HLIDAC = "org.kde.StatusNotifierWatcher";

// A private session bus (dbus-daemon prints its address once it listens): this process's
// session bus while it lives, with the desktop's watcher when asked. It records j and k
// when an item's name comes and goes, r for a registration and i for a NewIcon.
struct Sbernice {
    std::string udalosti;
    std::unique_ptr<Proces> demon;
    sd_bus* bus = nullptr;
    std::thread vlakno;
    std::atomic<bool> konec{false};
    std::mutex m;

    explicit Sbernice(bool s_hlidacem) {
        std::string adresa = prvni_radek(demon, {"/usr/bin/dbus-daemon", "--session", "--nofork", "--print-address"});
        setenv("DBUS_SESSION_BUS_ADDRESS", adresa.c_str(), 1);
        bool ok = sd_bus_open_user(&bus) >= 0 && sd_bus_match_signal(bus, nullptr, nullptr, nullptr, POLOZKA, "NewIcon", signal, this) >= 0 &&
                  sd_bus_match_signal(bus, nullptr, "org.freedesktop.DBus", nullptr, nullptr, "NameOwnerChanged", signal, this) >= 0 &&
                  (!s_hlidacem || (sd_bus_add_object_vtable(bus, nullptr, "/StatusNotifierWatcher", HLIDAC, TABULKA, this) >= 0 &&
                                   sd_bus_request_name(bus, HLIDAC, 0) >= 0));
        EXPECT_TRUE(ok);
        vlakno = std::thread([this, ok] {
            while (ok && !konec) sd_bus_process(bus, nullptr) > 0 || sd_bus_wait(bus, 20000);
        });
    }
    ~Sbernice() {
        konec = true;
        vlakno.join();
        sd_bus_flush_close_unref(bus);
        unsetenv("DBUS_SESSION_BUS_ADDRESS");
    }
    // The records once `konce` items went (within 5 s).
    std::string zaznam(long konce) {
        for (long long do_ = ms_ted() + 5000;; usleep(5000)) {
            std::lock_guard<std::mutex> z(m);
            if (std::count(udalosti.begin(), udalosti.end(), 'k') >= konce || ms_ted() > do_) return udalosti;
        }
    }
    static int zapis(void* ja, char co) {
        auto* s = static_cast<Sbernice*>(ja);
        std::lock_guard<std::mutex> z(s->m);
        s->udalosti += co;
        return 0;
    }
    static int registrace(sd_bus_message* m, void* ja, sd_bus_error*) {
        zapis(ja, 'r');
        return sd_bus_reply_method_return(m, "");
    }
    static int signal(sd_bus_message* m, void* ja, sd_bus_error*) {
        const char *jmeno = "", *stary = "", *novy = "";
        if (sd_bus_message_is_signal(m, nullptr, "NewIcon")) return zapis(ja, 'i');
        if (sd_bus_message_read(m, "sss", &jmeno, &stary, &novy) >= 0 && std::string(jmeno).starts_with(POLOZKA))
            zapis(ja, *novy ? 'j' : 'k');
        return 0;
    }
    static constexpr sd_bus_vtable TABULKA[] = {
        SD_BUS_VTABLE_START(0), SD_BUS_METHOD("RegisterStatusNotifierItem", "s", "", registrace, SD_BUS_VTABLE_UNPRIVILEGED), SD_BUS_VTABLE_END};
};

#ifdef KASLNK_SIM_BINARY
// Transfers as a caller runs them: the item registers once, shows one icon at its start and
// one per block and goes at the end, also when the transfer stops with an error (at block 2;
// then the header and 34 blocks of records). Without a watcher, or on a bus that never
// answers, the transfer runs as without a bus.
TEST_F(E2E, IkonaPrubehu) {
    spust_simulator({"--fault", "block2:badsum:2"});
    const std::string prikazy = HLAVICKA + CTI_PLU + ";PLU\r\n";
    {
        Sbernice s(true);
        EXPECT_EQ(spust_prikazy(prikazy).kod, 1);
        EXPECT_EQ(spust_prikazy(prikazy).kod, 0);
        EXPECT_EQ(s.zaznam(2), "jr" + std::string(3, 'i') + "kjr" + std::string(36, 'i') + "k");
    }
    Sbernice bez_hlidace(false);
    EXPECT_EQ(spust_prikazy(prikazy).kod, 0);
    EXPECT_EQ(bez_hlidace.zaznam(0), "");
    int hluchy = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un a{AF_UNIX, {}};
    (adresar / "hluchy").string().copy(a.sun_path, sizeof a.sun_path - 1);
    ASSERT_EQ(bind(hluchy, reinterpret_cast<sockaddr*>(&a), sizeof a) | listen(hluchy, 4), 0);
    setenv("DBUS_SESSION_BUS_ADDRESS", (std::string("unix:path=") + a.sun_path).c_str(), 1);
    long long od = ms_ted();
    EXPECT_EQ(spust_prikazy(prikazy).kod, 0);
    EXPECT_LT(ms_ted() - od, 10000);  // a hang check: the bus's own time-out is 25 s
    close(hluchy);
}
#endif

}  // namespace

#endif

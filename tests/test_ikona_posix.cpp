// The progress icon on the desktop's session bus: a private dbus-daemon, and a watcher that
// records what the items tell it and, as a desktop does, reads the icon at every NewIcon.
#if !defined(_WIN32) && defined(KASLNK_SD_BUS)

#include <sys/socket.h>
#include <sys/un.h>
#include <systemd/sd-bus.h>

#include "e2e_pomocne.h"
#include "platform/ikona.h"

namespace {

using namespace e2e;

const std::string POLOZKA = "org.kde.StatusNotifierItem-";

// A private session bus (dbus-daemon prints its address once it listens), with the
// desktop's watcher when asked. It records j and k when an item's name comes and goes,
// r for a registration, i for a NewIcon, and in `barvy` R or G: the centre of the icon it
// reads after each NewIcon, as a desktop does.
struct Sbernice {
    std::string adresa, udalosti, barvy;
    std::unique_ptr<Proces> demon;
    sd_bus* bus = nullptr;
    std::thread vlakno;
    std::atomic<bool> konec{false};
    std::mutex m;

    explicit Sbernice(bool hlidac) {
        int roura[2], nic = open("/dev/null", O_WRONLY);
        EXPECT_EQ(pipe(roura), 0);
        demon = std::make_unique<Proces>(std::vector<std::string>{"/usr/bin/dbus-daemon", "--session", "--nofork",
                                                                  "--print-address"}, ".", prostredi(""), roura[1], nic);
        close(roura[1]);
        close(nic);
        adresa = prvni_radek(roura[0]);
        const char* item = "org.kde.StatusNotifierItem";
        bool ok = sd_bus_new(&bus) >= 0 && sd_bus_set_address(bus, adresa.c_str()) >= 0 && sd_bus_set_bus_client(bus, 1) >= 0 &&
                  sd_bus_start(bus) >= 0 && sd_bus_match_signal(bus, nullptr, nullptr, nullptr, item, "NewIcon", signal, this) >= 0 &&
                  sd_bus_match_signal(bus, nullptr, "org.freedesktop.DBus", nullptr, nullptr, "NameOwnerChanged", signal, this) >= 0 &&
                  (!hlidac || (sd_bus_add_object_vtable(bus, nullptr, "/StatusNotifierWatcher", HLIDAC_JMENO, HLIDAC, this) >= 0 &&
                               sd_bus_request_name(bus, HLIDAC_JMENO, 0) >= 0));
        EXPECT_TRUE(ok) << adresa;
        vlakno = std::thread([this, ok] {
            while (ok && !konec) sd_bus_process(bus, nullptr) > 0 || sd_bus_wait(bus, 20000);
        });
    }
    ~Sbernice() {
        konec = true;
        vlakno.join();
        sd_bus_flush_close_unref(bus);
    }
    // The records once `konce` items went and `barev` colours were read (within 5 s).
    std::string zaznam(long konce = 1, size_t barev = 0) {
        for (long long do_ = ms_ted() + 5000; ms_ted() < do_; usleep(5000)) {
            std::lock_guard<std::mutex> z(m);
            if (std::count(udalosti.begin(), udalosti.end(), 'k') >= konce && barvy.size() >= barev) break;
        }
        std::lock_guard<std::mutex> z(m);
        return udalosti;
    }
    void zapis(std::string& kam, char co) {
        std::lock_guard<std::mutex> z(m);
        kam += co;
    }
    static int registrace(sd_bus_message* m, void* ja, sd_bus_error*) {
        const char* jmeno = "";
        sd_bus_message_read(m, "s", &jmeno);
        static_cast<Sbernice*>(ja)->zapis(static_cast<Sbernice*>(ja)->udalosti, std::string(jmeno).starts_with(POLOZKA) ? 'r' : '?');
        return sd_bus_reply_method_return(m, "");
    }
    static int signal(sd_bus_message* m, void* ja, sd_bus_error*) {
        auto* s = static_cast<Sbernice*>(ja);
        const char *jmeno = "", *stary = "", *novy = "";
        if (sd_bus_message_is_signal(m, nullptr, "NewIcon")) {
            s->zapis(s->udalosti, 'i');
            sd_bus_call_method_async(s->bus, nullptr, sd_bus_message_get_sender(m), "/StatusNotifierItem",
                                     "org.freedesktop.DBus.Properties", "Get", barva, s, "ss", "org.kde.StatusNotifierItem", "IconPixmap");
        } else if (sd_bus_message_read(m, "sss", &jmeno, &stary, &novy) >= 0 && std::string(jmeno).starts_with(POLOZKA)) {
            s->zapis(s->udalosti, *novy ? 'j' : 'k');
        }
        return 0;
    }
    static int barva(sd_bus_message* m, void* ja, sd_bus_error*) {
        int32_t sirka = 0, vyska = 0;
        const void* data = nullptr;
        size_t n = 0;
        if (sd_bus_message_enter_container(m, 'v', "a(iiay)") >= 0 && sd_bus_message_enter_container(m, 'a', "(iiay)") >= 0 &&
            sd_bus_message_enter_container(m, 'r', "iiay") >= 0 && sd_bus_message_read(m, "ii", &sirka, &vyska) >= 0 &&
            sd_bus_message_read_array(m, 'y', &data, &n) >= 0 && n == size_t(sirka) * vyska * 4 && n > 0) {
            const uint8_t* stred = static_cast<const uint8_t*>(data) + (vyska / 2 * sirka + sirka / 2) * 4;  // A R G B
            static_cast<Sbernice*>(ja)->zapis(static_cast<Sbernice*>(ja)->barvy, stred[0] < 255 ? '?' : stred[1] > stred[2] ? 'R' : 'G');
        }
        return 0;
    }
    static constexpr const char* HLIDAC_JMENO = "org.kde.StatusNotifierWatcher";
    static constexpr sd_bus_vtable HLIDAC[] = {
        SD_BUS_VTABLE_START(0), SD_BUS_METHOD("RegisterStatusNotifierItem", "s", "", registrace, SD_BUS_VTABLE_UNPRIVILEGED), SD_BUS_VTABLE_END};
};

// In this process: the item comes, shows red and green as asked and goes.
TEST(Ikona, PolozkaNaSbernici) {
    Sbernice s(true);
    setenv("DBUS_SESSION_BUS_ADDRESS", s.adresa.c_str(), 1);
    EXPECT_EQ(plat_ikona_prubehu(PLAT_IKONA_PRIDAT, false), 1);
    for (size_t n = 1; n <= 3; ++n) {
        plat_ikona_prubehu(PLAT_IKONA_ZMENIT, n != 2);
        s.zaznam(0, n);  // a colour at a time: a desktop reads what is shown when it asks
    }
    plat_ikona_prubehu(PLAT_IKONA_ODEBRAT, false);
    unsetenv("DBUS_SESSION_BUS_ADDRESS");
    EXPECT_EQ(s.zaznam(), "jriiik");
    EXPECT_EQ(s.barvy, "RGR");
}

#ifdef KASLNK_SIM_BINARY
// Transfers as a caller runs them: the item registers once, shows one icon at its start and
// one per block and goes at the end, also when the transfer stops with an error (at block 2;
// then the header and 34 blocks of records). Without a watcher, or on a bus that never
// answers, the transfer runs as without a bus.
TEST_F(E2E, IkonaPrubehu) {
    spust_simulator({"--fault", "block2:badsum:2"});
    zapis("prikaz.cmd", HLAVICKA + "/20-00/11///B000/;PLU\r\n");
    auto beh = [&](const std::string& adresa) {
        return spust({"DBUS_SESSION_BUS_ADDRESS=" + adresa, "./kaslnk", "prikaz.cmd"}, "/usr/bin/env").kod;
    };
    {
        Sbernice s(true);
        EXPECT_EQ(beh(s.adresa), 1);
        EXPECT_EQ(beh(s.adresa), 0);
        EXPECT_EQ(s.zaznam(2), "jr" + std::string(3, 'i') + "kjr" + std::string(36, 'i') + "k");
    }
    Sbernice bez_hlidace(false);
    EXPECT_EQ(beh(bez_hlidace.adresa), 0);
    int hluchy = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un a{AF_UNIX, {}};
    (adresar / "hluchy").string().copy(a.sun_path, sizeof a.sun_path - 1);
    ASSERT_EQ(bind(hluchy, reinterpret_cast<sockaddr*>(&a), sizeof a) | listen(hluchy, 4), 0);
    long long od = ms_ted();
    EXPECT_EQ(beh(std::string("unix:path=") + a.sun_path), 0);
    EXPECT_LT(ms_ted() - od, 10000);  // a hang check: the bus's own time-out is 25 s
    close(hluchy);
    EXPECT_EQ(bez_hlidace.zaznam(0), "");
}
#endif

}  // namespace

#endif

// The progress icon on a Linux desktop: a StatusNotifierItem on the session bus, spoken
// with sd-bus of libsystemd. One thread of its own owns the bus connection; the transfer
// only hands it requests, so a slow or silent bus never holds up a block. The item lives
// on its own connection: removing it closes that connection, and the desktop's watcher
// sees the item's name go (as it does when the process ends). libsystemd is loaded by
// that thread, so a run without a bus does not pay for loading it and what it needs.
#include "platform/ikona.h"

#ifdef KASLNK_SD_BUS

#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <systemd/sd-bus.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr uint64_t LIMIT_VOLANI_US = 200000;  // every call the thread waits for
constexpr size_t MEZ_FRONTY = 64;            // past it, a held-up thread gets only the last state
constexpr auto LIMIT_ODEBRANI = std::chrono::milliseconds(100);
constexpr char HLIDAC[] = "org.kde.StatusNotifierWatcher";
constexpr char ROZHRANI[] = "org.kde.StatusNotifierItem";
constexpr char CESTA[] = "/StatusNotifierItem";
constexpr char NAZEV[] = "Komunikace s ER-A227E";
constexpr int STRANA = 32;  // the icon's pixels a side

// The functions of libsystemd used here, looked up when it is loaded.
#define SD_FUNKCE(F)                                                                                      \
    F(sd_bus_open_user) F(sd_bus_set_method_call_timeout) F(sd_bus_call_method) F(sd_bus_message_read)     \
    F(sd_bus_message_unref) F(sd_bus_add_object_vtable) F(sd_bus_request_name) F(sd_bus_call_method_async) \
    F(sd_bus_flush_close_unref) F(sd_bus_emit_signal) F(sd_bus_process) F(sd_bus_get_fd)                   \
    F(sd_bus_get_events) F(sd_bus_get_timeout) F(sd_bus_message_open_container) F(sd_bus_message_append)   \
    F(sd_bus_message_append_array) F(sd_bus_message_close_container) F(sd_bus_reply_method_return)
struct SdBus {
#define F(f) decltype(&::f) f = nullptr;
    SD_FUNKCE(F)
#undef F
};

struct Pozadavek {
    int operace;
    bool cervena;
};

// Between the callers and the thread. Made once and never freed: the thread may still be
// waiting when the process ends.
struct Fronta {
    std::mutex m;
    std::condition_variable hotovo;
    std::deque<Pozadavek> cekajici;
    uint64_t prijato = 0, provedeno = 0;  // requests taken and done so far
    bool zaseknuto = false;               // the thread stayed away from a removal
    int budik[2] = {-1, -1};              // a byte in the pipe wakes the thread
};

// A session bus to try: its address, or the usual socket in the user's runtime folder.
bool sbernice_je() {
    if (const char* a = std::getenv("DBUS_SESSION_BUS_ADDRESS"); a && *a) return true;
    const char* r = std::getenv("XDG_RUNTIME_DIR");
    struct stat s;
    return r && *r && stat((std::string(r) + "/bus").c_str(), &s) == 0 && S_ISSOCK(s.st_mode);
}

// The window's icons: a red or green disc, 24 pixels across with a soft edge; ARGB32 in
// network byte order.
std::vector<uint8_t> obrazek(bool cervena) {
    std::vector<uint8_t> p;
    p.reserve(STRANA * STRANA * 4);
    for (int y = 0; y < STRANA; ++y)
        for (int x = 0; x < STRANA; ++x) {
            double kryti = std::clamp(12.5 - std::hypot(x + 0.5 - STRANA / 2, y + 0.5 - STRANA / 2), 0.0, 1.0);
            uint8_t a = static_cast<uint8_t>(std::lround(kryti * 255));
            p.insert(p.end(), {a, uint8_t(cervena ? 200 : 30), uint8_t(cervena ? 30 : 160), uint8_t(cervena ? 30 : 50)});
        }
    return p;
}

struct Polozka;
int vlastnost(sd_bus*, const char*, const char*, const char* jmeno, sd_bus_message* m, void* data, sd_bus_error*);
int nic(sd_bus_message* m, void* data, sd_bus_error*);

// The item's interface; its first entry (the start) is made when libsystemd is loaded.
sd_bus_vtable tabulka_polozky(size_t i) {
    const sd_bus_vtable tabulka[] = {
        {},
        SD_BUS_PROPERTY("Category", "s", vlastnost, 0, SD_BUS_VTABLE_PROPERTY_CONST),
        SD_BUS_PROPERTY("Id", "s", vlastnost, 0, SD_BUS_VTABLE_PROPERTY_CONST),
        SD_BUS_PROPERTY("Title", "s", vlastnost, 0, SD_BUS_VTABLE_PROPERTY_CONST),
        SD_BUS_PROPERTY("Status", "s", vlastnost, 0, SD_BUS_VTABLE_PROPERTY_CONST),
        SD_BUS_PROPERTY("IconName", "s", vlastnost, 0, SD_BUS_VTABLE_PROPERTY_CONST),
        SD_BUS_PROPERTY("IconPixmap", "a(iiay)", vlastnost, 0, 0),
        SD_BUS_PROPERTY("ToolTip", "(sa(iiay)ss)", vlastnost, 0, SD_BUS_VTABLE_PROPERTY_CONST),
        SD_BUS_PROPERTY("ItemIsMenu", "b", vlastnost, 0, SD_BUS_VTABLE_PROPERTY_CONST),
        SD_BUS_METHOD("Activate", "ii", "", nic, SD_BUS_VTABLE_UNPRIVILEGED),
        SD_BUS_METHOD("SecondaryActivate", "ii", "", nic, SD_BUS_VTABLE_UNPRIVILEGED),
        SD_BUS_METHOD("ContextMenu", "ii", "", nic, SD_BUS_VTABLE_UNPRIVILEGED),
        SD_BUS_METHOD("Scroll", "is", "", nic, SD_BUS_VTABLE_UNPRIVILEGED),
        SD_BUS_SIGNAL("NewIcon", "", 0),
        SD_BUS_VTABLE_END};
    return tabulka[i];
}
constexpr size_t DELKA_TABULKY = 15;

// The item as the thread holds it, with the functions of libsystemd and the item's
// interface: all of it lives on the thread's stack, for as long as the thread.
struct Polozka {
    SdBus sd;
    sd_bus_vtable tabulka[DELKA_TABULKY];
    sd_bus* bus = nullptr;
    bool cervena = true;  // the icon shown; the properties read it
    int poradi = 0;       // items of this process so far: a fresh name for each
    bool knihovna = nacti_sd_bus();

    // Loads libsystemd; false when it cannot be had.
    bool nacti_sd_bus() {
        void* k = dlopen("libsystemd.so.0", RTLD_NOW | RTLD_LOCAL);
        if (!k) return false;
        bool vse = true;
#define F(f) vse = vse && (sd.f = reinterpret_cast<decltype(sd.f)>(dlsym(k, #f)));
        SD_FUNKCE(F)
#undef F
        for (size_t i = 0; i < DELKA_TABULKY; ++i) tabulka[i] = tabulka_polozky(i);
        // What SD_BUS_VTABLE_START gives, with the library's format reference looked up too.
        tabulka[0].type = _SD_BUS_VTABLE_START;
        tabulka[0].x.start = {sizeof(sd_bus_vtable), _SD_BUS_VTABLE_PARAM_NAMES,
                              static_cast<const unsigned*>(dlsym(k, "sd_bus_object_vtable_format"))};
        return vse && tabulka[0].x.start.vtable_format_reference;
    }

    void zavri() {
        if (bus) bus = sd.sd_bus_flush_close_unref(bus);
    }

    // Connects, and registers the item only when a watcher is there to show it.
    void otevri() {
        zavri();
        if (!knihovna || sd.sd_bus_open_user(&bus) < 0) {
            bus = nullptr;
            return;
        }
        sd.sd_bus_set_method_call_timeout(bus, LIMIT_VOLANI_US);
        sd_bus_message* odpoved = nullptr;
        int je_hlidac = 0;
        bool ok = sd.sd_bus_call_method(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                                        "NameHasOwner", nullptr, &odpoved, "s", HLIDAC) >= 0 &&
                  sd.sd_bus_message_read(odpoved, "b", &je_hlidac) >= 0 && je_hlidac;
        sd.sd_bus_message_unref(odpoved);
        std::string jmeno = std::string(ROZHRANI) + "-" + std::to_string(getpid()) + "-" + std::to_string(++poradi);
        // The watcher is told without waiting for its answer: it asks the item back.
        ok = ok && sd.sd_bus_add_object_vtable(bus, nullptr, CESTA, ROZHRANI, tabulka, this) >= 0 &&
             sd.sd_bus_request_name(bus, jmeno.c_str(), 0) >= 0 &&
             sd.sd_bus_call_method_async(bus, nullptr, HLIDAC, "/StatusNotifierWatcher", HLIDAC,
                                         "RegisterStatusNotifierItem", nullptr, nullptr, "s", jmeno.c_str()) >= 0;
        if (!ok) zavri();
    }

    void proved(const Pozadavek& p) {
        if (p.operace == PLAT_IKONA_ODEBRAT) return zavri();
        if (p.operace == PLAT_IKONA_PRIDAT) return otevri();  // shown by the change that follows
        cervena = p.cervena;
        if (bus && sd.sd_bus_emit_signal(bus, CESTA, ROZHRANI, "NewIcon", "") < 0) zavri();
    }

    // Serves the bus (the watcher's and the host's questions) until a request comes.
    void cekej(int budik) {
        int r = 0;
        while (bus && (r = sd.sd_bus_process(bus, nullptr)) > 0) {
        }
        if (r < 0) zavri();
        pollfd pf[2] = {{budik, POLLIN, 0}, {-1, 0, 0}};
        int ms = -1;
        uint64_t do_us;
        if (bus) {
            pf[1] = {sd.sd_bus_get_fd(bus), static_cast<short>(sd.sd_bus_get_events(bus)), 0};
            timespec t;
            clock_gettime(CLOCK_MONOTONIC, &t);
            uint64_t ted = uint64_t(t.tv_sec) * 1000000 + uint64_t(t.tv_nsec) / 1000;
            if (sd.sd_bus_get_timeout(bus, &do_us) >= 0 && do_us != UINT64_MAX)
                ms = do_us <= ted ? 0 : static_cast<int>(std::min<uint64_t>((do_us - ted + 999) / 1000, 60000));
        }
        poll(pf, 2, ms);
        char b[64];
        if (pf[0].revents & POLLIN) (void)!read(budik, b, sizeof b);
    }
};

int vlastnost(sd_bus*, const char*, const char*, const char* jmeno, sd_bus_message* m, void* data, sd_bus_error*) {
    const Polozka& p = *static_cast<const Polozka*>(data);
    const SdBus& sd = p.sd;
    std::string v = jmeno;
    if (v == "IconPixmap") {
        std::vector<uint8_t> obr = obrazek(p.cervena);
        int r = sd.sd_bus_message_open_container(m, 'a', "(iiay)");
        if (r >= 0) r = sd.sd_bus_message_open_container(m, 'r', "iiay");
        if (r >= 0) r = sd.sd_bus_message_append(m, "ii", STRANA, STRANA);
        if (r >= 0) r = sd.sd_bus_message_append_array(m, 'y', obr.data(), obr.size());
        if (r >= 0) r = sd.sd_bus_message_close_container(m);
        return r < 0 ? r : sd.sd_bus_message_close_container(m);
    }
    if (v == "ToolTip") return sd.sd_bus_message_append(m, "(sa(iiay)ss)", "", 0, NAZEV, "");
    if (v == "ItemIsMenu") return sd.sd_bus_message_append(m, "b", 0);
    const char* t = v == "Category" ? "ApplicationStatus" : v == "Id" ? "kaslnk" : v == "Title" ? NAZEV
                  : v == "Status" ? "Active" : "";
    return sd.sd_bus_message_append(m, "s", t);
}

// Clicks and scrolling on the icon do nothing (for anyone: no asking the bus who called).
int nic(sd_bus_message* m, void* data, sd_bus_error*) {
    return static_cast<const Polozka*>(data)->sd.sd_bus_reply_method_return(m, "");
}

void vlakno(Fronta* f) {
    Polozka polozka;
    for (;;) {
        std::deque<Pozadavek> ted;
        uint64_t az;
        {
            std::lock_guard<std::mutex> z(f->m);
            ted.swap(f->cekajici);
            az = f->prijato;
        }
        for (const Pozadavek& p : ted) polozka.proved(p);
        {
            std::lock_guard<std::mutex> z(f->m);
            f->provedeno = az;
        }
        f->hotovo.notify_all();
        polozka.cekej(f->budik[0]);
    }
}

// The connection to the desktop's bus is the process's: one thread and one item serve
// every session of the process (the desktop shows one icon per program).
struct SpojeniIkony {
    std::mutex m;
    Fronta* f = nullptr;
} g_spojeni_ikony;

}  // namespace

int plat_ikona_prubehu(int operace, bool cervena) {
    std::lock_guard<std::mutex> z(g_spojeni_ikony.m);
    Fronta*& f = g_spojeni_ikony.f;
    if (!f) {
        if (operace != PLAT_IKONA_PRIDAT || !sbernice_je()) return 0;  // no bus: not even a thread
        auto* nova = new Fronta;
        if (pipe2(nova->budik, O_CLOEXEC | O_NONBLOCK) != 0) {
            delete nova;
            return 0;
        }
        f = nova;
        std::thread(vlakno, f).detach();
    }
    std::unique_lock<std::mutex> z2(f->m);
    std::deque<Pozadavek>& q = f->cekajici;
    if (q.size() >= MEZ_FRONTY && operace == PLAT_IKONA_ZMENIT && q.back().operace == PLAT_IKONA_ZMENIT)
        q.back().cervena = cervena;
    else if (q.size() >= MEZ_FRONTY && operace == PLAT_IKONA_ODEBRAT)
        q.assign(1, {operace, cervena});
    else
        q.push_back({operace, cervena});
    uint64_t cislo = ++f->prijato;
    (void)!write(f->budik[1], "", 1);  // a full pipe wakes the thread as well
    // The item goes before the run goes on (the last icons with it), but a thread held up
    // by the bus is waited for only once.
    if (operace == PLAT_IKONA_ODEBRAT && !f->zaseknuto)
        f->zaseknuto = !f->hotovo.wait_for(z2, LIMIT_ODEBRANI, [&] { return f->provedeno >= cislo; });
    return 1;
}

#else

int plat_ikona_prubehu(int, bool) { return 0; }  // built without libsystemd

#endif

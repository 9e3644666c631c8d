// The serial devices of this machine, listed from /dev and /sys without opening any.
#include "platform/serial.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// Names in a directory that start with `zacatek`, ordered by their number (ttyS2 before ttyS10).
std::vector<std::string> jmena(const fs::path& adresar, const std::string& zacatek) {
    std::vector<std::string> v;
    std::error_code ec;
    for (fs::directory_iterator it(adresar, ec), konec; !ec && it != konec; it.increment(ec)) {
        std::string jmeno = it->path().filename().string();
        if (jmeno.compare(0, zacatek.size(), zacatek) == 0) v.push_back(jmeno);
    }
    std::sort(v.begin(), v.end(), [](const std::string& a, const std::string& b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    return v;
}

// The kernel makes a /dev/ttyS node for every possible port; only those whose "type" in
// /sys is not 0 (PORT_UNKNOWN) have a UART behind them.
bool ma_uart(const std::string& jmeno) {
    std::ifstream f("/sys/class/tty/" + jmeno + "/type");
    int typ = 0;
    return f >> typ && typ != 0;
}

}  // namespace

std::vector<std::string> ser_pritomna_zarizeni() {
    std::vector<std::string> v;
    for (const std::string& j : jmena("/dev", "ttyS"))
        if (ma_uart(j)) v.push_back("/dev/" + j);
    for (const char* zacatek : {"ttyUSB", "ttyACM"})
        for (const std::string& j : jmena("/dev", zacatek)) v.push_back("/dev/" + j);
    for (const std::string& j : jmena("/dev/serial/by-id", "")) {
        fs::path odkaz = fs::path("/dev/serial/by-id") / j;
        std::error_code ec;
        fs::path cil = fs::canonical(odkaz, ec);
        v.push_back(odkaz.string() + (ec ? std::string() : " -> " + cil.string()));
    }
    return v;
}

#include "tools/sim_common.h"

#include <time.h>

#include <cstdio>

namespace sim {

std::string checksum(const std::string& text) {
    unsigned sum = 0;
    for (unsigned char c : text) sum += c;
    unsigned value = (256 - (sum & 0xFF)) & 0xFF;
    char out[3];
    std::snprintf(out, sizeof out, "%02X", value);
    return out;
}

std::string frame(const std::string& body) {
    return std::string(1, char(STX)) + body + checksum(body) + char(CR);
}

bool is_hex(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

int hex_value(unsigned char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::string to_hex(const std::string& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

bool from_hex(const std::string& digits, std::string& bytes) {
    if (digits.size() % 2) return false;
    bytes.clear();
    for (size_t i = 0; i < digits.size(); i += 2) {
        int hi = hex_value(digits[i]), lo = hex_value(digits[i + 1]);
        if (hi < 0 || lo < 0) return false;
        bytes += char(hi * 16 + lo);
    }
    return true;
}

std::string upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return s;
}

int64_t now_us() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000;
}

std::string local_time_text() {
    time_t t = time(nullptr);
    tm local;
    localtime_r(&t, &local);
    char out[32];
    strftime(out, sizeof out, "%Y-%m-%d %H:%M:%S", &local);
    return out;
}

std::string printable(const std::string& bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7F) {
            out += char(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "<%02X>", c);
            out += hex;
        }
    }
    return out;
}

}  // namespace sim

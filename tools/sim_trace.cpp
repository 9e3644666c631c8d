#include "tools/sim_trace.h"

#include <cerrno>
#include <cstring>

#include "tools/sim_common.h"

namespace sim {

Trace::~Trace() {
    if (file_) std::fclose(file_);
}

bool Trace::open(const std::string& path, std::string& error) {
    file_ = std::fopen(path.c_str(), "a");
    if (!file_) {
        error = "cannot open the traffic log " + path + ": " + std::strerror(errno);
        return false;
    }
    start_us_ = now_us();
    return true;
}

void Trace::header(const std::string& text) {
    if (!file_) return;
    std::fprintf(file_, "# %s\n", text.c_str());
    std::fflush(file_);
}

void Trace::stamp(int64_t when_us) {
    int64_t t = when_us - start_us_;
    if (t < 0) t = 0;
    std::fprintf(file_, "%7lld.%06lld  ", (long long)(t / 1000000), (long long)(t % 1000000));
}

void Trace::bytes(bool from_host, const std::string& data, int64_t when_us) {
    if (!file_ || data.empty()) return;
    for (size_t row = 0; row < data.size(); row += 16) {
        if (row == 0)
            stamp(when_us);
        else
            std::fputs("                ", file_);
        std::fputs(row ? "      " : (from_host ? "host> " : "<reg  "), file_);
        std::string ascii;
        for (size_t i = row; i < row + 16; ++i) {
            if (i < data.size()) {
                unsigned char c = data[i];
                std::fprintf(file_, "%02X ", c);
                ascii += (c >= 0x20 && c < 0x7F) ? char(c) : '.';
            } else {
                std::fputs("   ", file_);
            }
        }
        std::fprintf(file_, " |%s|\n", ascii.c_str());
    }
    std::fflush(file_);
}

void Trace::note(const std::string& text) {
    if (!file_) return;
    stamp(now_us());
    std::fprintf(file_, "----  %s\n", text.c_str());
    std::fflush(file_);
}

}  // namespace sim

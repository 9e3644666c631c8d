// kaslnk-sim: the traffic log, a hex dump of the line with direction and time.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace sim {

class Trace {
public:
    ~Trace();
    // Opens (appends to) the log file. False with a reason when it cannot be opened.
    bool open(const std::string& path, std::string& error);
    void header(const std::string& text);
    // Bytes from the host ("host>") or to the host ("<reg "), time relative to the start.
    void bytes(bool from_host, const std::string& data, int64_t when_us);
    // A note on what the register did ("----").
    void note(const std::string& text);
    bool active() const { return file_ != nullptr; }

private:
    void stamp(int64_t when_us);
    std::FILE* file_ = nullptr;
    int64_t start_us_ = 0;
};

}  // namespace sim

// kaslnk-sim: command-line options.
#pragma once

#include <string>
#include <vector>

namespace sim {

struct Options {
    std::string memory = "register";  // folder of the register's files and tables
    unsigned terminal = 1;            // answers enquiries for "%06u" of this number
    std::string device;               // serial device; empty: a new pseudo-terminal
    std::string link;                 // symlink to the pseudo-terminal's slave
    int tcp_port = -1;                // serve on this loopback TCP port (0: a free one)
    bool rfc2217 = false;             // ... with Telnet COM-port control
    unsigned baud = 19200;            // line speed (device setting and pacing)
    int data_bits = 7;
    char parity = 'O';  // N, O, E, M, S
    int stop_bits = 1;
    bool rtscts = false;
    bool pace = false;            // send at the line speed, 10 bit times per byte
    int fifo = 1;                 // paced bytes reach a pty in groups of this many
    int reply_delay_ms = 0;       // pause before every answer
    int patience_ms = 10000;      // how long the register waits for the host
    std::string trace;            // traffic log file
    long exchanges = 0;           // stop after this many exchanges (0: never)
    int records_per_block = 0;    // 0: as many as fit
    int table_block = 440;        // table bytes per block
    bool read_only = false;       // do not store what the host sends
    bool quiet = false;
    bool background = false;      // return once the line is ready, serve in a child
    std::vector<std::string> faults;
};

// Parses argv. On failure returns false with a message in `error`; `help` is set when
// the usage text was asked for.
bool parse_options(int argc, char** argv, Options& options, bool& help, std::string& error);
const char* usage_text();

}  // namespace sim

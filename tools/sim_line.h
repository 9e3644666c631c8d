// kaslnk-sim: the register's end of the serial line: a pseudo-terminal the simulator
// creates, or a serial device it is given.
#pragma once

#include <csignal>
#include <cstdint>
#include <deque>
#include <string>

#include "link/telnet.h"
#include "tools/sim_options.h"
#include "tools/sim_trace.h"

namespace sim {

// Set by SIGTERM, SIGINT and SIGHUP; every wait of the line ends with Stop when it is set.
extern volatile std::sig_atomic_t g_stop;
void install_stop_handlers();

class Line {
public:
    explicit Line(Trace& trace) : trace_(trace) {}
    ~Line();
    Line(const Line&) = delete;
    Line& operator=(const Line&) = delete;

    // Creates a pseudo-terminal in raw mode at `baud` (a host that sets no speed is heard);
    // `slave` receives the path for the host.
    bool open_pty(std::string& slave, std::string& error, unsigned baud);
    // Opens and configures a serial device with the line settings of the options.
    bool open_device(const Options& options, std::string& error);
    // Listens on a loopback TCP port (0: a free one) for one host at a time, raw or with
    // Telnet COM-port control (RFC 2217); `address` receives the mapping for the host,
    // tcp://127.0.0.1:PORT or rfc2217://127.0.0.1:PORT.
    bool open_tcp(unsigned port, bool rfc2217, std::string& address, std::string& error);
    // Pacing: every byte written takes 10 bit times at `baud`; on a pseudo-terminal every
    // byte the host writes is also taken only 10 bit times after the one before it.
    // On a pseudo-terminal the paced bytes go out in groups of up to `fifo`, each when its
    // last byte is due, as a receiving UART hands them on from its FIFO.
    void set_pace(bool on, unsigned baud, int fifo = 1);

    // The next byte from the host, or -1 when none comes within timeout_ms
    // (a negative time-out waits for ever). Throws Stop and LineError.
    int get(int timeout_ms);
    // Puts bytes back in front of the input, to be read again.
    void unget(const std::string& bytes);
    // Writes bytes to the host (paced when pacing is on). Throws Stop, LineError, and
    // Abandon when the host side does not take the bytes for a long time.
    void put(const std::string& bytes);
    // On a pseudo-terminal the speed the host set on its side (the master reads the
    // slave's settings); 0 on a device, where the line itself carries the speed.
    unsigned host_speed() const;
    // Waits; throws Stop.
    void sleep_ms(int ms);
    // Before the end: waits (at most max_ms) until the host has read what was written,
    // because closing a pseudo-terminal's master throws away unread bytes.
    void drain(int max_ms);

private:
    bool fill(int timeout_ms);
    bool accept_host(int wait_ms);
    void drop_host(const char* why);
    // Telnet commands of the host: options answered, COM-port settings noted and confirmed.
    void serve_commands(const std::vector<telnet::Prikaz>& commands);
    void note_speed(unsigned baud);
    void write_all(const char* data, size_t size);
    void send_raw(const std::string& bytes);
    Trace& trace_;
    int fd_ = -1;
    bool pty_ = false;
    int listen_fd_ = -1;  // TCP: the listening socket; fd_ is the host's connection or -1
    bool rfc2217_ = false;
    telnet::Dekoder telnet_in_;
    telnet::Vyjednavani telnet_options_{{telnet::BINARY, telnet::SGA},
                                        {telnet::COM_PORT, telnet::BINARY, telnet::SGA}};
    unsigned speed_seen_ = 0;  // the speed the host set last (pty termios or RFC 2217)
    std::string format_seen_ = "???";  // and the frame over RFC 2217, as "7O1" or "8N1.5"
    std::string slave_;
    bool exclusive_ = false;
    bool pace_ = false;
    double char_us_ = 0;
    size_t fifo_ = 1;
    double next_slot_us_ = 0;
    std::deque<unsigned char> pending_;
    std::deque<int64_t> arrived_us_;  // when each pending byte was read; -1: put back
    double rx_next_slot_us_ = 0;      // end of the last host byte taken (paced)
};

}  // namespace sim

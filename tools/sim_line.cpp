#include "tools/sim_line.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "tools/sim_common.h"

namespace sim {

volatile std::sig_atomic_t g_stop = 0;

namespace {

void on_stop_signal(int) { g_stop = 1; }

speed_t speed_code(unsigned baud) {
    switch (baud) {
        case 50: return B50;
        case 75: return B75;
        case 110: return B110;
        case 300: return B300;
        case 600: return B600;
        case 1200: return B1200;
        case 2400: return B2400;
        case 4800: return B4800;
        case 9600: return B9600;
        case 19200: return B19200;
        case 38400: return B38400;
        case 57600: return B57600;
        case 115200: return B115200;
        case 230400: return B230400;
        default: return B0;
    }
}

unsigned baud_of(speed_t code) {
    for (unsigned baud : {50u, 75u, 110u, 300u, 600u, 1200u, 2400u, 4800u, 9600u, 19200u, 38400u, 57600u,
                          115200u, 230400u})
        if (speed_code(baud) == code) return baud;
    return 0;
}

// A (device) write that fails for this long means the host side is gone.
constexpr int WRITE_STALL_MS = 5000;

}  // namespace

void install_stop_handlers() {
    struct sigaction sa;
    std::memset(&sa, 0, sizeof sa);
    sa.sa_handler = on_stop_signal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = 0;  // no restart: a waiting poll returns at once
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGHUP, &sa, nullptr);
    signal(SIGPIPE, SIG_IGN);
}

Line::~Line() {
    if (listen_fd_ >= 0) close(listen_fd_);
    if (fd_ < 0) return;
    if (exclusive_) ioctl(fd_, TIOCNXCL);
    close(fd_);
}

bool Line::open_pty(std::string& slave, std::string& error, unsigned baud) {
    int fd = posix_openpt(O_RDWR | O_NOCTTY);
    if (fd < 0 || grantpt(fd) != 0 || unlockpt(fd) != 0) {
        error = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
        if (fd >= 0) close(fd);
        return false;
    }
    const char* name = ptsname(fd);
    if (!name) {
        error = std::string("cannot name the pseudo-terminal: ") + std::strerror(errno);
        close(fd);
        return false;
    }
    slave = name;
    slave_ = name;
    // Raw mode on the slave side, so that a host that sets nothing still sees the bytes
    // unchanged (no CR to LF, no echo). Termios calls on the master reach the slave.
    termios t;
    if (tcgetattr(fd, &t) == 0) {
        cfmakeraw(&t);
        speed_t speed = speed_code(baud) == B0 ? B19200 : speed_code(baud);
        cfsetispeed(&t, speed);
        cfsetospeed(&t, speed);
        tcsetattr(fd, TCSANOW, &t);
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    fd_ = fd;
    pty_ = true;
    return true;
}

bool Line::open_device(const Options& o, std::string& error) {
    speed_t speed = speed_code(o.baud);
    if (speed == B0) {
        error = "the serial device does not support " + std::to_string(o.baud) + " bit/s";
        return false;
    }
    int fd = open(o.device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        error = "cannot open " + o.device + ": " + std::strerror(errno);
        if (errno == EACCES) error += " (is the user in the group that owns the device, e.g. dialout?)";
        return false;
    }
    termios t;
    if (!isatty(fd) || tcgetattr(fd, &t) != 0) {
        error = o.device + " is not a serial device";
        close(fd);
        return false;
    }
    cfmakeraw(&t);
    t.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS | CMSPAR);
    static const tcflag_t sizes[] = {CS5, CS6, CS7, CS8};
    t.c_cflag |= sizes[o.data_bits - 5] | CLOCAL | CREAD;
    switch (o.parity) {
        case 'O': t.c_cflag |= PARENB | PARODD; break;
        case 'E': t.c_cflag |= PARENB; break;
        case 'M': t.c_cflag |= PARENB | PARODD | CMSPAR; break;
        case 'S': t.c_cflag |= PARENB | CMSPAR; break;
        default: break;
    }
    if (o.stop_bits == 2) t.c_cflag |= CSTOPB;
    if (o.rtscts) t.c_cflag |= CRTSCTS;
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    cfsetispeed(&t, speed);
    cfsetospeed(&t, speed);
    if (tcsetattr(fd, TCSANOW, &t) != 0) {
        error = "cannot set the line of " + o.device + ": " + std::strerror(errno);
        close(fd);
        return false;
    }
    // The register's end of the line belongs to the simulator alone.
    exclusive_ = ioctl(fd, TIOCEXCL) == 0;
    tcflush(fd, TCIFLUSH);
    fd_ = fd;
    pty_ = false;
    return true;
}

bool Line::open_tcp(unsigned port, bool rfc2217, std::string& address, std::string& error) {
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int yes = 1;
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(uint16_t(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof a;
    if (fd < 0 || setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes) != 0 ||
        bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || listen(fd, 1) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&a), &size) != 0) {
        error = "cannot listen on 127.0.0.1:" + std::to_string(port) + ": " + std::strerror(errno);
        if (fd >= 0) close(fd);
        return false;
    }
    listen_fd_ = fd;
    rfc2217_ = rfc2217;
    address = std::string(rfc2217 ? "rfc2217" : "tcp") + "://127.0.0.1:" + std::to_string(ntohs(a.sin_port));
    return true;
}

bool Line::accept_host(int wait_ms) {
    pollfd p{listen_fd_, POLLIN, 0};
    if (poll(&p, 1, wait_ms) <= 0) return false;
    int fd = accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd < 0) return false;
    int yes = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
    fd_ = fd;
    telnet_in_ = telnet::Dekoder{};
    telnet_options_ = telnet::Vyjednavani({telnet::BINARY, telnet::SGA},
                                          {telnet::COM_PORT, telnet::BINARY, telnet::SGA});
    trace_.note("a host connected");
    if (rfc2217_) send_raw(telnet_options_.zacatek());
    return true;
}

void Line::drop_host(const char* why) {
    trace_.note(why);
    close(fd_);
    fd_ = -1;
    pending_.clear();
    arrived_us_.clear();
}

void Line::note_speed(unsigned baud) {
    if (baud == speed_seen_) return;
    speed_seen_ = baud;
    trace_.note("line speed " + std::to_string(baud) + " bit/s");
}

void Line::serve_commands(const std::vector<telnet::Prikaz>& commands) {
    using namespace telnet;
    std::string answers;  // sent after the notes, so that a confirmed setting is in the trace
    std::string format = format_seen_;
    for (const Prikaz& c : commands) {
        if (c.sloveso != SB) {
            answers += telnet_options_.odpoved(c.sloveso, c.moznost);
            continue;
        }
        if (c.moznost != COM_PORT || c.hodnota.empty()) continue;
        uint8_t command = uint8_t(c.hodnota[0]);
        std::string value = c.hodnota.substr(1);
        if (command == SET_BAUDRATE && value.size() == 4 && cislo32(value) != 0) note_speed(cislo32(value));
        if (command == SET_BAUDRATE && cislo32(value) == 0) value = cislo32(speed_seen_ ? speed_seen_ : 19200);
        if (command == SET_CONTROL && !value.empty() && (value[0] == DTR_ZAP || value[0] == DTR_VYP))
            trace_.note(value[0] == DTR_ZAP ? "DTR on" : "DTR off");
        // The frame as data bits, parity (RFC 2217: 1 none, 2 odd, 3 even, 4 mark, 5 space)
        // and stop bits (1 one, 2 two, 3 one and a half); a value outside is noted as '?'.
        static const char* const stop_bits[] = {"1", "2", "1.5"};
        uint8_t v = value.empty() ? 0 : uint8_t(value[0]);
        if (command == SET_DATASIZE && v) format_seen_[0] = v >= 5 && v <= 8 ? char('0' + v) : '?';
        if (command == SET_PARITY && v) format_seen_[1] = v <= 5 ? "NOEMS"[v - 1] : '?';
        if (command == SET_STOPSIZE && v) format_seen_.replace(2, std::string::npos, v <= 3 ? stop_bits[v - 1] : "?");
        if (command < ODPOVED) answers += com_port(uint8_t(ODPOVED + command), value);
    }
    if (format_seen_ != format) trace_.note("line format " + format_seen_);
    send_raw(answers);
}

void Line::send_raw(const std::string& bytes) {
    size_t done = 0;
    while (fd_ >= 0 && done < bytes.size()) {
        ssize_t n = send(fd_, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n > 0) {
            done += size_t(n);
        } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            pollfd p{fd_, POLLOUT, 0};
            poll(&p, 1, 50);
        } else {
            return;  // the host is gone: the next read finds out
        }
    }
}

void Line::set_pace(bool on, unsigned baud, int fifo) {
    pace_ = on;
    fifo_ = fifo > 1 ? size_t(fifo) : 1;
    char_us_ = baud ? 10.0 * 1e6 / baud : 0;
}

bool Line::fill(int timeout_ms) {
    int64_t deadline = timeout_ms < 0 ? -1 : now_us() + int64_t(timeout_ms) * 1000;
    char buf[512];
    for (;;) {
        if (g_stop) throw Stop{};
        int wait = 200;
        if (deadline >= 0) {
            int64_t left = (deadline - now_us() + 999) / 1000;
            if (left <= 0) return false;
            if (left < wait) wait = int(left);
        }
        if (listen_fd_ >= 0 && fd_ < 0) {
            accept_host(wait);  // no host: nothing comes
            continue;
        }
        pollfd p{fd_, POLLIN, 0};
        int r = poll(&p, 1, wait);
        if (r < 0) {
            if (errno == EINTR) continue;
            throw LineError(std::string("poll on the line failed: ") + std::strerror(errno));
        }
        if (r == 0) continue;
        if (listen_fd_ >= 0) {
            ssize_t n = recv(fd_, buf, sizeof buf, 0);
            if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
            if (n <= 0) {
                drop_host("the host disconnected");
                continue;
            }
            std::string data(buf, size_t(n));
            if (rfc2217_) {
                std::vector<telnet::Prikaz> commands;
                data.clear();
                telnet_in_.vstup(reinterpret_cast<const uint8_t*>(buf), size_t(n), data, commands);
                serve_commands(commands);
                if (data.empty()) continue;
            }
            trace_.bytes(true, data, now_us());
            pending_.insert(pending_.end(), data.begin(), data.end());
            arrived_us_.insert(arrived_us_.end(), data.size(), now_us());
            return true;
        }
        if (p.revents & POLLIN) {
            ssize_t n = read(fd_, buf, sizeof buf);
            if (n > 0) {
                // Behind a serial device server the host sets the line through the pty.
                termios t;
                if (pty_ && tcgetattr(fd_, &t) == 0) note_speed(baud_of(cfgetospeed(&t)));
                trace_.bytes(true, std::string(buf, size_t(n)), now_us());
                pending_.insert(pending_.end(), buf, buf + n);
                arrived_us_.insert(arrived_us_.end(), size_t(n), now_us());
                return true;
            }
            if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
            if (!pty_) throw LineError(std::string("reading the device failed: ") +
                                       (n < 0 ? std::strerror(errno) : "end of file"));
        } else if (!pty_ && (p.revents & (POLLERR | POLLNVAL | POLLHUP))) {
            throw LineError("the serial device went away");
        }
        // A pseudo-terminal whose slave nobody holds open reports a hang-up until the
        // host opens it again: just wait.
        if (pty_) {
            int nap = wait < 20 ? wait : 20;
            timespec ts{0, long(nap) * 1000000L};
            nanosleep(&ts, nullptr);
        }
    }
}

int Line::get(int timeout_ms) {
    if (pending_.empty() && !fill(timeout_ms)) return -1;
    unsigned char c = pending_.front();
    int64_t arrived = arrived_us_.front();
    pending_.pop_front();
    arrived_us_.pop_front();
    // A pseudo-terminal hands over the host's bytes at once: a byte counts as received
    // only when a real line would have delivered it, 10 bit times after the one before.
    if (pace_ && (pty_ || listen_fd_ >= 0) && char_us_ > 0 && arrived >= 0) {
        double due = double(arrived) > rx_next_slot_us_ ? double(arrived) : rx_next_slot_us_;
        due += char_us_;
        rx_next_slot_us_ = due;
        int64_t at = int64_t(due);
        timespec ts{time_t(at / 1000000), long(at % 1000000) * 1000L};
        while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR && !g_stop) {
        }
        if (g_stop) throw Stop{};
    }
    return c;
}

void Line::unget(const std::string& bytes) {
    pending_.insert(pending_.begin(), bytes.begin(), bytes.end());
    arrived_us_.insert(arrived_us_.begin(), bytes.size(), int64_t(-1));
}

unsigned Line::host_speed() const {
    termios t;
    if (!pty_ || tcgetattr(fd_, &t) != 0) return 0;
    for (unsigned baud : {50u, 75u, 110u, 300u, 600u, 1200u, 2400u, 4800u, 9600u, 19200u, 38400u, 57600u,
                          115200u, 230400u})
        if (speed_code(baud) == cfgetospeed(&t)) return baud;
    return 0;
}

void Line::sleep_ms(int ms) {
    int64_t end = now_us() + int64_t(ms) * 1000;
    for (;;) {
        if (g_stop) throw Stop{};
        int64_t left = end - now_us();
        if (left <= 0) return;
        if (left > 100000) left = 100000;
        timespec ts{0, long(left) * 1000L};
        nanosleep(&ts, nullptr);
    }
}

void Line::drain(int max_ms) {
    if (fd_ < 0 || listen_fd_ >= 0) return;  // a socket's close sends what is written
    if (!pty_) {
        tcdrain(fd_);
        return;
    }
    pollfd p{fd_, POLLIN, 0};
    if (poll(&p, 1, 0) > 0 && (p.revents & POLLHUP)) return;  // nobody holds the slave open
    int s = open(slave_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (s < 0) {
        timespec ts{0, 200 * 1000000L};
        nanosleep(&ts, nullptr);
        return;
    }
    // Written bytes reach the slave's queue a moment later, so an empty queue counts
    // only after a short grace time.
    int64_t start = now_us(), end = start + int64_t(max_ms) * 1000;
    int waiting = 0;
    while (ioctl(s, FIONREAD, &waiting) == 0 && now_us() < end) {
        if (waiting == 0 && now_us() - start > 50000) break;
        timespec ts{0, 5 * 1000000L};
        nanosleep(&ts, nullptr);
    }
    close(s);
}

void Line::write_all(const char* data, size_t size) {
    if (listen_fd_ >= 0) {
        std::string out;  // nobody connected: the bytes are lost, as on an open line
        if (rfc2217_)
            telnet::pridej_data(out, reinterpret_cast<const uint8_t*>(data), size);
        else
            out.assign(data, size);
        send_raw(out);
        return;
    }
    int64_t stalled_since = -1;
    while (size > 0) {
        if (g_stop) throw Stop{};
        ssize_t n = write(fd_, data, size);
        if (n > 0) {
            data += n;
            size -= size_t(n);
            stalled_since = -1;
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR && !(pty_ && errno == EIO))
            throw LineError(std::string("writing to the line failed: ") + std::strerror(errno));
        if (stalled_since < 0) stalled_since = now_us();
        if (now_us() - stalled_since > int64_t(WRITE_STALL_MS) * 1000)
            throw Abandon{"the host takes no more bytes"};
        pollfd p{fd_, POLLOUT, 0};
        poll(&p, 1, 50);
    }
}

void Line::put(const std::string& bytes) {
    if (bytes.empty()) return;
    trace_.bytes(false, bytes, now_us());
    if (!pace_ || char_us_ <= 0) {
        write_all(bytes.data(), bytes.size());
        return;
    }
    // Byte k of a write leaves k character times after the first, on an absolute
    // schedule, so that the sleeps' overshoot does not add up; the first waits for the
    // end of the previous write's last character.
    double start = double(now_us());
    if (next_slot_us_ > start) start = next_slot_us_;
    size_t skupina = pty_ || listen_fd_ >= 0 ? fifo_ : 1;
    for (size_t k = 0; k < bytes.size(); k += skupina) {
        if (g_stop) throw Stop{};
        size_t n = bytes.size() - k < skupina ? bytes.size() - k : skupina;
        int64_t due = int64_t(start + double(k + n - 1) * char_us_);
        timespec ts{time_t(due / 1000000), long(due % 1000000) * 1000L};
        while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR && !g_stop) {
        }
        write_all(&bytes[k], n);
    }
    next_slot_us_ = start + double(bytes.size()) * char_us_;
}

}  // namespace sim
